#include "buffer/core/EditProfile.h"

namespace buffer {

const EditProfile& ConsoleProfile() {
  static const EditProfile profile{
      .initialSize = 0x100000,
      .initialFill = 0xFF,
      .growFillFromLoadDialog = true,
      .growFill = 0xFF,
      .rowsShown = 16,
      .maxRowMargin = 16,
      .pageStep = 15,
      .bigEndianWords = false,
      .settingsFileName = "History.ini",
      .editRecords = true,
      .hexKeyRule = HexKeyRule::KeepBackspace,
      .icRangeButtonShown = false,
      .rangeDialogsOpenOnWholeBuffer = true,
      .fillRangeButtonHints = true,
      .fillForgetsLoadedFile = true,
      .blockDialog = BlockDialogBuild::MaskAndTrackBar,
      .onlyByteSheet = false,
      .byteBarEnabled = true,
      .pressRaisesForm = true,
      .closeFreesForm = false,
  };
  return profile;
}

const EditProfile& UpdateToolProfile() {
  static const EditProfile profile{
      .initialSize = 0x10000,
      .initialFill = 0x00,
      .growFillFromLoadDialog = false,
      .growFill = 0x00,
      .rowsShown = 9,
      .maxRowMargin = 13,
      .pageStep = 12,
      .bigEndianWords = true,
      .settingsFileName = "Zorv_R77Update.ini",
      .editRecords = false,
      .hexKeyRule = HexKeyRule::DropBackspace,
      .icRangeButtonShown = true,
      .rangeDialogsOpenOnWholeBuffer = false,
      .fillRangeButtonHints = false,
      .fillForgetsLoadedFile = false,
      .blockDialog = BlockDialogBuild::SwapAndResizeDialog,
      .onlyByteSheet = true,
      .byteBarEnabled = false,
      .pressRaisesForm = false,
      .closeFreesForm = true,
  };
  return profile;
}

}  // namespace buffer
