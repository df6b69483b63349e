// Update images written by srec_cat and objcopy load through the update tool's road (its
// dispatcher, detectors and readers, detected and forced) byte for byte and are accepted;
// and what the road refuses leaves the child as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "buffer/core/DumpEditCore.h"
#include "buffer/core/LoadFormat.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "programmer/SystemImage.h"
#include "tests/formats/FormatTestSupport.h"
#include "tests/support/TempDir.h"
#include "update/core/ImageLoad.h"
#include "update/core/UpdateImage.h"

namespace {

using Bytes = std::vector<uint8_t>;
using formats::testing::TextVariant;

constexpr uint32_t kChildSize = 0x30000;

class UpdateLoadRoad : public ::testing::Test {
 protected:
  UpdateLoadRoad() : settings_(buffer::SettingsPath()), child(buffer::UpdateToolProfile()) {
    buffer::SetSettingsPath(dir.File("Zorv_R77Update.ini"));
    child.Create();
    child.ResizeBuffer(kChildSize);
  }
  ~UpdateLoadRoad() override { buffer::SetSettingsPath(settings_); }

  // Loads the file as [LoadDlg] says; true when placed.
  bool Load(const std::string& name, int32_t format, int32_t destination = 0) {
    TIniFile ini(buffer::SettingsPath());
    ini.WriteString("LoadDlg", "Name", name);
    ini.WriteInteger("LoadDlg", "Format", format);
    ini.WriteInteger("LoadDlg", "DistSAdd", destination);
    return update::LoadImageFile(child, nullptr);
  }
  Bytes BufferBytes() {
    buffer::BufferLock lock(child.buffer());
    return Bytes(lock.data(), lock.data() + lock.size());
  }

