#pragma once
// What differs between the console's Dump Edit and the update tool's: one profile object is
// handed to the shared buffer, view and grid code, so both programs run the same code.
#include <cstdint>
#include <string>

#include "buffer/core/HexText.h"

namespace buffer {

// The Block dialog's third action and resize panel: the console's masks and resizes by a track
// bar; the update tool's swaps, keeps no mask and resizes through a dialog of its own.
enum class BlockDialogBuild { MaskAndTrackBar, SwapAndResizeDialog };

struct EditProfile {
  // The buffer as the form creates it.
  std::uint32_t initialSize;
  std::uint8_t initialFill;
  // Bytes past the old end after a grow: the Load dialog's fill byte ([LoadDlg] UserFill when
  // UnuserFillCheck is 1, else 0xFF) when true, else growFill.
  bool growFillFromLoadDialog;
  std::uint8_t growFill;
  // Data rows of every grid (row 0 above them holds the headers).
  int rowsShown;
  // MaxRow = BufSize / 16 - maxRowMargin.
  int maxRowMargin;
  // Rows a page scroll adds to the scroll bar's own step of one.
  int pageStep;
  // The 16-bit view: false shows each word little-endian (the byte at the odd address first),
  // true big-endian (the bytes in memory order).
  bool bigEndianWords;
  // Bare name of the settings file; the program's start-up joins it with the start directory
  // and hands the path to SetSettingsPath, which all the shared code reads.
  std::string settingsFileName;
  // Clicks on the 8-bit hex grid are remembered and checked against the buffer on close.
  bool editRecords;
  // Whether the dialogs' hex key filter lets backspace through.
  HexKeyRule hexKeyRule;
  // The range dialogs' IC button: a normal button, or laid out with no width where neither
  // the mouse nor Tab reaches it.
  bool icRangeButtonShown;
  // The Fill Data and Block dialogs open on the whole buffer; otherwise on the range their
  // sections keep from the last accepted command.
  bool rangeDialogsOpenOnWholeBuffer;
  // The Fill Data dialog's Max and File buttons carry hints.
  bool fillRangeButtonHints;
  // An accepted fill clears the status-bar panel that names the loaded file.
  bool fillForgetsLoadedFile;
  BlockDialogBuild blockDialog;
  // Only the 8-bit sheet is ever shown: the other tabs are hidden and a page change puts the
  // 8-bit sheet back.
  bool onlyByteSheet;
  // The 8-bit sheet's scroll bar takes the mouse; disabled, it still follows the view, and the
  // grids' keys still scroll.
  bool byteBarEnabled;
  // A press on a grid brings the form to the top (a child of the update tool's frame leaves
  // that to the frame: the press only moves the cursors).
  bool pressRaisesForm;
  // Closing frees the form and its buffer (the console's form only hides).
  bool closeFreesForm;

  // A typed view address is pulled back so that the last screen stays full.
  std::int32_t JumpMarginBytes() const { return rowsShown * 16; }
};

const EditProfile& ConsoleProfile();
const EditProfile& UpdateToolProfile();

}  // namespace buffer
