// The Save command's writers then the readers: a range of any bytes saved as binary, Intel
// Hex, Motorola S1/S2/S3 or Tektronix must read back as the same bytes at the same addresses
// (counted from 0), the text formats' 32-byte rounding included. Input: the Save dialog's
// format index, the start and length of the range (two bytes each), then the block.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "buffer/formats/IntelHex.h"
#include "buffer/formats/MotorolaS.h"
#include "buffer/formats/SaveDispatch.h"
#include "buffer/formats/Tektronix.h"
#include "buffer/formats/TextBlockWriter.h"
#include "fuzz/FuzzSupport.h"

using fuzz::Require;

namespace {

// One file in a directory of this process's own (in memory where the machine has it: a
// save per input), removed again at exit.
const std::string& SavePath() {
  static const std::string path = [] {
    static std::string kept = "/dev/shm/save_round_trip_XXXXXX";
    if (mkdtemp(kept.data()) == nullptr) {
      kept = "/tmp/save_round_trip_XXXXXX";
      Require(mkdtemp(kept.data()) != nullptr);
    }
    std::atexit([] { std::remove((kept + "/saved").c_str()), rmdir(kept.c_str()); });
    return kept + "/saved";
  }();
  return path;
}

std::vector<uint8_t> ReadBack(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::optional<formats::HexLoadResult> Read(int format, std::vector<uint8_t> text, int32_t bufSize) {
  formats::FileImage file = formats::MakeFileImage(SavePath(), text);
  formats::KeepFileSegmentBase keep;
  switch (static_cast<formats::SaveFormat>(format)) {
    case formats::SaveFormat::IntelHex:
      return formats::ParseIntelHex(nullptr, 0xFF, std::move(file), bufSize, keep);
    case formats::SaveFormat::Tektronix: return formats::ParseTektronix(nullptr, 0xFF, std::move(file), bufSize);
    default: return formats::ParseMotorolaS(std::move(file), bufSize, 0xFF);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InputBytes input(data, size);
  const int format = input.Byte() % static_cast<int>(formats::SaveFormat::Jedec);
  const int32_t start = input.Byte() | input.Byte() << 8;
  const int32_t length = input.Byte() | input.Byte() << 8;
  const std::span<const uint8_t> block = input.Bytes(size);
  const formats::SaveFormatRow& row = formats::SaveFormatOf(format);
  const int64_t saved = row.wholeSlices ? formats::RoundSavedLength(length) : length;
  std::remove(SavePath().c_str());
  if (!row.write(SavePath(), length, start, block)) {
    // Refused only when the rounded range is not inside the block, with no file left.
    Require(length <= 0 || start + saved > static_cast<int64_t>(block.size()));
    Require(access(SavePath().c_str(), F_OK) != 0);
    return 0;
  }
  Require(start + saved <= static_cast<int64_t>(block.size()));
  if (!row.wholeSlices) {
    Require(std::ranges::equal(block.subspan(start, length), ReadBack(SavePath())));
    return 0;
  }
  if (saved == 0) return 0;  // an end record alone, which no reader takes for a file
  const auto read = Read(format, ReadBack(SavePath()), static_cast<int32_t>(saved));
  Require(read.has_value());
  Require(read->image.size() >= static_cast<size_t>(saved));
  Require(std::equal(block.begin() + start, block.begin() + start + saved, read->image.begin()));
  return 0;
}
