#include "buffer/BufferInfoPages.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "buffer/BufferMap.h"
#include "platform/winapi/qt/FileNames.h"

namespace buffer {
namespace {

constexpr int kCellPixels = 16;
constexpr int kMapCellTop = 3;
constexpr int kBlocksPerKByte = 4;
constexpr int kAddressColumnWidth = 64;
constexpr int kAddressSpareWidth = 6;

QString FromLatin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QFont FixedFont() {
  QFont fixed("Monospace");
  fixed.setStyleHint(QFont::TypeWriter);
  return fixed;
}

// A cell picture: a raised frame with a cyan letter on the block kind's own colour.
QPixmap CellPicture(QChar glyph, QColor background) {
  QPixmap picture(kCellPixels, kCellPixels);
  picture.fill(background);
  QPainter painter(&picture);
  painter.setPen(Qt::white);
  painter.drawLine(0, 0, kCellPixels - 1, 0);
  painter.drawLine(0, 0, 0, kCellPixels - 1);
  painter.setPen(QColor(0x40, 0x40, 0x40));
  painter.drawLine(kCellPixels - 1, 1, kCellPixels - 1, kCellPixels - 1);
  painter.drawLine(1, kCellPixels - 1, kCellPixels - 1, kCellPixels - 1);
  QFont font("Sans");
  font.setPixelSize(11);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::cyan);
  painter.drawText(QRect(0, 0, kCellPixels, kCellPixels), Qt::AlignCenter, QString(glyph));
  return picture;
}

QPixmap DataPicture() { return CellPicture('D', QColor(0x00, 0x80, 0x80)); }
QPixmap BitLowPicture() { return CellPicture('0', QColor(0x00, 0x00, 0x80)); }
QPixmap BitHighPicture() { return CellPicture('1', QColor(0x80, 0x00, 0x00)); }

QLabel* NamedLabel(const char* name, const char* text) {
  auto* label = new QLabel(text);
  label->setObjectName(name);
  return label;
}

QLabel* PictureLabel(const QPixmap& picture) {
  auto* label = new QLabel;
  label->setPixmap(picture);
  return label;
}

}  // namespace

void BufferInfoPages::Build(QWidget* infoSheet, QWidget* mapSheet) {
  BuildInfoSheet(infoSheet);
  BuildMapSheet(mapSheet);
}

void BufferInfoPages::BuildInfoSheet(QWidget* sheet) {
  CheckSumLabel = NamedLabel("CheckSumLabel", kInitialCheckSumText);
  SumSaddLabel = NamedLabel("SumSaddLabel", kInitialSumRangeText);
  BufSizeLabel = NamedLabel("BufSizeLabel", kInitialAddressText);
  StartAddLabel = NamedLabel("StartAddLabel", kInitialAddressText);
  EndAddressLabel = NamedLabel("EndAddressLabel", kInitialAddressText);
  LastLoadFileNameLabel = NamedLabel("LastLoadFileNameLabel", kInitialFileText);
  FileFormatLabel = NamedLabel("FileFormatLabel", kInitialFileText);
  for (QLabel* figure : {CheckSumLabel, SumSaddLabel, BufSizeLabel, StartAddLabel,
                         EndAddressLabel}) {
    figure->setFont(FixedFont());
  }

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(10);
  grid->addWidget(CheckSumLabel, 0, 0, 1, 2);
  grid->addWidget(SumSaddLabel, 1, 0, 1, 2);
  const std::array<std::pair<const char*, QLabel*>, 5> captioned{{
      {"Buffer Size :", BufSizeLabel},
      {"Start Address :", StartAddLabel},
      {"End Address :", EndAddressLabel},
      {"Last Load File Name : ", LastLoadFileNameLabel},
      {"File Format :", FileFormatLabel},
  }};
  for (std::size_t i = 0; i < captioned.size(); ++i) {
    const int row = static_cast<int>(i) + 2;
    grid->addWidget(new QLabel(captioned[i].first), row, 0);
    grid->addWidget(captioned[i].second, row, 1);
  }
  grid->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(sheet);
  layout->setContentsMargins(24, 24, 24, 24);
  layout->addLayout(grid);
  layout->addStretch();
}

void BufferInfoPages::BuildMapSheet(QWidget* sheet) {
  auto* maps = new QHBoxLayout;
  maps->setSpacing(4);
  maps->addWidget(BuildAddressColumn(), 0, Qt::AlignTop);
  maps->addWidget(BuildMapColumn(), 0, Qt::AlignTop);
  maps->addStretch();

  auto* cursor = new QHBoxLayout;
  cursor->addWidget(new QLabel("Now Cursor :"));
  Label18 = NamedLabel("Label18", kInitialMapCursorText);
  Label18->setFont(FixedFont());
  cursor->addWidget(Label18);
  cursor->addStretch();

  auto* layout = new QVBoxLayout(sheet);
  layout->addLayout(maps);
  layout->addLayout(cursor);
  layout->addWidget(BuildLegend());
  layout->addStretch();
}

