// Motorola S-records and Tektronix Hex against srec_cat and objcopy on generated data: files
// they write load byte for byte, files we write read back byte for byte in them, and where
// the console means to differ from them, the difference shows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "buffer/formats/FormatMessages.h"
#include "buffer/formats/LoadSource.h"
#include "buffer/formats/MotorolaS.h"
#include "buffer/formats/Tektronix.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/formats/FormatTestSupport.h"
#include "tests/support/TempDir.h"

namespace formats {
namespace {

using namespace formats::testing;
using buffer::kFormatBinary;
using buffer::kFormatMotorolaHex;
using buffer::kFormatTektronixHex;

constexpr int32_t kTektronixBufSize = 0x10000;

bool HaveTools() { return HaveTool("srec_cat") && HaveTool("objcopy"); }

enum class Tool { SrecCatS1, SrecCatS2, SrecCatS3, Objcopy, SrecCatTektronix };

std::string ToolName(Tool tool) {
  switch (tool) {
    case Tool::SrecCatS1: return "SrecCatS1";
    case Tool::SrecCatS2: return "SrecCatS2";
    case Tool::SrecCatS3: return "SrecCatS3";
    case Tool::Objcopy: return "ObjcopySrec";
    case Tool::SrecCatTektronix: return "SrecCatTektronix";
  }
  return "";
}

struct InteropCase {
  Layout layout;
  Tool tool;
  bool Tektronix() const { return tool == Tool::SrecCatTektronix; }
};

class ToolWrittenFileTest : public ::testing::TestWithParam<InteropCase> {
 protected:
  void SetUp() override {
    if (!HaveTools()) GTEST_SKIP() << "srec_cat or objcopy missing";
  }

  // Lets the tool write the chunks' random bytes as one file; `expected` gets the image the
  // load must place (0xFF where no data are).
  std::string MakeFile(const InteropCase& c, std::vector<uint8_t>& expected) {
    expected.assign(c.layout.End(), 0xFF);
    std::string inputs;
    for (size_t i = 0; i < c.layout.chunks.size(); ++i) {
      const Chunk& chunk = c.layout.chunks[i];
      auto bytes = RandomBytes(chunk.size, static_cast<uint32_t>(chunk.address * 7 + i));
      std::copy(bytes.begin(), bytes.end(), expected.begin() + chunk.address);
      const std::string bin = dir_.File("in" + std::to_string(i) + ".bin");
      WriteFile(bin, bytes);
      inputs += " " + bin + " -binary -offset " + Hex(chunk.address);
    }
    const std::string out = dir_.File("out.txt");
    std::string command = "srec_cat" + inputs + " -o " + out;
    switch (c.tool) {
      case Tool::SrecCatS1: command += " -motorola -address-length=2"; break;
      case Tool::SrecCatS2: command += " -motorola -address-length=3"; break;
      case Tool::SrecCatS3: command += " -motorola -address-length=4"; break;
      case Tool::SrecCatTektronix: command += " -tektronix"; break;
      case Tool::Objcopy:
        command = c.layout.chunks.size() == 1
                      ? "objcopy -I binary -O srec --change-addresses=" +
                            Hex(c.layout.chunks[0].address) + " " + dir_.File("in0.bin") + " " + out
                      : "srec_cat" + inputs + " -o " + dir_.File("s.txt") +
                            " -motorola -address-length=4 && objcopy -I srec -O srec " +
                            dir_.File("s.txt") + " " + out;
        break;
    }
    EXPECT_TRUE(RunTool(command)) << command;
    return ReadText(out);
  }

