// The checksum: report texts, the file report's size table, the stored fields, the clip to
// the buffer and the progress it reports into the caller's window.
#include "buffer/core/Checksum.h"

#include <gtest/gtest.h>

#include "tests/buffer/BufferFormFixture.h"

namespace buffer {
namespace {

struct ReportCase {
  std::string text;
  std::string expected;
};

class ReportTextTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportTextTest, PiecesInOrder) {
  EXPECT_EQ(GetParam().text, GetParam().expected);
  EXPECT_LE(GetParam().text.size(), kChecksumReportLimit);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ReportTextTest,
    ::testing::Values(
        ReportCase{RangeReportText(0, 0xFFFF, 0x00FF0000),
                   "Address From 000000H To 00FFFFH\n\nCheck Sum = 00FF0000"},
        ReportCase{RangeReportText(0x1000000, 0x101FFFF, 0xFFFFFFFF),
                   "Address From 1000000H To 101FFFFH\n\nCheck Sum = FFFFFFFF"},
        ReportCase{FileReportText(0, 0x7FFF, 0x12345678, 0xFFFF, 0xABCDEF01),
                   "Address From 000000H To 007FFFH\n\nFile Check Sum = 12345678\n\n\n\n"
                   "Buffer From 000000H To 00FFFFH\n\nBuffer Check Sum = ABCDEF01"},
        ReportCase{FileReportText(0x1000000, 0x101FFFF, 1, 0x101FFFF, 2),
                   "Address From 1000000H To 101FFFFH\n\nFile Check Sum = 00000001\n\n\n\n"
                   "Buffer From 000000H To 101FFFFH\n\nBuffer Check Sum = 00000002"},
        // The widest texts a 32-bit address can give still fit the report.
        ReportCase{FileReportText(-1, -1, 0, -1, 0),
                   "Address From FFFFFFFFH To FFFFFFFFH\n\nFile Check Sum = 00000000\n\n\n\n"
                   "Buffer From 000000H To FFFFFFFFH\n\nBuffer Check Sum = 00000000"}));

TEST(ByteSumTest, AgreesWithAPlainSumAtEveryOffsetAndLength) {
  std::vector<std::uint8_t> bytes(3000);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 131 + 7);
  for (std::size_t offset : {0u, 1u, 3u, 7u}) {
    for (std::size_t count : {0u, 1u, 7u, 8u, 9u, 1023u, 1024u, 1025u, 2041u}) {
      std::uint32_t plain = 0;
      for (std::size_t i = 0; i < count; ++i) plain += bytes[offset + i];
      EXPECT_EQ(ByteSum(bytes.data() + offset, count), plain) << offset << " " << count;
    }
  }
  // The most a word's lanes can gather between two folds.
  const std::vector<std::uint8_t> full(4096, 0xFF);
  EXPECT_EQ(ByteSum(full.data(), full.size()), 4096u * 0xFF);
}

struct SizeCase {
  std::int32_t end;
  std::int32_t bufSize;
  std::int32_t size;
};

class FileReportSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FileReportSizeTest, FirstTableSizeAboveTheEnd) {
  EXPECT_EQ(FileReportBufferSize(GetParam().end, GetParam().bufSize), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, FileReportSizeTest,
    ::testing::Values(SizeCase{0, 0x100000, 0x10000}, SizeCase{0xFFFF, 0x100000, 0x10000},
                      SizeCase{0x10000, 0x100000, 0x20000},
                      SizeCase{0x3FFFFF, 0x400000, 0x400000},
                      SizeCase{0x7FFFFF, 0x800000, 0x800000},
                      SizeCase{0x800000, 0x1000000, 0x1000000},
                      SizeCase{0xFFFFFF, 0x1020000, 0x1000000},
                      // Data at or above 0x1000000: the buffer keeps its size.
                      SizeCase{0x1000000, 0x1020000, 0x1020000},
                      SizeCase{0x101FFFF, 0x1020000, 0x1020000}));

class ChecksumTest : public BufferFormTest {
 protected:
  const winapi::ShownBox& OnlyBox() {
    EXPECT_EQ(boxes_.boxes().size(), 1u);
    return boxes_.boxes().back();
  }
};

TEST_F(ChecksumTest, RangeReportOfAnAllFFBuffer) {
  EXPECT_EQ(ComputeChecksum(form_, 0, 0xFFFF, kChecksumRangeReport), 0);
  const winapi::ShownBox& box = OnlyBox();
  EXPECT_EQ(box.text, "Address From 000000H To 00FFFFH\n\nCheck Sum = 00FF0000");
  EXPECT_EQ(box.caption, "Get Check Sum");
  EXPECT_EQ(box.flags, unsigned{winapi::MB_OK});
  EXPECT_EQ(box.owner, nullptr);
  const DumpEditFields& fields = form_.fields();
  EXPECT_EQ(fields.LastSum, 0x00FF0000u);
  EXPECT_EQ(fields.RunSum, 0x00FF0000u);
  EXPECT_EQ(fields.LastSumStart, 0);
  EXPECT_EQ(fields.LastSumEnd, 0xFFFF);
  // The steps of a per-byte test, inside the caller's window: nothing shown or closed here.
  EXPECT_EQ(progress_.steps, StepsAt(0, 0xFFFF, 0xFFFF / 100, [](auto) { return true; }));
  EXPECT_EQ(progress_.finishes, 1);
  EXPECT_EQ(progress_.Position(), 100);
  EXPECT_EQ(progress_.shows, 0);
  EXPECT_EQ(progress_.closes, 0);
}

TEST_F(ChecksumTest, OneByteRangeAndStoreOnlyMode) {
  Write(0x10, {0xA5});
  ComputeChecksum(form_, 0x10, 0x10, kChecksumStoreOnly);
  EXPECT_EQ(form_.fields().LastSum, 0xA5u);
  EXPECT_EQ(progress_.steps, 1);  // a step of 1
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(ChecksumTest, SumsWrapAtThirtyTwoBitsAndReportSevenDigitAddresses) {
  Resize(0x1020000, 0xFF);
  ComputeChecksum(form_, 0, 0x101FFFF, kChecksumRangeReport);
  const std::uint32_t wrapped = static_cast<std::uint32_t>(std::uint64_t{0x1020000} * 0xFF);
  EXPECT_EQ(form_.fields().LastSum, wrapped);
  EXPECT_EQ(OnlyBox().text,
            "Address From 000000H To 101FFFFH\n\nCheck Sum = " + FormatHex(wrapped, 8));
}

TEST_F(ChecksumTest, AnEndPastTheBufferIsClippedToItsLastByte) {
  ComputeChecksum(form_, 0xFFFF0, 0x7FFFFFFF, kChecksumRangeReport);
  EXPECT_EQ(form_.fields().LastSumEnd, 0xFFFFF);
  EXPECT_EQ(form_.fields().LastSum, 16u * 0xFF);
  EXPECT_EQ(OnlyBox().text, "Address From 0FFFF0H To 0FFFFFH\n\nCheck Sum = 00000FF0");
}

TEST_F(ChecksumTest, FileReportRoundsTheBufferWhenUnusedBytesAreFilled) {
  SetLoadDlg("UnuserFillCheck", 1);
  Write(0, Bytes(0x8000, 0x01));
  ComputeChecksum(form_, 0, 0x7FFF, kChecksumFileReport);
  EXPECT_EQ(form_.buffer().BufSize(), 0x10000);
  EXPECT_EQ(OnlyBox().text,
            "Address From 000000H To 007FFFH\n\nFile Check Sum = 00008000\n\n\n\n"
            "Buffer From 000000H To 00FFFFH\n\nBuffer Check Sum = " +
                FormatHex(0x8000 + 0x8000 * 0xFF, 8));
  EXPECT_EQ(form_.fields().LastSum, 0x8000u);
  EXPECT_EQ(form_.fields().RunSum, 0x8000u + 0x8000u * 0xFF);
  EXPECT_EQ(form_.fields().LastSumStart, 0);
  EXPECT_EQ(form_.fields().LastSumEnd, 0xFFFF);
}

TEST_F(ChecksumTest, FileReportShowsTheFileRangeFromFileStartAdd) {
  form_.fields().FileStartAdd = 0x8000;
  ComputeChecksum(form_, 0x8000, 0x80FF, kChecksumFileReport);
  // Without the fill the buffer keeps its size and the buffer part ends at the range end.
  EXPECT_EQ(form_.buffer().BufSize(), 0x100000);
  EXPECT_EQ(OnlyBox().text,
            "Address From 008000H To 0080FFH\n\nFile Check Sum = 0000FF00\n\n\n\n"
            "Buffer From 000000H To 0080FFH\n\nBuffer Check Sum = " + FormatHex(0x8100 * 0xFF, 8));
  EXPECT_EQ(form_.fields().LastSumEnd, 0x80FF);
}

TEST_F(ChecksumTest, FileReportKeepsABufferHoldingDataAboveSixteenMegabytes) {
  Resize(0x1020000, 0x00);
  Write(0x101FFFF, {0x7F});
  SetLoadDlg("UnuserFillCheck", 1);
  ComputeChecksum(form_, 0x1000000, 0x101FFFF, kChecksumFileReport);
  EXPECT_EQ(form_.buffer().BufSize(), 0x1020000);
  EXPECT_EQ(Read(0x101FFFF, 1), Bytes{0x7F});
  EXPECT_NE(OnlyBox().text.find("Buffer From 000000H To 101FFFFH\n\nBuffer Check Sum = 0000007F"),
            std::string::npos);
}

TEST_F(ChecksumTest, AFailedRoundingResizeEndsTheBufferPartWithinTheOldSize) {
  SetLoadDlg("UnuserFillCheck", 1);
  SetAllocationGate([](std::size_t) { return false; });
  ComputeChecksum(form_, 0, 0xFFFFF, kChecksumFileReport);  // would round to 0x200000
  ASSERT_EQ(boxes_.boxes().size(), 2u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Memory error !");
  EXPECT_EQ(form_.buffer().BufSize(), 0x100000);
  EXPECT_EQ(form_.fields().LastSumEnd, 0xFFFFF);
  EXPECT_NE(boxes_.boxes()[1].text.find("Buffer From 000000H To 0FFFFFH\n\nBuffer Check Sum = "
                                        "0FF00000"),
            std::string::npos);
}

TEST_F(ChecksumTest, GetSumCommandShowsTheWindowAroundTheSumOnlyForARange) {
  TIniFile ini(SettingsPath());
  ini.WriteInteger("GetSumDlg", "StartAdd", 0x10);
  ini.WriteInteger("GetSumDlg", "EndAdd", 0);
  GetSumFromDialog(form_);
  EXPECT_TRUE(boxes_.boxes().empty());
  EXPECT_EQ(progress_.shows, 0);

  ini.WriteInteger("GetSumDlg", "EndAdd", 0x1F);
  GetSumFromDialog(form_);
  EXPECT_EQ(OnlyBox().text, "Address From 000010H To 00001FH\n\nCheck Sum = 00000FF0");
  EXPECT_EQ(progress_.shows, 1);
  EXPECT_EQ(progress_.closes, 1);
  EXPECT_TRUE(progress_.captions.empty());
  EXPECT_EQ(progress_.finishes, 1);
}

}  // namespace
}  // namespace buffer
