// The data buffer through the form's core: creation, resize with its tail fill, failures,
// [BufInf], and the close question with the changed-data check.
#include <gtest/gtest.h>

#include "buffer/core/DumpEditCore.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace buffer {
namespace {

class DataBufferLifecycle : public ::testing::Test {
 protected:
  DataBufferLifecycle() : previous_(SettingsPath()) {
    SetSettingsPath(dir_.File("History.ini"));
  }
  ~DataBufferLifecycle() override {
    SetSettingsPath(previous_);
    SetAllocationGate(nullptr);
  }

  static bool AllBytes(DataBuffer& buffer, std::int32_t from, std::int32_t to, std::uint8_t v) {
    BufferLock lock(buffer);
    for (std::int32_t a = from; a < to; ++a)
      if (lock[static_cast<std::size_t>(a)] != v) return false;
    return true;
  }

  TempDir dir_;
  std::string previous_;
  winapi::ScriptedMessageBoxes boxes_;
};

TEST_F(DataBufferLifecycle, FreshConsoleBufferIsOneMegabyteOfFF) {
  DumpEditCore core(ConsoleProfile());
  ASSERT_TRUE(core.Create());
  EXPECT_EQ(core.buffer().BufSize(), 0x100000);
  EXPECT_EQ(core.buffer().BlockSize(), 0x100000u + 1024);
  EXPECT_NE(core.buffer().Handle(), 0);
  EXPECT_TRUE(AllBytes(core.buffer(), 0, 0x100000, 0xFF));
  EXPECT_EQ(core.view().MaxRow(), 0xFFF0);
  EXPECT_EQ(core.view().BarMaximum(), 0x7FFF);
  EXPECT_EQ(core.view().FirstAddress(), 0);
  EXPECT_EQ(core.grids().Text(GridId::Hex8, 0, 1), "FF");
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(DataBufferLifecycle, UpdateToolBufferIsSmallAndZero) {
  DumpEditCore core(UpdateToolProfile());
  ASSERT_TRUE(core.Create());
  EXPECT_EQ(core.buffer().BufSize(), 0x10000);
  EXPECT_TRUE(AllBytes(core.buffer(), 0, 0x10000, 0x00));
  EXPECT_EQ(core.view().MaxRow(), 4083);
  ASSERT_TRUE(core.ResizeBuffer(0x30000));
  EXPECT_EQ(core.view().MaxRow(), 0x3000 - 13);
  // Its grow fill is zero whatever the Load dialog says.
  TIniFile(SettingsPath()).WriteInteger("LoadDlg", "UnuserFillCheck", 1);
  ASSERT_TRUE(core.ResizeBuffer(0x40000));
  EXPECT_TRUE(AllBytes(core.buffer(), 0x30000, 0x40000, 0x00));
}

TEST_F(DataBufferLifecycle, GrowFillsTheTailWithTheLoadDialogsByteOnlyWhenChecked) {
  DumpEditCore core(ConsoleProfile());
  ASSERT_TRUE(core.Create());
  {
    BufferLock lock(core.buffer());
    lock[0xFFFFF] = 0x12;
  }
  TIniFile ini(SettingsPath());
  ini.WriteInteger("LoadDlg", "UserFill", 0x5A);
  ini.WriteInteger("LoadDlg", "UnuserFillCheck", 1);
  const std::int32_t handle = core.buffer().Handle();
  ASSERT_TRUE(core.ResizeBuffer(0x1020000));
  EXPECT_EQ(core.buffer().BufSize(), 0x1020000);
  EXPECT_EQ(core.buffer().BlockSize(), 0x1020000u + 2000);
  EXPECT_EQ(core.buffer().Handle(), handle);
  EXPECT_TRUE(AllBytes(core.buffer(), 0, 0xFFFFF, 0xFF));
  EXPECT_TRUE(AllBytes(core.buffer(), 0xFFFFF, 0x100000, 0x12));
  EXPECT_TRUE(AllBytes(core.buffer(), 0x100000, 0x1020000, 0x5A));
  EXPECT_EQ(core.view().MaxRow(), 0x102000 - 16);

  ini.WriteInteger("LoadDlg", "UnuserFillCheck", 0);
  ASSERT_TRUE(core.ResizeBuffer(0x1030000));
  EXPECT_TRUE(AllBytes(core.buffer(), 0x1020000, 0x1030000, 0xFF));
}

TEST_F(DataBufferLifecycle, ShrinkKeepsTheLowBytesAndMaxRowFollows) {
  DumpEditCore core(ConsoleProfile());
  ASSERT_TRUE(core.Create());
  {
    BufferLock lock(core.buffer());
    lock[0x7FF] = 0x34;
  }
  ASSERT_TRUE(core.ResizeBuffer(0x800));
  EXPECT_EQ(core.buffer().BufSize(), 0x800);
  EXPECT_EQ(core.view().MaxRow(), 0x80 - 16);
  EXPECT_EQ(core.view().BarMaximum(), 0x70);
  BufferLock lock(core.buffer());
  EXPECT_EQ(lock[0x7FF], 0x34);
  // The slack past the new end is zero.
  EXPECT_EQ(lock[0x800], 0x00);
}

TEST_F(DataBufferLifecycle, ResizeMovesTheViewToTheStartBeforeDrawing) {
  DumpEditCore core(ConsoleProfile());
  ASSERT_TRUE(core.Create());
  core.view().MoveToRow(0x9000);
  core.grids().RefreshGrids();
  ASSERT_EQ(core.grids().Text(GridId::Address8, 0, 1), "0");
  ASSERT_EQ(core.grids().Text(GridId::Address8, 1, 1), "9");
  {
    BufferLock lock(core.buffer());
    lock[0] = 0x42;
  }
  ASSERT_TRUE(core.ResizeBuffer(0x200000));
  EXPECT_EQ(core.view().PageNo(), 0);
  EXPECT_EQ(core.view().TopRow(), 0);
  EXPECT_EQ(core.view().BarPosition(ScrollBarId::Bits8), 0);
  EXPECT_EQ(core.view().BarPosition(ScrollBarId::Bits16), 0);
  EXPECT_EQ(core.grids().Text(GridId::Hex8, 0, 1), "42");
  EXPECT_EQ(core.grids().Text(GridId::Address8, 1, 1), "0");
}

TEST_F(DataBufferLifecycle, FailedResizeShowsTheBoxAndChangesNothing) {
  DumpEditCore core(ConsoleProfile());
  ASSERT_TRUE(core.Create());
  core.view().MoveToRow(0x100);
  const std::int32_t handle = core.buffer().Handle();
  SetAllocationGate([](std::size_t) { return false; });
  EXPECT_FALSE(core.ResizeBuffer(0x200000));
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Memory error !");
  EXPECT_EQ(boxes_.boxes()[0].caption, "Buffer Resize.");
  EXPECT_EQ(boxes_.boxes()[0].flags, winapi::MB_OK);
  EXPECT_EQ(core.buffer().BufSize(), 0x100000);
  EXPECT_EQ(core.buffer().Handle(), handle);
  EXPECT_EQ(core.view().MaxRow(), 0xFFF0);
  EXPECT_EQ(core.view().FirstRow(), 0x100);
  EXPECT_TRUE(AllBytes(core.buffer(), 0, 0x100000, 0xFF));
}

TEST_F(DataBufferLifecycle, SizesBeyondSignedThirtyTwoBitsAreRefusedAsNoMemory) {
  DumpEditCore core(ConsoleProfile());
  ASSERT_TRUE(core.Create());
  EXPECT_FALSE(core.ResizeBuffer(0x80000000u));
  EXPECT_EQ(core.buffer().BufSize(), 0x100000);
  ASSERT_EQ(boxes_.boxes().size(), 1u);
}

// A lock holder works through its pointer until it lets go: whatever the build, nothing may
// move or free the block under it.
TEST_F(DataBufferLifecycle, WhileALockIsHeldTheBlockNeitherMovesNorGoes) {
  DataBuffer buffer;
  ASSERT_TRUE(buffer.Create(0x1000, 0xFF));
  {
    BufferLock lock(buffer);
    const std::uint8_t* held = lock.data();
    const std::int32_t handle = buffer.Handle();
    EXPECT_FALSE(buffer.Resize(0x2000, 0x00));
    EXPECT_FALSE(buffer.Resize(0x10, 0x00));
    EXPECT_FALSE(buffer.Create(0x2000, 0x00));
    buffer.Free();
    EXPECT_TRUE(buffer.exists());
    EXPECT_EQ(buffer.BufSize(), 0x1000);
    EXPECT_EQ(buffer.Handle(), handle);
    EXPECT_EQ(buffer.BlockSize(), 0x1000u + DataBuffer::kCreateSlack);
    BufferLock again(buffer);
    EXPECT_EQ(again.data(), held);
    EXPECT_EQ(held[0xFFF], 0xFF);
  }
  EXPECT_TRUE(buffer.Resize(0x2000, 0x00));
  EXPECT_EQ(buffer.BufSize(), 0x2000);
}

TEST_F(DataBufferLifecycle, FailedCreationLeavesNoBuffer) {
  SetAllocationGate([](std::size_t) { return false; });
  DumpEditCore core(ConsoleProfile());
  EXPECT_FALSE(core.Create());
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Memory Error !");
  EXPECT_EQ(boxes_.boxes()[0].caption, "Dump Edit");
  EXPECT_EQ(boxes_.boxes()[0].flags, winapi::MB_ICONERROR);
  EXPECT_FALSE(core.buffer().exists());
  EXPECT_EQ(core.buffer().BufSize(), 0);
  EXPECT_EQ(core.buffer().Handle(), 0);
  // Nothing to look at, nothing to report on close.
  core.grids().RefreshGrids();
  EXPECT_FALSE(core.CheckEditsOnClose());
}

TEST_F(DataBufferLifecycle, BufInfDescribesTheBufferAsItIsNow) {
  DumpEditCore core(ConsoleProfile());
  ASSERT_TRUE(core.Create());
  core.WriteBufferInfo();
  TIniFile ini(SettingsPath());
  EXPECT_EQ(ini.ReadString("BufInf", "BufSize", ""), "1048576");
  EXPECT_EQ(ini.ReadString("BufInf", "FileSize", ""), "0");
  EXPECT_EQ(ini.ReadString("BufInf", "FileStartAdd", ""), "0");
  EXPECT_EQ(ini.ReadInteger("BufInf", "BufHandle", 0), core.buffer().Handle());
  EXPECT_EQ(ini.ReadSection("BufInf"),
            (std::vector<std::string>{"BufSize", "FileSize", "BufHandle", "FileStartAdd"}));

  core.fields().FileStartAdd = 0x100;
  core.fields().FileSize = 0x900;
  ASSERT_TRUE(core.ResizeBuffer(0x1020000));
  core.WriteBufferInfo();
  EXPECT_EQ(ini.ReadInteger("BufInf", "BufSize", 0), 0x1020000);
  EXPECT_EQ(ini.ReadInteger("BufInf", "FileSize", 0), 0x900);
  EXPECT_EQ(ini.ReadInteger("BufInf", "FileStartAdd", 0), 0x100);
}

TEST_F(DataBufferLifecycle, CloseAsksOnlyAfterACellEditAndKeepsAsking) {
  DumpEditCore core(ConsoleProfile());
  ASSERT_TRUE(core.Create());
  // A fill is no cell edit.
  core.FillBuffer(0x00);
  EXPECT_TRUE(core.CanClose(nullptr));
  EXPECT_FALSE(core.CheckEditsOnClose());
  EXPECT_TRUE(boxes_.boxes().empty());

  GridEditor& grids = core.grids();
  grids.RefreshGrids();
  grids.MouseDown(GridId::Hex8, 3, 2);
  grids.TypeChar(GridId::Hex8, '3');
  grids.TypeChar(GridId::Hex8, '4');
  ASSERT_EQ(grids.Modified(), 1);

  boxes_.Answer(winapi::IDCANCEL);
  EXPECT_FALSE(core.CanClose(nullptr));
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Are you sure to close file ?");
  EXPECT_EQ(boxes_.boxes()[0].caption, "CLOSE");
  EXPECT_EQ(boxes_.boxes()[0].flags, winapi::MB_OKCANCEL);

  boxes_.Answer(winapi::IDOK);
  EXPECT_TRUE(core.CanClose(nullptr));
  EXPECT_TRUE(core.CheckEditsOnClose());
  EXPECT_TRUE(core.records().records().empty());
  // No new edits: still asked, but nothing to report.
  EXPECT_TRUE(core.CanClose(nullptr));
  EXPECT_EQ(boxes_.boxes().size(), 3u);
  EXPECT_FALSE(core.CheckEditsOnClose());
}

TEST_F(DataBufferLifecycle, RecordsTakeTheirAddressFromTheViewAndSkipBytesPastTheEnd) {
  DumpEditCore core(ConsoleProfile());
  ASSERT_TRUE(core.Create());
  ASSERT_TRUE(core.ResizeBuffer(0x1000100));
  core.view().MoveToRow(0x100000);  // address 0x1000000: seven digits
  core.grids().RefreshGrids();
  core.grids().MouseDown(GridId::Hex8, 5, 1);
  core.grids().MouseDown(GridId::Hex8, 5, 0);  // the header row records nothing
  ASSERT_EQ(core.records().records().size(), 1u);
  EXPECT_EQ(core.records().records()[0].RowAddress, 0x1000000);
  EXPECT_EQ(core.records().records()[0].Column, 5);
  EXPECT_EQ(core.records().records()[0].CellText, "FF");
  {
    BufferLock lock(core.buffer());
    lock[0x1000005] = 0x00;
  }
  EXPECT_TRUE(core.CheckEditsOnClose());

  core.grids().MouseDown(GridId::Hex8, 5, 1);
  ASSERT_TRUE(core.ResizeBuffer(0x100000));
  EXPECT_FALSE(core.CheckEditsOnClose());
}

TEST_F(DataBufferLifecycle, TheUpdateToolKeepsNoRecords) {
  DumpEditCore core(UpdateToolProfile());
  ASSERT_TRUE(core.Create());
  core.grids().MouseDown(GridId::Hex8, 0, 1);
  EXPECT_TRUE(core.records().records().empty());
}

}  // namespace
}  // namespace buffer
