// The Dump Edit form with its real grids offscreen: clicks and typing reach the buffer, the
// scroll bars move the view, a scroll leaves the window as a full repaint would, closing asks
// and reports, and the tool buttons follow the dialog protocol.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "buffer/DumpEdit.h"
#include "buffer/DumpGrid.h"
#include "buffer/SettingsDialog.h"
#include "buffer/core/DialogSettings.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace buffer {
namespace {

void TurnWheel(QWidget* target, int delta) {
  const QPointF at(target->width() / 2.0, target->height() / 2.0);
  QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &wheel);
}

void ClickGridCell(DumpGrid* grid, int column, int gridRow) {
  const QRect cell = grid->visualRect(grid->model()->index(gridRow - 1, column));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

class DumpEditWidget : public ::testing::Test {
 protected:
  DumpEditWidget() : previous_(SettingsPath()) {
    SetSettingsPath(dir_.File("History.ini"));
    form_.ShowForm();
    QApplication::setActiveWindow(&form_);
  }
  ~DumpEditWidget() override {
    SetSettingsPath(previous_);
    for (int c = 0; c < kToolCommandCount; ++c) {
      InstallToolDialog(ToolCommand(c), nullptr);
      InstallToolAction(ToolCommand(c), nullptr);
    }
  }

  void ClickCell(GridId id, int column, int gridRow) {
    ClickGridCell(form_.Grid(id), column, gridRow);
  }
  QString Shown(GridId id, int column, int gridRow) {
    return form_.Grid(id)->item(gridRow - 1, column)->text();
  }
  struct ViewPosition {
    std::int32_t page;
    std::int32_t top;
    bool operator==(const ViewPosition&) const = default;
  };
  ViewPosition View() const {
    ViewPosition view{};
    form_.QueryPageNo(view.page);
    form_.QueryTopRow(view.top);
    return view;
  }
  std::uint8_t Byte(std::int64_t address) {
    BufferLock lock(form_.Buffer());
    return lock[static_cast<std::size_t>(address)];
  }

  TempDir dir_;
  std::string previous_;
  winapi::ScriptedMessageBoxes boxes_;
  TMainEdit form_;
};

TEST_F(DumpEditWidget, AFreshFormShowsTheBufferStart) {
  EXPECT_EQ(form_.windowTitle(), "Dump Edit");
  EXPECT_EQ(form_.MainEditPage()->count(), 4);
  EXPECT_EQ(form_.MainEditPage()->tabText(1), "16 Bits");
  EXPECT_EQ(form_.Grid(GridId::Hex8)->rowCount(), 16);
  EXPECT_EQ(form_.Grid(GridId::Hex8)->horizontalHeaderItem(15)->text(), "0F");
  EXPECT_EQ(form_.Grid(GridId::Hex16)->horizontalHeaderItem(7)->text(), "0007");
  EXPECT_EQ(Shown(GridId::Hex8, 0, 1), "FF");
  EXPECT_EQ(Shown(GridId::Address8, 4, 2), "1");
  EXPECT_EQ(Shown(GridId::Hex16, 7, 16), "FFFF");
  EXPECT_EQ(form_.ScrollBar(ScrollBarId::Bits8)->maximum(), 0x7FFF);
  EXPECT_EQ(form_.MaxRow(), 0xFFF0);
  EXPECT_NE(form_.findChild<QToolButton*>("SearchNextSpeed"), nullptr);
  EXPECT_NE(form_.findChild<QToolButton*>("SpeedButton7"), nullptr);
}

TEST_F(DumpEditWidget, TypingIntoTheGridsWritesTheBuffer) {
  ClickCell(GridId::Hex8, 2, 3);
  QTest::keyClicks(form_.Grid(GridId::Hex8), "5c");
  EXPECT_EQ(Byte(0x22), 0x5C);
  EXPECT_EQ(Shown(GridId::Hex8, 2, 3), "5C");
  EXPECT_EQ(Shown(GridId::Ascii8, 2, 3), "\\");
  EXPECT_EQ(form_.Grid(GridId::Hex8)->currentColumn(), 3);
  EXPECT_EQ(form_.Modified(), 1);

  ClickCell(GridId::Ascii8, 0, 16);
  QTest::keyClicks(form_.Grid(GridId::Ascii8), "Hi");
  EXPECT_EQ(Byte(0xF0), 'H');
  EXPECT_EQ(Byte(0xF1), 'i');
  EXPECT_EQ(Shown(GridId::Hex8, 1, 16), "69");

  form_.MainEditPage()->setCurrentIndex(1);
  EXPECT_EQ(Shown(GridId::Hex16, 1, 3), "FF5C");
  ClickCell(GridId::Hex16, 0, 1);
  QTest::keyClicks(form_.Grid(GridId::Hex16), "beef");
  EXPECT_EQ(Byte(0), 0xEF);
  EXPECT_EQ(Byte(1), 0xBE);
  EXPECT_EQ(Shown(GridId::Hex16, 0, 1), "BEEF");
  ClickCell(GridId::Ascii16, 4, 1);
  QTest::keyClicks(form_.Grid(GridId::Ascii16), "Z");
  EXPECT_EQ(Byte(5), 'Z');
  EXPECT_EQ(Shown(GridId::Hex16, 2, 1), "5AFF");
}

TEST_F(DumpEditWidget, AnAddressTypedIntoTheAddressGridMovesTheView) {
  ClickCell(GridId::Address8, 1, 1);
  QTest::keyClicks(form_.Grid(GridId::Address8), "8");
  EXPECT_EQ(Shown(GridId::Address8, 1, 1), "8");
  // 080000 is row 0x8000: row 1 of page 1.
  EXPECT_EQ(form_.ScrollBar(ScrollBarId::Bits8)->value(), 1);
  EXPECT_EQ(form_.ScrollBar(ScrollBarId::Bits16)->value(), 1);
  std::int32_t page = 0;
  form_.QueryPageNo(page);
  EXPECT_EQ(page, 1);
  ClickCell(GridId::Hex8, 0, 1);
  QTest::keyClicks(form_.Grid(GridId::Hex8), "00");
  EXPECT_EQ(Byte(0x80000), 0x00);
}

TEST_F(DumpEditWidget, KeysAndScrollBarsMoveTheView) {
  ClickCell(GridId::Hex8, 0, 16);
  QTest::keyClick(form_.Grid(GridId::Hex8), Qt::Key_PageDown);
  std::int32_t top = 0;
  form_.QueryTopRow(top);
  EXPECT_EQ(top, 16);
  EXPECT_EQ(form_.ScrollBar(ScrollBarId::Bits8)->value(), 16);
  EXPECT_EQ(form_.ScrollBar(ScrollBarId::Bits16)->value(), 16);
  EXPECT_EQ(Shown(GridId::Address8, 3, 1), "1");  // 000100

  QScrollBar* bar = form_.ScrollBar(ScrollBarId::Bits8);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  form_.QueryTopRow(top);
  EXPECT_EQ(top, 15);
  EXPECT_EQ(bar->value(), 15);
  // Dragging the thumb to the end leaves the view, and the thumb, at the bottom.
  bar->setSliderDown(true);
  bar->setSliderPosition(0x7FFF);
  bar->setSliderDown(false);
  std::int32_t page = 0;
  form_.QueryPageNo(page);
  form_.QueryTopRow(top);
  EXPECT_EQ(page, 0);
  EXPECT_EQ(top, 0x7FFF);
  EXPECT_EQ(bar->value(), 0x7FFF);
  EXPECT_EQ(form_.ScrollBar(ScrollBarId::Bits16)->value(), 0x7FFF);
}

TEST_F(DumpEditWidget, TheViewFollowsTheThumbToTheTopTheBottomAndWhereverItIsPut) {
  QScrollBar* bar = form_.ScrollBar(ScrollBarId::Bits8);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  bar->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(View(), (ViewPosition{0, 0}));
  EXPECT_EQ(bar->value(), 0);

  // The bottom of page 0 is row 0x7FFF, and the thumb stays at the bottom.
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(View(), (ViewPosition{0, 0x7FFF}));
  EXPECT_EQ(bar->value(), 0x7FFF);
  EXPECT_EQ(Shown(GridId::Address8, 1, 1), "7");  // 07FFF0
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(View(), (ViewPosition{1, 1}));

  // "Scroll here" sets the value directly.
  bar->setValue(0x100);
  EXPECT_EQ(View(), (ViewPosition{1, 0x100}));
  EXPECT_EQ(form_.ScrollBar(ScrollBarId::Bits16)->value(), 0x100);
  EXPECT_EQ(Shown(GridId::Address8, 1, 1), "8");  // 080FF0
  EXPECT_EQ(Shown(GridId::Address8, 3, 1), "F");
}

TEST_F(DumpEditWidget, TheWheelOverTheGridsAndTheBarsScrollsByRows) {
  TurnWheel(form_.Grid(GridId::Hex8)->viewport(), -3 * 120);  // three notches toward the user
  EXPECT_EQ(View(), (ViewPosition{0, 3}));
  EXPECT_EQ(form_.ScrollBar(ScrollBarId::Bits8)->value(), 3);
  EXPECT_EQ(Shown(GridId::Address8, 4, 1), "3");  // 000030
  TurnWheel(form_.ScrollBar(ScrollBarId::Bits16), 120);
  EXPECT_EQ(View(), (ViewPosition{0, 2}));
  // Half notches add up to one row.
  TurnWheel(form_.Grid(GridId::Ascii16)->viewport(), -60);
  EXPECT_EQ(View(), (ViewPosition{0, 2}));
  TurnWheel(form_.Grid(GridId::Ascii16)->viewport(), -60);
  EXPECT_EQ(View(), (ViewPosition{0, 3}));
  EXPECT_EQ(form_.ScrollBar(ScrollBarId::Bits16)->value(), 3);
}

TEST_F(DumpEditWidget, TheFormOpensCentredOnceAndThenKeepsItsPlace) {
  const QRect desk = form_.screen()->availableGeometry();
  EXPECT_EQ(form_.x(), desk.left() + (desk.width() - form_.width()) / 2);
  EXPECT_EQ(form_.y(), desk.top() + (desk.height() - form_.height()) / 2);
  form_.move(desk.left() + 5, desk.top() + 7);
  form_.close();
  ASSERT_FALSE(form_.isVisible());
  form_.ShowForm();
  EXPECT_EQ(form_.pos(), QPoint(desk.left() + 5, desk.top() + 7));
}

TEST_F(DumpEditWidget, AClickWithoutAnEditLeavesNoNoteOnClose) {
  std::string panel = "C:\\DATA.BIN";
  form_.SetChangedDataReporter([&panel](const std::string& note) { panel += note; });
  ClickCell(GridId::Hex8, 4, 1);
  QTest::keyClicks(form_.Grid(GridId::Hex8), "3");
  ClickCell(GridId::Hex8, 4, 1);
  form_.close();
  EXPECT_FALSE(form_.isVisible());
  EXPECT_EQ(panel, "C:\\DATA.BIN");
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST(DumpEditLifetime, AFocusedGridGoesWithTheForm) {
  auto form = std::make_unique<TMainEdit>();
  form->ShowForm();
  QApplication::setActiveWindow(form.get());
  DumpGrid* grid = form->Grid(GridId::Ascii8);
  grid->setFocus(Qt::OtherFocusReason);
  ASSERT_TRUE(grid->hasFocus());
  QTest::keyClicks(grid, "A");
  // The grid loses the focus while the form goes; under the address sanitizer a call into
  // the form's freed editor would end the run here.
  form.reset();
  EXPECT_EQ(QApplication::focusWidget(), nullptr);
}

TEST_F(DumpEditWidget, ResizeShowsTheStartOfTheNewBuffer) {
  ClickCell(GridId::Hex8, 0, 16);
  QTest::keyClick(form_.Grid(GridId::Hex8), Qt::Key_PageDown);
  ASSERT_TRUE(form_.ResizeBuffer(0x1020000));
  EXPECT_EQ(form_.ScrollBar(ScrollBarId::Bits8)->value(), 0);
  EXPECT_EQ(Shown(GridId::Address8, 3, 1), "0");
  ClickCell(GridId::Hex8, 0, 1);
  QTest::keyClicks(form_.Grid(GridId::Hex8), "12");
  EXPECT_EQ(Byte(0), 0x12);
}

TEST_F(DumpEditWidget, ClosingAfterAnEditAsksAndReportsChangedData) {
  std::string panel = "C:\\DATA.BIN";
  form_.SetChangedDataReporter([&panel](const std::string& note) { panel += note; });
  ClickCell(GridId::Hex8, 4, 1);
  QTest::keyClicks(form_.Grid(GridId::Hex8), "34");
  boxes_.Answer(winapi::IDCANCEL);
  form_.close();
  EXPECT_TRUE(form_.isVisible());
  EXPECT_EQ(panel, "C:\\DATA.BIN");
  boxes_.Answer(winapi::IDOK);
  form_.close();
  EXPECT_FALSE(form_.isVisible());
  EXPECT_EQ(panel, "C:\\DATA.BIN    Data are changed!!");
  ASSERT_EQ(boxes_.boxes().size(), 2u);
  EXPECT_EQ(boxes_.boxes()[1].owner, static_cast<winapi::Owner>(&form_));
  EXPECT_TRUE(form_.EditRecordList().records().empty());
}

TEST(DumpEditCreation, NoMemoryLeavesTheFormWithoutABufferAfterAnUnownedBox) {
  winapi::ScriptedMessageBoxes boxes;
  SetAllocationGate([](std::size_t) { return false; });
  TMainEdit form;
  SetAllocationGate(nullptr);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Memory Error !");
  EXPECT_EQ(boxes.boxes()[0].caption, "Dump Edit");
  EXPECT_EQ(boxes.boxes()[0].owner, nullptr);
  std::int32_t size = -1;
  form.QueryBufferSize(size);
  EXPECT_EQ(size, 0);
  EXPECT_FALSE(form.Buffer().exists());
}

class ScriptedDialog : public SettingsDialog {
 public:
  ScriptedDialog(const char* section, bool confirm)
      : SettingsDialog(section), confirm_(confirm) {}
  int exec() override {
    if (confirm_) CloseConfirmed();
    else reject();  // the title bar's close box
    return result();
  }

 private:
  bool confirm_;
};

TEST_F(DumpEditWidget, ToolButtonsActOnlyOnAConfirmedDialog) {
  TIniFile(SettingsPath()).WriteString("FillDataDlg", "OK", "1");  // left from an earlier use
  bool confirm = false;
  int actions = 0;
  InstallToolDialog(ToolCommand::Fill, [&confirm](TMainEdit&) {
    return std::make_unique<ScriptedDialog>("FillDataDlg", confirm);
  });
  InstallToolAction(ToolCommand::Fill, [&actions](TMainEdit&) { ++actions; });
  form_.findChild<QToolButton*>("FillDataSeep")->click();
  EXPECT_EQ(actions, 0);
  // [BufInf] was written for the dialog.
  EXPECT_EQ(TIniFile(SettingsPath()).ReadInteger("BufInf", "BufSize", 0), 0x100000);
  confirm = true;
  form_.findChild<QToolButton*>("SpeedButton4")->click();
  EXPECT_EQ(actions, 1);
}

TEST_F(DumpEditWidget, TheInformationPagesDisableTheEightBitButtonsOnly) {
  form_.MainEditPage()->setCurrentIndex(2);
  EXPECT_FALSE(form_.findChild<QToolButton*>("LoadFileB")->isEnabled());
  EXPECT_TRUE(form_.findChild<QToolButton*>("SpeedButton1")->isEnabled());
  form_.MainEditPage()->setCurrentIndex(0);
  EXPECT_TRUE(form_.findChild<QToolButton*>("LoadFileB")->isEnabled());
}

// ---- what a scroll paints ----

// The window as the screen has it (its backing store) once the pending paints are done.
QImage OnScreen(QWidget& window) {
  QApplication::processEvents();
  return window.screen()->grabWindow(window.winId()).toImage();
}

QImage RedrawnWhole(QWidget& window) {
  window.update();
  for (QWidget* child : window.findChildren<QWidget*>()) child->update();
  return OnScreen(window);
}

// Where two images first differ; empty when they are alike.
std::string FirstDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return "the sizes";
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) return QString("(%1, %2)").arg(x).arg(y).toStdString();
    }
  }
  return {};
}

