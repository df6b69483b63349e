#pragma once
// The two programs read the same hex formats with a few differences in their detectors and
// readers: their boxes' words, how far the Intel Hex detector looks, whether extended linear
// records count, and how strict the Motorola and Tektronix detectors are. One dialect object
// per program is handed to the shared readers.
#include "buffer/formats/FormatMessages.h"

namespace formats {

struct ReaderDialect {
  // Intel Hex
  DetectorMessages intelDetect;
  // Characters the detector may step over before a good data record; 0: no limit.
  int intelDetectStepLimit;
  // Type 04 records set the linear base (otherwise they are passed over like 03 and 05).
  bool intelLinearRecords;
  // Shown once after a read with checksum mismatches (the data stay loaded).
  Message intelChecksum;

  // Motorola S
  DetectorMessages motorolaDetect;
  // True: the whole text must be S-records, one bad data record or unknown type says no.
  // False: unknown pairs are passed over and the first data record with a good checksum
  // says yes.
  bool motorolaWholeText;

  // Tektronix
  DetectorMessages tektronixDetect;
  // The detector compares the header checksum too (otherwise only the data checksum).
  bool tektronixHeaderChecked;
};

const ReaderDialect& ConsoleReaders();
const ReaderDialect& UpdateToolReaders();

}  // namespace formats
