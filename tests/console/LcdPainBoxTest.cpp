#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <set>
#include <vector>

#include "console/FrontPanel.h"
#include "console/GlyphSheet.h"
#include "console/LcdPainBox.h"

namespace {

using console::LcdTextBlock;

constexpr QRgb kBackground = 0x3DB9C2;  // RGB(61, 185, 194)

QRgb Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

QImage Shown(TLcdPainBox& box) { return box.grab().toImage(); }

QRect ScreenCell(int index) {
  return QRect(1 + (index % 20) * 10, 1 + (index / 20) * 14, 9, 13);
}

QRect SheetCell(int code) { return QRect((code % 16) * 9, (code / 16) * 13, 9, 13); }

class LcdPainBoxTest : public ::testing::Test {
 protected:
  LcdPainBoxTest() {
    box_.RED = 61;
    box_.GREEN = 185;
    box_.BLUE = 194;
    box_.SetDataPictur(sheet_);
  }

  LcdTextBlock Text(const std::string& line0, uint8_t cursor) {
    LcdTextBlock block{};
    block.fill(' ');
    std::copy(line0.begin(), line0.end(), block.begin());
    block[80] = cursor;
    for (int i = 81; i < 100; ++i) block[i] = 0;
    return block;
  }

  // The screen cell equals the sheet's glyph, or the glyph XOR the background.
  void ExpectCell(const QImage& shown, int index, int code, bool inverted) {
    QRect screen = ScreenCell(index);
    QRect glyph = SheetCell(code);
    for (int y = 0; y < 13; ++y) {
      for (int x = 0; x < 9; ++x) {
        QRgb expected = Rgb(sheet_, glyph.x() + x, glyph.y() + y);
        if (inverted) expected ^= kBackground;
        ASSERT_EQ(Rgb(shown, screen.x() + x, screen.y() + y), expected)
            << "cell " << index << " pixel " << x << "," << y;
      }
    }
  }

