// Intel Hex against srec_cat and objcopy on generated data: files they write read byte for
// byte, files we write read back byte for byte in them, and where this reader means to
// differ from them, the difference shows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "buffer/formats/IntelHex.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/formats/FormatTestSupport.h"
#include "tests/support/TempDir.h"

namespace formats {
namespace {

using namespace formats::testing;

constexpr int32_t kConsoleBufSize = 0x100000;

enum class Writer { SrecCat16Bit, SrecCatSegments, SrecCatLinear, Objcopy };

struct InteropCase {
  Layout layout;
  Writer writer;
};

std::string WriterName(Writer writer) {
  switch (writer) {
    case Writer::SrecCat16Bit:
      return "SrecCatI8Hex";
    case Writer::SrecCatSegments:
      return "SrecCatI16Hex";
    case Writer::SrecCatLinear:
      return "SrecCatI32Hex";
    case Writer::Objcopy:
      return "Objcopy";
  }
  return "";
}

class ToolWrittenIntelHexTest : public ::testing::TestWithParam<InteropCase> {
 protected:
  void SetUp() override {
    if (!HaveTool("srec_cat") || !HaveTool("objcopy"))
      GTEST_SKIP() << "srec_cat or objcopy missing";
  }

  // Writes each chunk's random bytes, lets the tool make one Intel Hex file of them and
  // returns its text; `expected` gets the image this reader must make of it.
  std::string MakeFile(const InteropCase& c, std::vector<uint8_t>& expected) {
    const uint32_t end = c.layout.End();
    expected.assign(end, 0);
    std::fill(expected.begin(), expected.begin() + std::min<uint32_t>(end, kConsoleBufSize), 0xFF);
    std::string inputs;
    for (size_t i = 0; i < c.layout.chunks.size(); ++i) {
      const Chunk& chunk = c.layout.chunks[i];
      auto bytes = RandomBytes(chunk.size, static_cast<uint32_t>(chunk.address * 31 + i));
      std::copy(bytes.begin(), bytes.end(), expected.begin() + chunk.address);
      const std::string bin = dir_.File("in" + std::to_string(i) + ".bin");
      WriteFile(bin, bytes);
      inputs += " " + bin + " -binary -offset " + Hex(chunk.address);
    }
    const std::string out = dir_.File("out.hex");
    std::string command;
    switch (c.writer) {
      case Writer::SrecCat16Bit:
        command = "srec_cat" + inputs + " -o " + out + " -intel -address-length=2";
        break;
      case Writer::SrecCatSegments:
        command = "srec_cat" + inputs + " -o " + out + " -intel -address-length=3";
        break;
      case Writer::SrecCatLinear:
        command = "srec_cat" + inputs + " -o " + out + " -intel -address-length=4";
        break;
      case Writer::Objcopy:
        if (c.layout.chunks.size() == 1)
          command =
              "objcopy -I binary -O ihex --change-addresses=" + Hex(c.layout.chunks[0].address) +
              " " + dir_.File("in0.bin") + " " + out;
        else
          command = "srec_cat" + inputs + " -o " + dir_.File("s.hex") +
                    " -intel -address-length=4 && objcopy -I ihex -O ihex " + dir_.File("s.hex") +
                    " " + out;
        break;
    }
    EXPECT_TRUE(RunTool(command)) << command;
    return ReadText(out);
  }

  TempDir dir_;
};

TEST_P(ToolWrittenIntelHexTest, LoadsByteForByteInEveryTextVariant) {
  std::vector<uint8_t> expected;
  const std::string text = MakeFile(GetParam(), expected);
  ASSERT_FALSE(text.empty());
  const bool large = expected.size() > 0x200000;
  for (TextVariant variant : kAllVariants) {
    if (large && variant != TextVariant::AsWritten && variant != TextVariant::LowerCase) continue;
    winapi::ScriptedMessageBoxes boxes;
    KeepFileSegmentBase keep;
    auto result =
        ParseIntelHex(nullptr, 0xFF, ImageOf(Variant(text, variant)), kConsoleBufSize, keep);
    ASSERT_TRUE(result) << static_cast<int>(variant);
    EXPECT_TRUE(boxes.boxes().empty()) << boxes.boxes()[0].text;
    ASSERT_EQ(result->highest + 1u, expected.size()) << static_cast<int>(variant);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), result->image.begin()))
        << static_cast<int>(variant);
  }
}

const Layout kSmall{"Small", {{0, 16}}};
const Layout kOdd{"OddSized", {{0, 1001}}};
const Layout kOffset{"AtOffset", {{0x1234, 333}}};
const Layout kSparse{"Sparse", {{0x10, 100}, {0x9000, 50}, {0xC001, 7}}};
const Layout kPages{"AcrossPages", {{0x100, 0x30000}, {0xE0000, 0x1FFFF}}};
const Layout kAboveBuffer{"AboveTheBuffer", {{0x20, 0x40}, {0x180000, 0x1001}}};
const Layout kFull{"Random16MiB", {{0, 0x1000000}}};

