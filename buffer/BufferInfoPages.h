#pragma once
// The controls of the Dump Edit's "Buffer Information" and "Buffer Map" sheets, by their
// control names, with the static texts and cell pictures around them. The form's handlers
// decide what they show; this only lays them out and puts texts into them.
#include <cstdint>

#include "buffer/core/BufferInfoText.h"
#include "buffer/core/BufferMapModel.h"

class QLabel;
class QScrollBar;
class QTableWidget;
class QWidget;

namespace buffer {

class TBufferMap;

class BufferInfoPages {
 public:
  // Fills the two (empty) sheets with their controls, showing the initial texts.
  void Build(QWidget* infoSheet, QWidget* mapSheet);

  void ShowFigures(const BufferInfoTexts& texts);
  // The file name always; the format only when it has a name.
  void ShowLoadedFile(const LoadedFileTexts& file);
  // The map's scroll bar for a fresh map: enabled or not, at position 0.
  void ShowMapScroll(const MapScrollRange& range);
  // Rows 0 to Colls_H - 1 of the address column.
  void ShowRowAddresses(std::int32_t mapOffset);
  void ShowMapCursor(std::int32_t address);

  QLabel* CheckSumLabel = nullptr;
  QLabel* SumSaddLabel = nullptr;
  QLabel* BufSizeLabel = nullptr;
  QLabel* StartAddLabel = nullptr;
  QLabel* EndAddressLabel = nullptr;
  QLabel* LastLoadFileNameLabel = nullptr;
  QLabel* FileFormatLabel = nullptr;
  QTableWidget* MapAddStringGrid = nullptr;
  TBufferMap* InfBufferMap = nullptr;
  QScrollBar* BufMapScrollBar = nullptr;
  QLabel* Label18 = nullptr;

 private:
  void BuildInfoSheet(QWidget* sheet);
  void BuildMapSheet(QWidget* sheet);
  QWidget* BuildAddressColumn();
  QWidget* BuildMapColumn();
  QWidget* BuildLegend();
};

}  // namespace buffer