  QImage sheet_ = MakeLcdGlyphSheet();
  TLcdPainBox box_;
};

TEST_F(LcdPainBoxTest, HasTheDisplaysSize) {
  EXPECT_EQ(box_.width(), 202);
  EXPECT_EQ(box_.height(), 58);
}

TEST_F(LcdPainBoxTest, DrawsEachCodeFromItsSheetCellInsideABlackBorder) {
  LcdTextBlock text = Text("AZ~!", 0xFF);
  text[25] = 0x10;
  text[79] = 0x05;
  EXPECT_EQ(box_.SetText(text), 1);
  QImage shown = Shown(box_);
  ExpectCell(shown, 0, 'A', false);
  ExpectCell(shown, 1, 'Z', false);
  ExpectCell(shown, 2, '~', false);
  ExpectCell(shown, 25, 0x10, false);
  ExpectCell(shown, 79, 0x05, false);
  EXPECT_EQ(Rgb(shown, 0, 0), 0u);
  EXPECT_EQ(Rgb(shown, 201, 57), 0u);
  EXPECT_EQ(Rgb(shown, 100, 0), 0u);
  EXPECT_EQ(Rgb(shown, 10, 57), 0u);
  // The gaps between cells show the background.
  EXPECT_EQ(Rgb(shown, 10, 5), kBackground);
  EXPECT_EQ(Rgb(shown, 5, 14), kBackground);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST_F(LcdPainBoxTest, NewTextReachesTheScreenAtOnce) {
  box_.show();
  QCoreApplication::processEvents();
  PaintCounter counter;
  box_.installEventFilter(&counter);
  // No event loop runs between the text and the check, as inside a link tick.
  box_.SetText(Text("NOW", 0xFF));
  EXPECT_EQ(counter.paints, 1);
  box_.removeEventFilter(&counter);
}

TEST_F(LcdPainBoxTest, TheCursorCellAloneIsInverted) {
  LcdTextBlock text = Text("HELLO", 25);
  text[25] = 'Q';
  text[26] = 'Q';
  box_.SetText(text);
  QImage shown = Shown(box_);
  ExpectCell(shown, 25, 'Q', true);
  ExpectCell(shown, 26, 'Q', false);
  ExpectCell(shown, 0, 'H', false);

  box_.SetText(Text("HELLO", 0));
  shown = Shown(box_);
  ExpectCell(shown, 0, 'H', true);
  ExpectCell(shown, 3, 'L', false);
}

TEST_F(LcdPainBoxTest, CursorValuesFrom80OnInvertNothing) {
  for (int cursor : {80, 99, 0xFF}) {
    box_.SetText(Text("A", static_cast<uint8_t>(cursor)));
    QImage shown = Shown(box_);
    for (int cell = 0; cell < 80; ++cell) ExpectCell(shown, cell, cell == 0 ? 'A' : ' ', false);
  }
}

TEST_F(LcdPainBoxTest, OnlyTheFirst81BytesAreTaken) {
  LcdTextBlock text = Text("A", 0xFF);
  for (int i = 81; i < 100; ++i) text[i] = 0x55;
  box_.SetText(text);
  for (int i = 81; i < 100; ++i) EXPECT_EQ(box_.TextBlock()[i], 0) << i;
  // A short block fills only what it has.
  const uint8_t two[] = {'X', 'Y'};
  box_.SetText(two);
  EXPECT_EQ(box_.TextBlock()[0], 'X');
  EXPECT_EQ(box_.TextBlock()[1], 'Y');
  EXPECT_EQ(box_.TextBlock()[80], 0xFF);
}

TEST_F(LcdPainBoxTest, AnEmptySheetGivesTheBorderedBackgroundOnly) {
  box_.SetDataPictur(QImage());
  box_.SetText(Text("ABCDEFGHIJKLMNOPQRST", 3));
  QImage shown = Shown(box_);
  EXPECT_EQ(Rgb(shown, 0, 0), 0u);
  for (int y = 1; y < 57; ++y)
    for (int x = 1; x < 201; ++x) ASSERT_EQ(Rgb(shown, x, y), kBackground) << x << "," << y;
}

TEST_F(LcdPainBoxTest, ColourPartsAreKeptModulo256WithTheirSign) {
  box_.SetDataPictur(QImage());
  box_.RED = 300;
  box_.GREEN = -1;
  box_.BLUE = 256 + 7;
  box_.DrawAll();
  EXPECT_EQ(box_.RED, 44);
  EXPECT_EQ(box_.GREEN, -1);
  EXPECT_EQ(box_.BLUE, 7);
  EXPECT_EQ(Rgb(Shown(box_), 5, 5), qRgb(44, 255, 7) & 0xFFFFFFu);
}

TEST_F(LcdPainBoxTest, ANewWidgetShowsGlyphZeroEverywhereWithTheCursorOnTheFirstCell) {
  TLcdPainBox fresh;
  fresh.SetDataPictur(sheet_);
  fresh.RED = 61;
  fresh.GREEN = 185;
  fresh.BLUE = 194;
  QImage shown = fresh.grab().toImage();
  EXPECT_EQ(Rgb(shown, 3, 3), kBackground ^ Rgb(sheet_, 2, 2));
}

TEST(GlyphSheetTest, HasTheLayoutAndOnlyTwoColours) {
  QImage sheet = MakeLcdGlyphSheet();
  ASSERT_EQ(sheet.size(), QSize(300, 400));
  const QRgb ink = kLcdInk.rgb() & 0xFFFFFF;
  auto inkIn = [&](int code) {
    int count = 0;
    QRect cell = SheetCell(code);
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      for (int x = cell.left(); x <= cell.right(); ++x) count += Rgb(sheet, x, y) == ink;
    return count;
  };
  const std::set<int> highLetters = {0xE4, 0xE6, 0xE7, 0xF4, 0xF5, 0xF6, 0xF7};
  for (int code = 0; code <= 0xFF; ++code) {
    const bool glyph = code <= 0x10 || (code >= 0x21 && code <= 0x7F) || highLetters.count(code) > 0;
    if (glyph) {
      EXPECT_GT(inkIn(code), 0) << code;
    } else {
      EXPECT_EQ(inkIn(code), 0) << code;
    }
  }
  EXPECT_GT(inkIn(0x10), 9 * 13 / 2);
  // The arrow marks and the symbols around them are told apart.
  std::set<std::vector<QRgb>> symbols;
  for (int code = 0; code <= 0x10; ++code) {
    std::vector<QRgb> pixels;
    QRect cell = SheetCell(code);
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      for (int x = cell.left(); x <= cell.right(); ++x) pixels.push_back(Rgb(sheet, x, y));
    symbols.insert(pixels);
  }
  EXPECT_EQ(symbols.size(), 17u);
  for (int y = 0; y < sheet.height(); ++y)
    for (int x = 0; x < sheet.width(); ++x) {
      QRgb pixel = Rgb(sheet, x, y);
      ASSERT_TRUE(pixel == ink || pixel == kBackground) << x << "," << y;
    }
}

TEST(FrontPanelTest, EighteenKeyCapsOnThePanelClearOfTheDisplay) {
  const auto& caps = FrontPanelKeyCaps();
  ASSERT_EQ(caps.size(), 18u);
  std::set<int> codes;
  QRect panel(0, 0, kFrontPanelWidth, kFrontPanelHeight);
  for (const KeyCap& cap : caps) {
    codes.insert(cap.code);
    EXPECT_TRUE(panel.contains(cap.rect)) << cap.label.toStdString();
    EXPECT_FALSE(cap.rect.intersects(kLcdPlace.adjusted(-10, -10, 10, 10)));
    for (const KeyCap& other : caps) {
      if (&other != &cap) {
        EXPECT_FALSE(cap.rect.intersects(other.rect));
      }
    }
  }
  EXPECT_EQ(codes.size(), 18u);
  EXPECT_EQ(*codes.begin(), 0x10);
  EXPECT_EQ(*codes.rbegin(), 0x23);
  EXPECT_EQ(MakeFrontPanelPicture().size(), QSize(300, 420));
}

}  // namespace
