// JEDEC fuse files: a hand-checked file through the whole load road, the parse's rules
// case by case, the text read, the STX check and the writer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <numeric>

#include "buffer/formats/Palunit.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/formats/FormatTestSupport.h"
#include "tests/support/TempDir.h"

namespace formats {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using namespace formats::testing;

constexpr char kStx = '\x02';

std::vector<std::string> Texts(const winapi::ScriptedMessageBoxes& boxes) {
  std::vector<std::string> texts;
  for (const auto& box : boxes.boxes()) texts.push_back(box.text + "|" + box.caption);
  return texts;
}

std::vector<uint8_t> BufferBytes(buffer::DataBuffer& buffer, size_t from, size_t n) {
  buffer::BufferLock lock(buffer);
  return {lock.data() + from, lock.data() + from + n};
}

// A file as a device vendor's tool writes it, CR LF line ends, with ETX and the
// transmission checksum: fuses 0..11 = 1011 0000 1111, fuses 12, 13 = 0 1. By hand: byte 0
// holds fuses 0..7 -> bits 0, 2, 3 = 0x0D; byte 1 fuses 8..13 -> bits 0..3 and 5 = 0x2F;
// the fuse checksum is 0x0D + 0x2F = 0x3C. The user bits A5 follow fuse 13.
const std::string kHandChecked =
    std::string(1, kStx) +
    "Made by hand*\r\nQF22*\r\nQP24*\r\nF0*\r\nL0 1011 0000\r\n1111*\r\nL12 01*\r\nC003C*\r\n"
    "UH A5*\r\n\x03"
    "0F48";

TEST(JedecLoadTest, AHandCheckedFileLoadsFuseByFuseWithBothChecksums) {
  TempDir dir;
  dir.Write("hand.jed", kHandChecked);
  // The transmission checksum: the byte sum from STX to ETX, as the file states it.
  const size_t etx = kHandChecked.find('\x03');
  EXPECT_EQ(std::accumulate(kHandChecked.begin(), kHandChecked.begin() + etx + 1, 0u,
                            [](unsigned sum, char c) { return sum + static_cast<uint8_t>(c); }) &
                0xFFFF,
            0x0F48u);

  buffer::DataBuffer buffer;
  ASSERT_TRUE(buffer.Create(64, 0x77));
  winapi::ScriptedMessageBoxes boxes;
  JedecText text;
  EXPECT_TRUE(LoadJedecFile(text, dir.File("hand.jed"), buffer, LoadSettings{}));
  EXPECT_THAT(Texts(boxes), ElementsAre("File load completed!!\n\nCheck Sum = 003C|Status"));
  EXPECT_THAT(BufferBytes(buffer, 0, 24),
              ElementsAreArray<uint8_t>({1, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 0, 1,  // fuses
                                         1, 0, 1, 0, 0, 1, 0, 1,                    // A5
                                         0, 0}));                                   // F0
  EXPECT_EQ(BufferBytes(buffer, 64, 1)[0], 0);  // the default state reaches into the slack
  // The text is kept as read: CR LF became LF, the freed places hold 0xFF.
  EXPECT_EQ(text.size, static_cast<int32_t>(kHandChecked.size()));
  const std::string lf = Variant(kHandChecked, TextVariant::Lf);
  EXPECT_EQ(std::string(text.block.begin(), text.block.begin() + lf.size()), lf);
  EXPECT_EQ(text.block[lf.size()], 0xFF);
  EXPECT_EQ(text.block[static_cast<size_t>(text.size) - 1], 0xFF);
  EXPECT_EQ(text.block[static_cast<size_t>(text.size)], 0);
}

struct ParseCase {
  const char* name;
  std::string text;
  bool fillUnused;
  bool returns;
  std::vector<std::string> boxes;
  std::vector<uint8_t> start;  // the buffer's first bytes afterwards (it was 0x77)
};

class JedecParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(JedecParseTest, FillsListsChecksumsAndUserBitsAsTheTextSays) {
  const ParseCase& c = GetParam();
  buffer::DataBuffer buffer;
  ASSERT_TRUE(buffer.Create(32, 0x77));
  LoadSettings settings;
  settings.userFill = 0xFF;
  settings.unusedFill = c.fillUnused ? 1 : 0;
  winapi::ScriptedMessageBoxes boxes;
  EXPECT_EQ(ParseJedec(Bytes(c.text), buffer, settings), c.returns);
  EXPECT_THAT(Texts(boxes), ElementsAreArray(c.boxes));
  EXPECT_THAT(BufferBytes(buffer, 0, c.start.size()), ElementsAreArray(c.start));
}

const std::string S(const std::string& fields) { return std::string(1, kStx) + fields; }
const std::string kLoaded1 = "File load completed!!\n\nCheck Sum = 0001|Status";
const std::string kMismatch = "File format error!!\n\nPlease check the file again!!|Status";
const std::string kBeyond = "Fuse Size is not Match|Error";

INSTANTIATE_TEST_SUITE_P(
    All, JedecParseTest,
    ::testing::Values(
        ParseCase{"PartExample", S("*F0*L0 1010*C0005*"), false, true,
                  {"File load completed!!\n\nCheck Sum = 0005|Status"}, {1, 0, 1, 0, 0, 0}},
        ParseCase{"NoChecksumField", S("*F0*L0 1010*"), false, true, {kMismatch}, {1, 0, 1, 0, 0}},
        ParseCase{"UserFillWithoutF", S("*L0 1010*C0005*"), true, true,
                  {"File load completed!!\n\nCheck Sum = 0005|Status"}, {1, 0, 1, 0, 0xFF}},
        ParseCase{"NoDefaultState", S("*L0 1*C001*"), false, true, {kLoaded1}, {1, 0x77}},
        // The last list decides the last fuse: the checksum covers fuse 0 only.
        ParseCase{"LastListIsLowest", S("*F0*L10 11*L0 1*C0001*"), false, true, {kLoaded1},
                  {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1}},
        ParseCase{"ListEndsAtNextL", S("*F0*L0 1L2 1*C0005*"), false, true,
                  {"File load completed!!\n\nCheck Sum = 0005|Status"}, {1, 0, 1}},
        ParseCase{"PastTheBuffer", S("*F0*L30 111*"), false, false, {kBeyond}, {0, 0}},
        // Fuse numbers are 64-bit: 2^32 is beyond the buffer, it does not wrap to fuse 0.
        ParseCase{"FuseNumberAbove32Bits", S("*F0*L4294967296 1*"), false, false, {kBeyond}, {0}},
        ParseCase{"FifteenDigits", S("*F0*L123456789012345 1*"), false, false, {}, {0}},
        ParseCase{"NoStar", S("F0 L0 1"), false, false, {}, {0x77}},
        // A list that ends far beyond the buffer: the checksum and the user bits stay in it.
        ParseCase{"LastFuseClamped", S("*F1*L99999999999999*C03FC*UB 00*"), false, true,
                  {"File load completed!!\n\nCheck Sum = 03FC|Status"}, {1, 1}},
        ParseCase{"BinaryUserBits", S("*F0*L0 1*UB 0110*"), false, true, {kMismatch},
                  {1, 0, 1, 1, 0, 0}},
        ParseCase{"HexUserBitsOddDigitDropped", S("*F0*L0 1*C1*UH A5F*"), false, true, {kMismatch},
                  {1, 1, 0, 1, 0, 0, 1, 0, 1, 0}},
        ParseCase{"OtherUserBitKind", S("*F0*L0 1*C0001*UX 11*"), false, true, {kLoaded1}, {1, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JedecFileCheckTest, TakesATextWithExactlyOneStxBeforeItsFirstStar) {
  for (const auto& [text, isJedec] : std::vector<std::pair<std::string, bool>>{
           {S("QF1*"), true}, {"\x02\x02*", false}, {"QF1*", false}, {"*\x02", false}, {S("QF1"), false}}) {
    winapi::ScriptedMessageBoxes boxes;
    JedecText jedec;
    jedec.block.assign(text.begin(), text.end());
    jedec.block.resize(text.size() + JedecText::kExtra);
    jedec.size = static_cast<int32_t>(text.size());
    EXPECT_EQ(IsJedecFile(jedec), isJedec) << text;
    EXPECT_EQ(Texts(boxes), isJedec ? std::vector<std::string>{}
                                    : std::vector<std::string>{"This file is not a JEDEC file|OPEN ERROR"});
  }
}

TEST(JedecLoadTest, AFileThatCannotBeReadStopsTheLoadAndAHugeOneIsTooBig) {
  TempDir dir;
  buffer::DataBuffer buffer;
  ASSERT_TRUE(buffer.Create(16, 0x77));
  JedecText text;
  {
    winapi::ScriptedMessageBoxes boxes;
    EXPECT_FALSE(LoadJedecFile(text, dir.File("missing.jed"), buffer, LoadSettings{}));
    EXPECT_THAT(Texts(boxes), ElementsAre("Cannot read \"" + dir.File("missing.jed") +
                                          "\": No such file or directory|Load Error"));
    EXPECT_THAT(BufferBytes(buffer, 0, 2), ElementsAre(0x77, 0x77));
  }
  {
    // A 3 GiB file (sparse) does not fit a text block.
    const std::string huge = dir.File("huge.jed");
    dir.Write("huge.jed", "");
    ASSERT_EQ(::truncate(huge.c_str(), int64_t{3} << 30), 0);
    winapi::ScriptedMessageBoxes boxes;
    EXPECT_FALSE(LoadJedecFile(text, huge, buffer, LoadSettings{}));
    EXPECT_THAT(Texts(boxes), ElementsAre("File size is too big|Load Error"));
  }
  {
    // NUL characters read as '0', a fuse digit.
    dir.Write("nul.jed", std::string("\x02*F1*L0 ") + '\0' + "*");
    winapi::ScriptedMessageBoxes boxes;
    EXPECT_TRUE(LoadJedecFile(text, dir.File("nul.jed"), buffer, LoadSettings{}));
    EXPECT_THAT(BufferBytes(buffer, 0, 2), ElementsAre(0, 1));
  }
}

TEST(JedecWriterTest, WritesHeaderFortyFusesALineAndTheFuseChecksum) {
  TempDir dir;
  // Fuse i set when i % 8 == 0 and fuse 39; the others 0 or 2 (2 counts as clear). By hand:
  // bytes 01 01 01 01 81 make the checksum 0x85; fuse 40 set adds byte 5 = 01.
  std::vector<uint8_t> block(100, 2);
  for (int i = 0; i < 41; i += 8) block[10 + i] = 1;
  block[10 + 39] = 1;
  block[10 + 1] = 0;
  const std::string head = std::string(1, kStx) + " Generated by ZORV R-77.\r\n\r\n\r\n*\r\n";
  const std::string line0 = "L0  1000000010000000100000001000000010000001*\r\n";
  ASSERT_TRUE(WriteJedec(dir.File("a.jed"), 10, 40, block));
  EXPECT_EQ(dir.Read("a.jed"), head + "QF40*\r\n" + line0 + "C0085*\r\n");
  ASSERT_TRUE(WriteJedec(dir.File("b.jed"), 10, 41, block));
  EXPECT_EQ(dir.Read("b.jed"), head + "QF41*\r\n" + line0 + "L40  1*\r\nC0086*\r\n");
  EXPECT_EQ(JedecFuseChecksum(41, block.data() + 10), 0x86u);

  EXPECT_FALSE(WriteJedec(dir.File("c.jed"), 90, 11, block));
  EXPECT_FALSE(WriteJedec(dir.File("c.jed"), 0, 0, block));
  EXPECT_FALSE(std::filesystem::exists(dir.File("c.jed")));
}

TEST(JedecWriterTest, ASavedRangeLoadsBackAsItsFusesWithItsChecksum) {
  TempDir dir;
  std::vector<uint8_t> block = RandomBytes(5000, 11);
  for (auto& b : block) b = b % 3;  // 0, 1 and 2
  TIniFile ini(dir.File("History.ini"));
  ini.WriteInteger("SaveDlg", "SourceSAdd", 123);
  ini.WriteInteger("SaveDlg", "SourceEAdd", 123 + 4000 - 1);
  ini.WriteString("SaveDlg", "Name", dir.File("r.jed"));
  ASSERT_TRUE(SaveJedecFile(block, dir.File("History.ini")));

  buffer::DataBuffer buffer;
  ASSERT_TRUE(buffer.Create(4000, 0x77));
  winapi::ScriptedMessageBoxes boxes;
  JedecText text;
  ASSERT_TRUE(LoadJedecFile(text, dir.File("r.jed"), buffer, LoadSettings{}));
  char expected[64];
  std::snprintf(expected, sizeof expected, "File load completed!!\n\nCheck Sum = %04X|Status",
                JedecFuseChecksum(4000, block.data() + 123) & 0xFFFF);
  EXPECT_THAT(Texts(boxes), ElementsAre(expected));
  const std::vector<uint8_t> fuses = BufferBytes(buffer, 0, 4000);
  for (int i = 0; i < 4000; ++i) ASSERT_EQ(fuses[i], block[123 + i] == 1 ? 1 : 0) << i;
}

}  // namespace
}  // namespace formats
