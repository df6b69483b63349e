#pragma once
// A transfer's surroundings without any form: an owned data buffer, and a record of what the
// transfer showed and logged.
#include <optional>
#include <string>
#include <vector>

#include "buffer/core/DataBuffer.h"
#include "console/core/BufferTransfer.h"

class RecordingTransferSite : public console::TransferSite {
 public:
  explicit RecordingTransferSite(uint32_t size = 0x100000, uint8_t fill = 0xFF) { data.Create(size, fill); }

  buffer::DataBuffer* Buffer() override { return &data; }
  bool ResizeBuffer(uint32_t size) override {
    resizes.push_back(size);
    return !failResize && data.Resize(size, tailFill);
  }
  void RefreshGrids() override { ++refreshes; }
  void StartProgress(const char* caption) override {
    captions.emplace_back(caption);
    gauge.push_back(0);
  }
  void ShowProgress(int progress) override { gauge.push_back(progress); }
  void ShowPathPanel(const char* text) override { panel.emplace_back(text); }
  void Log(const std::string& text) override { log.push_back(text); }

  std::vector<uint8_t> Bytes(uint32_t from, uint32_t count) {
    const buffer::BufferLock lock(data);
    return {lock.data() + from, lock.data() + from + count};
  }

  buffer::DataBuffer data;
  uint8_t tailFill = 0xFF;
  bool failResize = false;
  std::vector<uint32_t> resizes;
  int refreshes = 0;
  std::vector<std::string> captions;
  std::vector<int> gauge;
  std::vector<std::string> panel;
  std::vector<std::string> log;
};
