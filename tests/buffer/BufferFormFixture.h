#pragma once
// A console Dump Edit core on a settings file of its own, with scripted boxes and recorded
// progress, for the tests of the buffer operations.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "buffer/core/DumpEditCore.h"
#include "buffer/core/Progress.h"
#include "buffer/core/SettingsPath.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace buffer {

class BufferFormTest : public ::testing::Test {
 protected:
  using Bytes = std::vector<std::uint8_t>;

  BufferFormTest() : previous_(SettingsPath()) {
    SetSettingsPath(dir_.File("History.ini"));
    form_.Create();
  }
  ~BufferFormTest() override {
    SetSettingsPath(previous_);
    SetAllocationGate(nullptr);
  }

  void SetLoadDlg(const std::string& key, int value) {
    TIniFile(SettingsPath()).WriteInteger("LoadDlg", key, value);
  }
  void Resize(std::uint32_t size, std::uint8_t fill) {
    ASSERT_TRUE(form_.ResizeBuffer(size));
    form_.FillBuffer(fill);
  }
  void Write(std::int64_t address, const Bytes& bytes) {
    BufferLock lock(form_.buffer());
    for (std::size_t i = 0; i < bytes.size(); ++i) lock[address + i] = bytes[i];
  }
  // Reads also the slack past BufSize.
  Bytes Read(std::int64_t address, std::size_t count) {
    BufferLock lock(form_.buffer());
    return Bytes(lock.data() + address, lock.data() + address + count);
  }
  // The byte values 0, 1, 2, ... of a block of n bytes.
  static Bytes Counting(std::size_t n, std::uint8_t first = 0) {
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
  }
  bool AllBytes(std::int64_t from, std::int64_t to, std::uint8_t value) {
    BufferLock lock(form_.buffer());
    for (std::int64_t a = from; a < to; ++a)
      if (lock[a] != value) return false;
    return true;
  }
  // The bar steps a pass over the indices [first, last] makes when it steps at every index
  // that is a multiple of `step` and lies in `taken`.
  template <class Taken>
  static int StepsAt(std::int64_t first, std::int64_t last, std::int64_t step, Taken taken) {
    int steps = 0;
    for (std::int64_t i = first; i <= last; ++i)
      if (taken(i) && i % step == 0) ++steps;
    return steps;
  }

  TempDir dir_;
  std::string previous_;
  winapi::ScriptedMessageBoxes boxes_;
  RecordingProgress progress_;
  DumpEditCore form_{ConsoleProfile()};
};

}  // namespace buffer