enum class Sheet { Console8, Console16, UpdateTool8 };

struct ScrollCase {
  const char* name;
  std::function<void(TMainEdit& form, ScrollBarId bar, GridId hex)> scroll;
};

void PrintTo(const ScrollCase& scroll, std::ostream* out) { *out << scroll.name; }

void TriggerBar(TMainEdit& form, ScrollBarId bar, QAbstractSlider::SliderAction action) {
  form.ScrollBar(bar)->triggerAction(action);
}

const ScrollCase kScrolls[] = {
    {"BarLineDown", [](TMainEdit& form, ScrollBarId bar, GridId) {
       TriggerBar(form, bar, QAbstractSlider::SliderSingleStepAdd);
     }},
    {"BarLineUp", [](TMainEdit& form, ScrollBarId bar, GridId) {
       TriggerBar(form, bar, QAbstractSlider::SliderSingleStepSub);
     }},
    {"TwoLinesBeforeOnePaint", [](TMainEdit& form, ScrollBarId bar, GridId) {
       TriggerBar(form, bar, QAbstractSlider::SliderSingleStepAdd);
       TriggerBar(form, bar, QAbstractSlider::SliderSingleStepAdd);
     }},
    {"BarPageDown", [](TMainEdit& form, ScrollBarId bar, GridId) {
       TriggerBar(form, bar, QAbstractSlider::SliderPageStepAdd);
     }},
    {"BarToTheBottom", [](TMainEdit& form, ScrollBarId bar, GridId) {
       TriggerBar(form, bar, QAbstractSlider::SliderToMaximum);
     }},
    {"WheelOneRowDown", [](TMainEdit& form, ScrollBarId, GridId hex) {
       TurnWheel(form.Grid(hex)->viewport(), -120);
     }},
    {"WheelThreeRowsUp", [](TMainEdit& form, ScrollBarId, GridId hex) {
       TurnWheel(form.Grid(hex)->viewport(), 3 * 120);
     }},
    {"DownOnTheLastRow", [](TMainEdit& form, ScrollBarId, GridId hex) {
       ClickGridCell(form.Grid(hex), 3, form.Profile().rowsShown);
       QApplication::processEvents();
       QTest::keyClick(form.Grid(hex), Qt::Key_Down);
     }},
    {"UpOnTheFirstRowAfterAnEdit", [](TMainEdit& form, ScrollBarId, GridId hex) {
       ClickGridCell(form.Grid(hex), 1, 1);
       QTest::keyClicks(form.Grid(hex), hex == GridId::Hex8 ? "5c" : "5c00");
       QApplication::processEvents();
       QTest::keyClick(form.Grid(hex), Qt::Key_Up);
     }},
};

