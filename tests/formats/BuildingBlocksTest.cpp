// The pieces every reader and writer stands on: locations of errors, the hex field reader
// and its sums, the bounded parsed image and the text block writer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "buffer/formats/HexFields.h"
#include "buffer/formats/ParsedImage.h"
#include "buffer/formats/TextBlockWriter.h"
#include "buffer/formats/TextSource.h"
#include "tests/support/TempDir.h"

namespace formats {
namespace {

std::span<const uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

TEST(TextSourceTest, LocationsCountLinesOfLfAndCrLfAndNameTheFile) {
  const std::string text = "ab\r\ncd\nef";
  TextSource source("x.hex", Bytes(text));
  struct Case {
    size_t position;
    int32_t line;
    int32_t column;
  };
  for (auto [position, line, column] : {Case{0, 1, 1}, Case{2, 1, 3}, Case{4, 2, 1}, Case{5, 2, 2},
                                        Case{7, 3, 1}, Case{9, 3, 3}, Case{99, 3, 3}}) {
    TextLocation at = source.LocationOf(position);
    EXPECT_EQ(at.line, line) << position;
    EXPECT_EQ(at.column, column) << position;
  }
  EXPECT_EQ(source.ErrorAt(5, "bad digit").Describe(), "x.hex, line 2, column 2: bad digit");
  EXPECT_TRUE(source.Find('e'));
  EXPECT_EQ(source.Position(), 7u);
  EXPECT_FALSE(source.Find(':'));
  EXPECT_TRUE(source.AtEnd());
  EXPECT_EQ(source.Next(), TextSource::kEnd);
}

TEST(HexFieldReaderTest, ReadsBothCasesKeepsSumsAndStopsAtTheFirstBadCharacter) {
  const std::string text = "0aFf1234G";
  TextSource source("f", Bytes(text));
  HexFieldReader reader(source);
  EXPECT_EQ(reader.Byte(), 0x0A);
  EXPECT_EQ(reader.Byte(), 0xFF);
  uint32_t value = 0;
  EXPECT_TRUE(reader.Number(4, value));
  EXPECT_EQ(value, 0x1234u);
  EXPECT_EQ(reader.ByteSum(), 0x0Au + 0xFF + 0x12 + 0x34);
  EXPECT_EQ(reader.NibbleSum(), 0u + 10 + 15 + 15 + 1 + 2 + 3 + 4);
  EXPECT_EQ(reader.Byte(), HexFieldReader::kBad);
  EXPECT_EQ(source.Position(), 8u);  // left at the 'G'
  EXPECT_EQ(reader.Nibble(), HexFieldReader::kBad);
  source.Skip(1);
  EXPECT_EQ(reader.Nibble(), HexFieldReader::kBad);  // at the end
}

TEST(HexFieldReaderTest, BytesReadRunsAndStopWhereTheSingleReadsWould) {
  const std::string text = "00FFa5G1";
  for (size_t n : {3u, 4u}) {
    TextSource source("f", Bytes(text));
    HexFieldReader reader(source);
    uint8_t out[4] = {};
    EXPECT_EQ(reader.Bytes(out, n), n == 3);
    EXPECT_EQ(out[0], 0x00);
    EXPECT_EQ(out[1], 0xFF);
    EXPECT_EQ(out[2], 0xA5);
    EXPECT_EQ(source.Position(), 6u) << n;  // at the 'G' when it fails
    EXPECT_EQ(reader.ByteSum(), 0xFFu + 0xA5);
    EXPECT_EQ(reader.NibbleSum(), 15u + 15 + 10 + 5);
  }
  // Fewer digits than asked for: the single reads take over and stop at the end.
  const std::string shorter = "0102";
  TextSource source("f", Bytes(shorter));
  HexFieldReader reader(source);
  uint8_t out[3] = {};
  EXPECT_FALSE(reader.Bytes(out, 3));
  EXPECT_EQ(out[1], 0x02);
  EXPECT_TRUE(source.AtEnd());
}

// Long runs are decoded many digits at once: every character that is no digit, wherever it
// stands in a run, must stop the read exactly there with the sums of what came before.
TEST(HexFieldReaderTest, ALongRunStopsAtAnyBadCharacterWithTheSumsBeforeIt) {
  const std::string digits = "0123456789abcdefABCDEF0123456789aBcDeF98";  // 20 bytes
  for (int c = 0; c < 256; ++c) {
    const bool isDigit = std::isxdigit(c) != 0;
    for (size_t at = 0; at < digits.size(); ++at) {
      std::string text = digits + "\r\n";
      text[at] = static_cast<char>(c);
      TextSource source("f", Bytes(text));
      HexFieldReader reader(source);
      uint8_t out[20] = {};
      ASSERT_EQ(reader.Bytes(out, 20), isDigit) << c << " at " << at;
      const size_t end = isDigit ? digits.size() : at;
      uint32_t bytes = 0, nibbles = 0;
      for (size_t k = 0; k < end; ++k) nibbles += std::stoi(text.substr(k, 1), nullptr, 16);
      for (size_t k = 0; k < end / 2; ++k) {
        const auto value = static_cast<uint8_t>(std::stoi(text.substr(2 * k, 2), nullptr, 16));
        ASSERT_EQ(out[k], value) << c << " at " << at;
        bytes += value;
      }
      ASSERT_EQ(source.Position(), end) << c << " at " << at;
      ASSERT_EQ(reader.ByteSum(), bytes) << c << " at " << at;
      ASSERT_EQ(reader.NibbleSum(), nibbles) << c << " at " << at;
    }
  }
}

TEST(ParsedImageTest, StartsFilledGrowsWithZerosAndRefusesBeyondItsLimit) {
  ParsedImage image(16, 0xA5);
  EXPECT_EQ(image.Size(), 16u + ParsedImage::kSpare);
  EXPECT_EQ(image.Data()[15], 0xA5);
  EXPECT_EQ(image.Data()[16], 0x00);

  uint8_t* at = image.At(0x100000, 4);
  ASSERT_NE(at, nullptr);
  at[3] = 0x11;
  EXPECT_EQ(image.Size(), 0x100004u);
  EXPECT_EQ(image.Data()[0x0FFFFF], 0x00);

  const uint64_t limit = ParsedImage::kLimit;
  EXPECT_NE(image.At(limit - 1, 1), nullptr);
  EXPECT_EQ(image.Size(), limit);
  EXPECT_EQ(image.At(limit - 1, 2), nullptr);
  EXPECT_EQ(image.At(0xFFFFFFFFFFFFFFF0ull, 0x20), nullptr);  // would wrap
  EXPECT_EQ(image.At(0xFFFF0000ull + 0xFFFF, 1), nullptr);
  EXPECT_EQ(image.Size(), limit);  // refused writes change nothing

  // A first size above the limit stays usable as a whole.
  ParsedImage large(0x1100000, 0);
  EXPECT_EQ(large.Limit(), 0x1100000u + ParsedImage::kSpare);
  EXPECT_NE(large.At(0x1100000, ParsedImage::kSpare), nullptr);
}

TEST(TextBlockWriterTest, FlushesBeforeARecordPastTheThresholdAndReplacesAnOldFile) {
  TempDir dir;
  const std::string name = dir.File("out.txt");
  dir.Write("out.txt", std::string(200000, 'x'));  // an old, longer file
  TextBlockWriter writer(name);
  std::string expected;
  for (int i = 0; i < 3000; ++i) {  // 3000 * 40 characters: the block is written twice
    writer.BeginRecord();
    writer.Append(":");
    writer.AppendHex(static_cast<uint32_t>(i), 4);
    writer.AppendHexByte(static_cast<uint8_t>(i * 7));
    writer.Append(std::string(31, 'z'));
    writer.AppendLineEnd();
    char head[16];
    std::snprintf(head, sizeof head, ":%04X%02X", i, (i * 7) & 0xFF);
    expected += head + std::string(31, 'z') + "\r\n";
  }
  EXPECT_TRUE(writer.Finish());
  EXPECT_EQ(dir.Read("out.txt"), expected);

  // Nothing written before the last write: it creates the file.
  TextBlockWriter empty(dir.File("empty.txt"));
  EXPECT_TRUE(empty.Finish());
  EXPECT_EQ(dir.Read("empty.txt"), "");

  TextBlockWriter nowhere(dir.File("no/such/folder.txt"));
  nowhere.Append("x");
  EXPECT_FALSE(nowhere.Finish());
}

}  // namespace
}  // namespace formats