  TempDir dir_;
};

TEST_P(ToolWrittenFileTest, LoadsByteForByteInEveryTextVariant) {
  const InteropCase& c = GetParam();
  std::vector<uint8_t> expected;
  const std::string text = MakeFile(c, expected);
  ASSERT_FALSE(text.empty());
  const int32_t format = c.Tektronix() ? kFormatTektronixHex : kFormatMotorolaHex;
  EXPECT_EQ(DetectLoadFormat(ImageOf(text), kDetectSilent), format);
  const bool large = expected.size() > 0x200000;
  for (TextVariant variant : kAllVariants) {
    // Upper-case 'S' starts a record; Tektronix records read in either case.
    if (variant == TextVariant::LowerCase && !c.Tektronix()) continue;
    if (large && variant != TextVariant::AsWritten) continue;
    winapi::ScriptedMessageBoxes boxes;
    KeepFileSegmentBase keep;
    LoadSettings settings;
    settings.userFill = 0xFF;
    auto source = ReadLoadSource(format, ImageOf(Variant(text, variant)), settings,
                                 {nullptr, keep, c.Tektronix() ? kTektronixBufSize : kMotorolaLoadBufSize});
    ASSERT_TRUE(source) << static_cast<int>(variant);
    EXPECT_TRUE(boxes.boxes().empty()) << boxes.boxes()[0].text;
    ASSERT_EQ(static_cast<size_t>(source->length), expected.size()) << static_cast<int>(variant);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), source->block.begin()))
        << static_cast<int>(variant);
  }
}

const Layout kSmall{"Small", {{0, 16}}};
const Layout kOdd{"OddSized", {{0, 1001}}};
const Layout kOffset{"AtOffset", {{0x1234, 333}}};
const Layout kSparse{"Sparse", {{0x10, 100}, {0x9000, 50}, {0xC001, 7}}};
const Layout kFull64K{"Full64KiB", {{0, 0x10000}}};
const Layout kPages{"AcrossPages", {{0x100, 0x30000}, {0xE0000, 0x1FFFF}}};
const Layout kFull{"Random16MiB", {{0, 0x1000000}}};

std::vector<InteropCase> Cases() {
  std::vector<InteropCase> cases;
  for (const Layout& layout : {kSmall, kOdd, kOffset, kSparse, kFull64K})
    for (Tool tool : {Tool::SrecCatS1, Tool::SrecCatS2, Tool::SrecCatS3, Tool::Objcopy,
                      Tool::SrecCatTektronix})
      cases.push_back({layout, tool});
  for (Tool tool : {Tool::SrecCatS2, Tool::SrecCatS3, Tool::Objcopy}) cases.push_back({kPages, tool});
  for (Tool tool : {Tool::SrecCatS3, Tool::Objcopy}) cases.push_back({kFull, tool});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(All, ToolWrittenFileTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) {
                           return std::string(info.param.layout.name) + ToolName(info.param.tool);
                         });

enum class Ours { S1, S2, S3, Tektronix };

struct SavedRange {
  const char* name;
  Ours writer;
  int32_t start;
  int32_t length;
};

class OurFileInToolsTest : public ::testing::TestWithParam<SavedRange> {};