QWidget* BufferInfoPages::BuildAddressColumn() {
  MapAddStringGrid = new QTableWidget(kMapRows, 2);
  MapAddStringGrid->setObjectName("MapAddStringGrid");
  MapAddStringGrid->setToolTip("Buffer Map.");
  MapAddStringGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MapAddStringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MapAddStringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  MapAddStringGrid->setSelectionMode(QAbstractItemView::NoSelection);
  MapAddStringGrid->setFocusPolicy(Qt::NoFocus);
  MapAddStringGrid->horizontalHeader()->hide();
  MapAddStringGrid->verticalHeader()->hide();
  MapAddStringGrid->setShowGrid(false);
  MapAddStringGrid->setFrameShape(QFrame::NoFrame);
  MapAddStringGrid->setFont(FixedFont());
  MapAddStringGrid->verticalHeader()->setMinimumSectionSize(kCellPixels);
  MapAddStringGrid->verticalHeader()->setDefaultSectionSize(kCellPixels);
  MapAddStringGrid->horizontalHeader()->setMinimumSectionSize(1);
  MapAddStringGrid->setColumnWidth(0, kAddressColumnWidth);
  MapAddStringGrid->setColumnWidth(1, kAddressSpareWidth);
  for (int r = 0; r < kMapRows; ++r) {
    auto* item = new QTableWidgetItem;
    item->setTextAlignment(Qt::AlignCenter);
    MapAddStringGrid->setItem(r, 0, item);
  }
  // The rows line up with the map's cells, which start inside its frame.
  MapAddStringGrid->setContentsMargins(0, kMapCellTop, 0, 0);
  MapAddStringGrid->setFixedSize(kAddressColumnWidth + kAddressSpareWidth,
                                 kMapCellTop + kMapRows * kCellPixels + 1);

  auto* column = new QWidget;
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* caption = new QLabel("[    Address    ]");
  caption->setFixedHeight(kCellPixels + 2);
  layout->addWidget(caption);
  layout->addWidget(MapAddStringGrid);
  return column;
}

QWidget* BufferInfoPages::BuildMapColumn() {
  InfBufferMap = new TBufferMap;
  InfBufferMap->setObjectName("InfBufferMap");
  InfBufferMap->SetDataPictur(DataPicture());
  InfBufferMap->SetBitLowPictur(BitLowPicture());
  InfBufferMap->SetBitHeigh(BitHighPicture());
  InfBufferMap->SetWColls(kMapColumns);
  InfBufferMap->SetHColls(kMapRows);

  BufMapScrollBar = new QScrollBar(Qt::Vertical);
  BufMapScrollBar->setObjectName("BufMapScrollBar");
  BufMapScrollBar->setToolTip("Buffer Map.");
  BufMapScrollBar->setSingleStep(1);
  BufMapScrollBar->setPageStep(9);
  BufMapScrollBar->setRange(0, 0);
  BufMapScrollBar->setFixedHeight(InfBufferMap->height());

  // One head per kilobyte, over its four cell columns.
  auto* heads = new QWidget;
  heads->setFixedSize(InfBufferMap->width(), kCellPixels + 2);
  QFont small = heads->font();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  constexpr int kHeadWidth = kBlocksPerKByte * kCellPixels;
  for (int k = 0; k < kMapColumns / kBlocksPerKByte; ++k) {
    auto* head = new QLabel(QString("[%1 KBytes]").arg(k + 1), heads);
    head->setFont(small);
    head->setAlignment(Qt::AlignCenter);
    head->setGeometry(kMapCellTop + k * kHeadWidth, 0, kHeadWidth, kCellPixels + 2);
  }

  auto* column = new QWidget;
  auto* layout = new QGridLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setHorizontalSpacing(2);
  layout->addWidget(heads, 0, 0);
  layout->addWidget(InfBufferMap, 1, 0);
  layout->addWidget(BufMapScrollBar, 1, 1);
  return column;
}

QWidget* BufferInfoPages::BuildLegend() {
  auto* legend = new QWidget;
  auto* layout = new QHBoxLayout(legend);
  layout->addWidget(PictureLabel(DataPicture()));
  layout->addWidget(new QLabel("Data Block."));
  layout->addSpacing(12);
  layout->addWidget(PictureLabel(BitHighPicture()));
  layout->addWidget(new QLabel("All Bit 1 Block."));
  layout->addSpacing(12);
  layout->addWidget(PictureLabel(BitLowPicture()));
  layout->addWidget(new QLabel("All Bit 0 Block."));
  layout->addSpacing(24);
  layout->addWidget(new QLabel("[Block : 256 Bytes]"));
  layout->addStretch();
  return legend;
}

void BufferInfoPages::ShowFigures(const BufferInfoTexts& texts) {
  CheckSumLabel->setText(FromLatin1(texts.checkSum));
  SumSaddLabel->setText(FromLatin1(texts.sumRange));
  BufSizeLabel->setText(FromLatin1(texts.bufSize));
  StartAddLabel->setText(FromLatin1(texts.startAddress));
  EndAddressLabel->setText(FromLatin1(texts.endAddress));
}

void BufferInfoPages::ShowLoadedFile(const LoadedFileTexts& file) {
  winapi::ShowName(LastLoadFileNameLabel, winapi::ShownName(file.name));
  if (file.format) FileFormatLabel->setText(FromLatin1(*file.format));
}

void BufferInfoPages::ShowMapScroll(const MapScrollRange& range) {
  const QSignalBlocker quiet(BufMapScrollBar);
  BufMapScrollBar->setEnabled(range.enabled);
  if (range.enabled) BufMapScrollBar->setMaximum(range.maximum);
  BufMapScrollBar->setValue(0);
}

void BufferInfoPages::ShowRowAddresses(std::int32_t mapOffset) {
  const int rows = std::min(InfBufferMap->Colls_H(), MapAddStringGrid->rowCount());
  for (int r = 0; r < rows; ++r) {
    MapAddStringGrid->item(r, 0)->setText(FromLatin1(MapRowAddressText(r, mapOffset)));
  }
}

void BufferInfoPages::ShowMapCursor(std::int32_t address) {
  Label18->setText(FromLatin1(MapCursorText(address)));
}

}  // namespace buffer
