#pragma once
// Helpers of the format tests: byte views of texts, seeded random data, running the outside
// tools, and text variants (line ends, case) of a file another tool wrote.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "buffer/formats/FileImage.h"
#include "buffer/formats/FormatMessages.h"
#include "platform/winapi/ScriptedMessageBoxes.h"

namespace formats::testing {

// Where the data of a generated image lie: runs of bytes at their addresses.
struct Chunk {
  uint32_t address;
  uint32_t size;
};

struct Layout {
  const char* name;
  std::vector<Chunk> chunks;
  uint32_t End() const {
    uint32_t end = 0;
    for (const Chunk& c : chunks) end = std::max(end, c.address + c.size);
    return end;
  }
};

inline std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

inline FileImage ImageOf(const std::string& text, const std::string& name = "test.hex") {
  return MakeFileImage(name, Bytes(text));
}

inline std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(n);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

inline void WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline bool HaveTool(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs the shell command; true when it exits 0.
inline bool RunTool(const std::string& command) {
  return std::system((command + " 2>/dev/null").c_str()) == 0;
}

inline std::string Hex(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

// The same records with other line ends or digits.
enum class TextVariant { AsWritten, CrLf, Lf, LowerCase, NoFinalLineEnd };

inline std::string Variant(const std::string& text, TextVariant variant) {
  std::string lf;
  for (char c : text)
    if (c != '\r') lf += c;
  switch (variant) {
    case TextVariant::AsWritten:
      return text;
    case TextVariant::Lf:
      return lf;
    case TextVariant::CrLf: {
      std::string crlf;
      for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
      return crlf;
    }
    case TextVariant::LowerCase: {
      std::string lower = text;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      return lower;
    }
    case TextVariant::NoFinalLineEnd: {
      std::string cut = text;
      while (!cut.empty() && (cut.back() == '\n' || cut.back() == '\r')) cut.pop_back();
      return cut;
    }
  }
  return text;
}

inline constexpr TextVariant kAllVariants[] = {TextVariant::AsWritten, TextVariant::CrLf,
                                               TextVariant::Lf, TextVariant::LowerCase,
                                               TextVariant::NoFinalLineEnd};

// Runs the detector in each message mode on the text: its answer, and the one box mode 1
// shows on a no and mode 2 on a yes.
inline void ExpectDetection(bool (*detect)(int, const FileImage&), const DetectorMessages& boxes,
                            const std::string& text, bool expected) {
  for (int mode : {kDetectSilent, kDetectOnFailure, kDetectOnSuccess}) {
    winapi::ScriptedMessageBoxes shown;
    EXPECT_EQ(detect(mode, MakeFileImage("test", Bytes(text))), expected) << "mode " << mode;
    const Message* box = mode == kDetectOnSuccess && expected    ? &boxes.success
                         : mode == kDetectOnFailure && !expected ? &boxes.failure
                                                                 : nullptr;
    ASSERT_EQ(shown.boxes().size(), box ? 1u : 0u) << "mode " << mode;
    if (box) {
      EXPECT_EQ(shown.boxes()[0].text, box->text);
      EXPECT_EQ(shown.boxes()[0].caption, box->caption);
    }
  }
}

}  // namespace formats::testing