TEST_P(OurFileInToolsTest, ReadsBackAsTheRangeRoundedToWholeSlices) {
  if (!HaveTools()) GTEST_SKIP() << "srec_cat or objcopy missing";
  TempDir dir;
  const SavedRange& range = GetParam();
  static const std::vector<uint8_t> block = RandomBytes(kMotorolaLoadBufSize + 2000, 42);
  const std::string file = dir.File("ours.txt");
  std::vector<std::string> commands;
  if (range.writer == Ours::Tektronix) {
    ASSERT_TRUE(WriteTektronix(file, range.length, range.start, block));
    commands = {"srec_cat " + file + " -tektronix -o " + dir.File("s.bin") + " -binary"};
  } else {
    const MotorolaRecords kind = range.writer == Ours::S1   ? MotorolaRecords::S1
                                 : range.writer == Ours::S2 ? MotorolaRecords::S2
                                                            : MotorolaRecords::S3;
    ASSERT_TRUE(WriteMotorolaS(file, range.length, kind, range.start, block));
    commands = {"srec_cat " + file + " -motorola -o " + dir.File("s.bin") + " -binary",
                "objcopy -I srec -O binary " + file + " " + dir.File("o.bin")};
  }
  const size_t saved = static_cast<size_t>((range.length + 31) / 32 * 32);
  for (size_t i = 0; i < commands.size(); ++i) {
    ASSERT_TRUE(RunTool(commands[i])) << commands[i];
    const std::string back = dir.Read(i == 0 ? "s.bin" : "o.bin");
    ASSERT_EQ(back.size(), saved) << commands[i];
    EXPECT_TRUE(std::equal(block.begin() + range.start, block.begin() + range.start + static_cast<long>(saved),
                           reinterpret_cast<const uint8_t*>(back.data())))
        << commands[i];
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, OurFileInToolsTest,
    ::testing::Values(SavedRange{"S1TwoBytes", Ours::S1, 0, 2},
                      SavedRange{"S1OddAtOffset", Ours::S1, 0x1234, 0x41},
                      SavedRange{"S1Largest", Ours::S1, 0x80000, 0x10000},
                      SavedRange{"S2OddSized", Ours::S2, 5, 1001},
                      SavedRange{"S2AcrossPages", Ours::S2, 0x333, 0x24321},
                      SavedRange{"S2Largest", Ours::S2, 0x10, 0x1000000},
                      SavedRange{"S3OddSized", Ours::S3, 7, 0x12345},
                      SavedRange{"S316MiB", Ours::S3, 0, 0x1000000},
                      SavedRange{"TektronixTwoBytes", Ours::Tektronix, 0, 2},
                      SavedRange{"TektronixOddAtOffset", Ours::Tektronix, 0x1234, 0x41},
                      SavedRange{"TektronixLargest", Ours::Tektronix, 0x80000, 0x10000}),
    [](const auto& info) { return std::string(info.param.name); });

// Where the console parts from the tools on purpose.
TEST(SRecordTektronixDifferencesTest, ExtendedTektronixGapsAndDataChecksumsAreTakenAsTheConsoleTakesThem) {
  if (!HaveTools()) GTEST_SKIP() << "srec_cat or objcopy missing";
  TempDir dir;
  KeepFileSegmentBase keep;
  WriteFile(dir.File("d.bin"), RandomBytes(100, 9));

  // objcopy's tekhex is the extended Tektronix format ('%' records): not this one. Auto
  // detection loads it as binary; a forced Tektronix load refuses it.
  ASSERT_TRUE(RunTool("objcopy -I binary -O tekhex " + dir.File("d.bin") + " " + dir.File("d.tekhex")));
  const std::string tekhex = dir.Read("d.tekhex");
  ASSERT_EQ(tekhex[0], '%');
  EXPECT_FALSE(DetectTektronix(kDetectSilent, ImageOf(tekhex)));
  EXPECT_EQ(DetectLoadFormat(ImageOf(tekhex), kDetectSilent), kFormatBinary);
  {
    winapi::ScriptedMessageBoxes boxes;
    EXPECT_FALSE(ReadLoadSource(kFormatTektronixHex, ImageOf(tekhex), LoadSettings{},
                                {nullptr, keep, kTektronixBufSize}));
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "File is not Tektronix Hex format !");
  }

  // Data at 0x8000 only: objcopy's binary starts at the lowest address; the console's image
  // starts at 0, so the file's address 0 lands at the destination and the gap is fill.
  dir.Write("gap.s19", "S1058000123434\r\n");
  ASSERT_TRUE(RunTool("objcopy -I srec -O binary " + dir.File("gap.s19") + " " + dir.File("gap.bin")));
  EXPECT_EQ(dir.Read("gap.bin"), "\x12\x34");
  {
    winapi::ScriptedMessageBoxes boxes;
    auto source = ReadLoadSource(kFormatMotorolaHex, ImageOf(dir.Read("gap.s19")), LoadSettings{},
                                 {nullptr, keep, kMotorolaLoadBufSize});
    ASSERT_TRUE(source);
    EXPECT_EQ(source->length, 0x8002);
    EXPECT_EQ(source->block[0x7FFF], 0xFF);
    EXPECT_EQ(source->block[0x8000], 0x12);
  }

  // A Tektronix record with a wrong data checksum: srec_cat refuses the file, the console
  // loads the data and says so.
  dir.Write("sum.tek", "/0000010155FF\r\n");
  EXPECT_FALSE(RunTool("srec_cat " + dir.File("sum.tek") + " -tektronix -o " + dir.File("s.bin") + " -binary"));
  {
    winapi::ScriptedMessageBoxes boxes;
    auto source = ReadLoadSource(kFormatTektronixHex, ImageOf("/0000010155FF\r\n/00100102660C\r\n"),
                                 LoadSettings{}, {nullptr, keep, kTektronixBufSize});
    ASSERT_TRUE(source);
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].text, "File read in complete!\nData still load in buffer.");
    EXPECT_EQ(source->block[0], 0x55);
  }
}

}  // namespace
}  // namespace formats