class ScrollPainting : public ::testing::TestWithParam<std::tuple<Sheet, ScrollCase>> {};

// A scroll moves the grids' pixels and draws only what came into view and where the cursor
// was: no row may show stale cells or a stale highlight.
TEST_P(ScrollPainting, TheWindowShowsWhatDrawingEveryCellAfreshShows) {
  const auto& [sheet, scroll] = GetParam();
  winapi::ScriptedMessageBoxes boxes;
  TMainEdit form(sheet == Sheet::UpdateTool8 ? UpdateToolProfile() : ConsoleProfile());
  {
    BufferLock lock(form.Buffer());
    for (std::int32_t a = 0; a < lock.size(); ++a) {
      lock[static_cast<std::size_t>(a)] = static_cast<std::uint8_t>(a * 7 + a / 16);
    }
  }
  form.Core().view().MoveToRow(0x100);
  form.RefreshGrids();
  form.ShowForm();
  QApplication::setActiveWindow(&form);
  const bool words = sheet == Sheet::Console16;
  if (words) form.MainEditPage()->setCurrentIndex(1);
  OnScreen(form);

  scroll.scroll(form, words ? ScrollBarId::Bits16 : ScrollBarId::Bits8,
                words ? GridId::Hex16 : GridId::Hex8);
  const QImage shown = OnScreen(form);
  EXPECT_NE(form.Core().view().FirstRow(), 0x100);
  EXPECT_EQ(FirstDifference(shown, RedrawnWhole(form)), "");
}

std::string ScrollCaseName(const ::testing::TestParamInfo<ScrollPainting::ParamType>& info) {
  constexpr const char* kSheets[] = {"Console8", "Console16", "UpdateTool8"};
  return std::string(kSheets[static_cast<int>(std::get<0>(info.param))]) + "_" +
         std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(
    EveryScroll, ScrollPainting,
    ::testing::Combine(::testing::Values(Sheet::Console8, Sheet::Console16, Sheet::UpdateTool8),
                       ::testing::ValuesIn(kScrolls)),
    ScrollCaseName);

}  // namespace
}  // namespace buffer
