#include "buffer/formats/ReaderDialect.h"

namespace formats {

const ReaderDialect& ConsoleReaders() {
  static const ReaderDialect dialect{
      .intelDetect = messages::kIntelHexDetect,
      .intelDetectStepLimit = 128,
      .intelLinearRecords = true,
      .intelChecksum = messages::kIntelHexChecksum,
      .motorolaDetect = messages::kMotorolaDetect,
      .motorolaWholeText = true,
      .tektronixDetect = messages::kTektronixDetect,
      .tektronixHeaderChecked = true,
  };
  return dialect;
}

const ReaderDialect& UpdateToolReaders() {
  static const ReaderDialect dialect{
      .intelDetect = {messages::kIntelHexDetect.success,
                      {"File not is Intel Hex format !", "ERROR !", winapi::MB_OK}},
      .intelDetectStepLimit = 0,
      .intelLinearRecords = false,
      .intelChecksum = messages::kReadIncomplete,
      .motorolaDetect = {messages::kMotorolaDetect.success,
                         {"File not is Motorola Hex format !", "ERROR !", winapi::MB_OK}},
      .motorolaWholeText = false,
      .tektronixDetect = {messages::kTektronixDetect.success,
                          {"Not is Tektronix HEX format !", "ERROR", winapi::MB_OK}},
      .tektronixHeaderChecked = false,
  };
  return dialect;
}

}  // namespace formats