std::vector<InteropCase> Cases() {
  std::vector<InteropCase> cases;
  for (const Layout& layout : {kSmall, kOdd, kOffset, kSparse})
    for (Writer writer :
         {Writer::SrecCat16Bit, Writer::SrecCatSegments, Writer::SrecCatLinear, Writer::Objcopy})
      cases.push_back({layout, writer});
  for (Writer writer : {Writer::SrecCatSegments, Writer::SrecCatLinear, Writer::Objcopy})
    cases.push_back({kPages, writer});
  for (Writer writer : {Writer::SrecCatLinear, Writer::Objcopy}) {
    cases.push_back({kAboveBuffer, writer});
    cases.push_back({kFull, writer});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(All, ToolWrittenIntelHexTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) {
                           return std::string(info.param.layout.name) +
                                  WriterName(info.param.writer);
                         });

struct SavedRange {
  const char* name;
  int32_t start;
  int32_t length;
};

class OurIntelHexInToolsTest : public ::testing::TestWithParam<SavedRange> {};

TEST_P(OurIntelHexInToolsTest, ReadsBackAsTheRangeRoundedToWholeRecords) {
  if (!HaveTool("srec_cat") || !HaveTool("objcopy")) GTEST_SKIP() << "srec_cat or objcopy missing";
  TempDir dir;
  const SavedRange& range = GetParam();
  const std::vector<uint8_t> block = RandomBytes(0x180000 + 2000, 99);
  const std::string hex = dir.File("ours.hex");
  ASSERT_TRUE(WriteIntelHex(hex, range.length, range.start, block));
  const size_t saved = static_cast<size_t>((range.length + 31) / 32 * 32);
  const std::vector<uint8_t> expected(block.begin() + range.start,
                                      block.begin() + range.start + static_cast<long>(saved));
  for (const std::string& command :
       {"srec_cat " + hex + " -intel -o " + dir.File("s.bin") + " -binary",
        "objcopy -I ihex -O binary " + hex + " " + dir.File("o.bin")}) {
    ASSERT_TRUE(RunTool(command)) << command;
  }
  for (const char* out : {"s.bin", "o.bin"}) {
    const std::string back = dir.Read(out);
    ASSERT_EQ(back.size(), saved) << out;
    EXPECT_TRUE(
        std::equal(expected.begin(), expected.end(), reinterpret_cast<const uint8_t*>(back.data())))
        << out;
  }
}

INSTANTIATE_TEST_SUITE_P(All, OurIntelHexInToolsTest,
                         ::testing::Values(SavedRange{"TwoBytes", 0, 2},
                                           SavedRange{"OddAtOffset", 0x1234, 0x41},
                                           SavedRange{"OddSized", 5, 1001},
                                           SavedRange{"AcrossPages", 0x333, 0x24321},
                                           SavedRange{"Largest", 0x80000, 0x100000}),
                         [](const auto& info) { return std::string(info.param.name); });

// Where this reader parts from the tools on purpose.
TEST(IntelHexDifferencesTest, GapsLinearChecksumsAndDataChecksumsAreTakenAsTheConsoleTakesThem) {
  if (!HaveTool("srec_cat") || !HaveTool("objcopy")) GTEST_SKIP() << "srec_cat or objcopy missing";
  TempDir dir;
  KeepFileSegmentBase keep;

  // Data at 0x8000 only: objcopy's binary starts at the lowest address; the console's image
  // starts at 0, so the file's address 0 lands at the destination and the gap is fill.
  dir.Write("gap.hex", ":02800000123438\n:00000001FF\n");
  ASSERT_TRUE(
      RunTool("objcopy -I ihex -O binary " + dir.File("gap.hex") + " " + dir.File("gap.bin")));
  EXPECT_EQ(dir.Read("gap.bin"), "\x12\x34");
  {
    winapi::ScriptedMessageBoxes boxes;
    auto result = ParseIntelHex(nullptr, 0xFF, ImageOf(dir.Read("gap.hex")), kConsoleBufSize, keep);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->highest, 0x8001);
    EXPECT_EQ(result->image[0x7FFF], 0xFF);
    EXPECT_EQ(result->image[0x8000], 0x12);
  }

  // A linear address record with a wrong checksum: the tools refuse it, the console reads
  // it (its checksum is never looked at).
  dir.Write("lin.hex", ":02000004000100\n:0100000011EE\n:00000001FF\n");
  EXPECT_FALSE(
      RunTool("srec_cat " + dir.File("lin.hex") + " -intel -o " + dir.File("l.bin") + " -binary"));
  {
    winapi::ScriptedMessageBoxes boxes;
    auto result = ParseIntelHex(nullptr, 0xFF, ImageOf(dir.Read("lin.hex")), kConsoleBufSize, keep);
    ASSERT_TRUE(result);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(result->image[0x10000], 0x11);
  }

  // A data record with a wrong checksum: the tools refuse the file, the console loads the
  // data and says "File read error!!".
  dir.Write("sum.hex", ":0100000011EF\n:00000001FF\n");
  EXPECT_FALSE(
      RunTool("srec_cat " + dir.File("sum.hex") + " -intel -o " + dir.File("s.bin") + " -binary"));
  EXPECT_FALSE(
      RunTool("objcopy -I ihex -O binary " + dir.File("sum.hex") + " " + dir.File("o.bin")));
  {
    winapi::ScriptedMessageBoxes boxes;
    auto result = ParseIntelHex(nullptr, 0xFF, ImageOf(dir.Read("sum.hex")), kConsoleBufSize, keep);
    ASSERT_TRUE(result);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "File read error!!\n");
    EXPECT_EQ(result->image[0], 0x11);
  }
}

}  // namespace
}  // namespace formats