  TempDir dir;
  std::string settings_;
  buffer::DumpEditCore child;
};

enum class Tool { Binary, SrecCatIntel, ObjcopyIntel, SrecCatMotorola, ObjcopyMotorola };

struct ToolCase {
  const char* name;
  Tool tool;
  int32_t format;       // what the file is
  const char* records;  // the record marks the file may hold (the types the tool wrote)
};

class ToolWrittenImage : public UpdateLoadRoad, public ::testing::WithParamInterface<ToolCase> {
 protected:
  std::string Command(Tool tool, const std::string& in, const std::string& out) {
    switch (tool) {
      case Tool::Binary: return "srec_cat " + in + " -binary -o " + out + " -binary";
      // i16hex: data, end and extended segment records only.
      case Tool::SrecCatIntel:
        return "srec_cat " + in + " -binary -o " + out + " -intel -address-length=3";
      case Tool::ObjcopyIntel: return "objcopy -I binary -O ihex " + in + " " + out;
      case Tool::SrecCatMotorola: return "srec_cat " + in + " -binary -o " + out + " -motorola";
      case Tool::ObjcopyMotorola: return "objcopy -I binary -O srec " + in + " " + out;
    }
    return "";
  }
};

// The record types a text holds: the two characters after every ':' or at every line start.
std::string RecordTypes(const std::string& text, bool intel) {
  std::string types;
  size_t at = 0;
  while (at < text.size()) {
    const std::string type = intel ? text.substr(at + 7, 2) : text.substr(at, 2);
    if (types.find(type) == std::string::npos) types += type + " ";
    at = text.find('\n', at);
    if (at == std::string::npos) break;
    ++at;
  }
  return types;
}

TEST_P(ToolWrittenImage, LoadsByteForByteDetectedAndForcedWithEitherLineEndAndIsAccepted) {
  if (!formats::testing::HaveTool("srec_cat") || !formats::testing::HaveTool("objcopy"))
    GTEST_SKIP() << "srec_cat or objcopy missing";
  const ToolCase& c = GetParam();
  const Bytes image = programmer::MakeSystemImage("ZORV-R77 V3.10", 7);
  formats::testing::WriteFile(dir.File("image.bin"), image);
  const std::string command = Command(c.tool, dir.File("image.bin"), dir.File("tool.out"));
  ASSERT_TRUE(formats::testing::RunTool(command)) << command;
  const std::string written = formats::testing::ReadText(dir.File("tool.out"));
  const bool text = c.format != buffer::kFormatBinary;
  if (text) {
    const std::string types = RecordTypes(written, c.format == buffer::kFormatIntelHex);
    EXPECT_EQ(types, c.records) << command;
  }
  const std::vector<TextVariant> variants =
      text ? std::vector<TextVariant>{TextVariant::Lf, TextVariant::CrLf}
           : std::vector<TextVariant>{TextVariant::AsWritten};
  for (TextVariant variant : variants) {
    const std::string file = dir.File("image.upd");
    dir.Write("image.upd", text ? formats::testing::Variant(written, variant) : written);
    for (int32_t format : {int32_t{buffer::kFormatAutoDetect}, c.format}) {
      SCOPED_TRACE("format " + std::to_string(format) + ", variant " +
                   std::to_string(static_cast<int>(variant)));
      winapi::ScriptedMessageBoxes boxes;
      child.FillBuffer(0x00);
      ASSERT_TRUE(Load(file, format));
      EXPECT_EQ(TIniFile(buffer::SettingsPath()).ReadInteger("LoadDlg", "Format", -1), c.format);
      EXPECT_EQ(child.fields().FileStartAdd, 0);
      EXPECT_EQ(child.fields().FileSize, update::kUpdateImageSize);
      const Bytes now = BufferBytes();
      ASSERT_GE(now.size(), image.size());
      EXPECT_TRUE(std::equal(image.begin(), image.end(), now.begin()));
      update::FileLabels labels;
      EXPECT_TRUE(update::CheckUpdateImage(child, nullptr, labels));
      EXPECT_EQ(labels.model, "File Model : ZORV-R77 V3.10");
      EXPECT_TRUE(boxes.boxes().empty()) << boxes.boxes()[0].text;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ToolWrittenImage,
    ::testing::Values(ToolCase{"SrecCatBinary", Tool::Binary, buffer::kFormatBinary, ""},
                      ToolCase{"SrecCatIntelSegments", Tool::SrecCatIntel, buffer::kFormatIntelHex,
                               "02 00 01 "},
                      ToolCase{"ObjcopyIntel", Tool::ObjcopyIntel, buffer::kFormatIntelHex,
                               "00 02 01 "},
                      ToolCase{"SrecCatMotorola", Tool::SrecCatMotorola,
                               buffer::kFormatMotorolaHex, "S0 S1 S2 S5 "},
                      ToolCase{"ObjcopyMotorola", Tool::ObjcopyMotorola,
                               buffer::kFormatMotorolaHex, "S0 S2 S8 "}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
  const char* name;
  std::string text;
  int32_t format;
  int32_t destination;
  const char* box;
};

class RefusedLoad : public UpdateLoadRoad, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedLoad, LeavesTheBufferItsSizeAndTheFileFieldsAsTheyWere) {
  const RefusedCase& c = GetParam();
  child.FillBuffer(0x3C);
  child.fields().FileStartAdd = 0x10;
  child.fields().FileSize = 0x20;
  child.fields().LastSum = 0x1234;
  dir.Write("refused.upd", c.text);
  winapi::ScriptedMessageBoxes boxes;
  EXPECT_FALSE(Load(dir.File("refused.upd"), c.format, c.destination));
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, c.box);
  EXPECT_EQ(child.buffer().BufSize(), static_cast<int32_t>(kChildSize));
  const Bytes now = BufferBytes();
  EXPECT_TRUE(std::all_of(now.begin(), now.end(), [](uint8_t b) { return b == 0x3C; }));
  EXPECT_EQ(child.fields().FileStartAdd, 0x10);
  EXPECT_EQ(child.fields().FileSize, 0x20);
  EXPECT_EQ(child.fields().LastSum, 0x1234u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedLoad,
    ::testing::Values(
        RefusedCase{"NegativeDestination", "binary bytes", buffer::kFormatBinary, -1,
                    "Input Value Error !"},
        RefusedCase{"EndPastTheLargestAddress", "binary bytes", buffer::kFormatBinary,
                    0x7FFFFFF8, "Input Value Error !"},
        RefusedCase{"ExeShorterThanItsHeader", "MZ", buffer::kFormatMsDosExe, 0, "Format Error !"},
        RefusedCase{"ForcedIntelThatIsNot", "binary bytes", buffer::kFormatIntelHex, 0,
                    "File not is Intel Hex format !"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateLoadRoad, AnEmptyFileOrABareExeHeaderPlacesNothingAndSumsNothing) {
  winapi::ScriptedMessageBoxes boxes;
  dir.Write("empty.upd", "");
  child.fields().LastSum = 0x1234;
  ASSERT_TRUE(Load(dir.File("empty.upd"), buffer::kFormatBinary, 0x100));
  EXPECT_EQ(child.fields().FileSize, 0x100);
  EXPECT_EQ(child.fields().LastSum, 0u);
  dir.Write("header.exe", std::string(512, 'H'));
  child.fields().LastSum = 0x1234;
  ASSERT_TRUE(Load(dir.File("header.exe"), buffer::kFormatMsDosExe, 0x200));
  EXPECT_EQ(child.fields().FileSize, 0x200);
  EXPECT_EQ(child.fields().LastSum, 0u);
  EXPECT_TRUE(boxes.boxes().empty());
  const Bytes now = BufferBytes();
  EXPECT_TRUE(std::all_of(now.begin(), now.end(), [](uint8_t b) { return b == 0x00; }));
}

}  // namespace

namespace {

// Fields that claim a whole image over a buffer cut short after the load: the check reads
// only what the buffer holds, and a buffer without room for the second tag is a mismatch.
TEST_F(UpdateLoadRoad, ABufferShorterThanTheSecondTagIsRejectedWithoutReadingPastIt) {
  child.ResizeBuffer(0x1FFE5);
  child.FillBuffer(0x00);
  {
    buffer::BufferLock lock(child.buffer());
    std::copy_n("QZ7100", 6, lock.data());
  }
  child.fields().FileSize = update::kUpdateImageSize;
  child.fields().LastSum = 0x100;
  winapi::ScriptedMessageBoxes boxes;
  update::FileLabels labels;
  EXPECT_FALSE(update::CheckUpdateImage(child, nullptr, labels));
  EXPECT_EQ(labels.formatId, "File Format ID  : Error!");
  EXPECT_EQ(boxes.boxes().size(), 1u);
}

}  // namespace
