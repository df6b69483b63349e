// The console's command payload readers on any payload: the LCD text and the menu lines
// synced from it (0xA0), the menu (0xA4), the job result (0xA7), the buffer transfers'
// block and segment requests with the plan of their blocks (0xA2, 0xA3, 0xA5, 0xA6), and
// the data packets that follow them.
#include <span>
#include <string>
#include <vector>

#include "console/core/BufferTransfer.h"
#include "console/core/CommandPayloads.h"
#include "fuzz/FuzzSupport.h"

using fuzz::Require;

namespace {

void CheckMenuAndLcd(std::span<const uint8_t> payload) {
  const console::MenuPayload menu = console::MenuFromPayload(payload);
  Require(menu.title.size() <= console::kMenuTextLength);
  Require(menu.items.size() <= (payload.size() > console::kMenuTextLength ? payload[console::kMenuTextLength] : 0));
  std::vector<std::string> shown;
  for (size_t k = 0; k < menu.items.size(); ++k) {
    Require(menu.items[k].size() <= console::kMenuTextLength);
    shown.push_back(console::MenuItemText(static_cast<int>(k), menu.items[k]));
  }
  const console::LcdTextBlock block = console::LcdBlockFromPayload(payload);
  for (int start : console::kMenuSyncStarts) {
    const auto line = std::span<const uint8_t, 20>(block.data() + start, 20);
    const console::MenuLineSync sync = console::SyncFromLcdLine(line, shown);
    Require(sync.selectedItem >= -1 && sync.selectedItem < static_cast<int>(shown.size()));
    if (!console::IsSelectedMenuLine(line)) Require(!sync.toPc && sync.selectedItem == -1);
  }
}

void CheckBlockPlan(std::span<const uint8_t> payload) {
  const auto request = console::ReadBlockRequest(payload);
  Require(request.has_value() == (payload.size() >= 6));
  if (!request || request->block == 0) return;
  const console::BlockPlan plan(request->total, request->block);
  const uint32_t blocks = plan.Blocks();
  Require(uint64_t{blocks} * request->block >= request->total);
  Require(plan.Length(blocks) == 0);
  if (blocks == 0) {
    Require(request->total == 0);
    return;
  }
  const uint32_t last = blocks - 1;
  Require(plan.Offset(last) < request->total);
  Require(plan.Length(last) > 0 && plan.Length(last) <= request->block);
  Require(uint64_t{plan.Offset(last)} + plan.Length(last) == request->total);
  Require(console::GaugeBeforeBlock(0, last, blocks) == 200);
}

void CheckSegment(std::span<const uint8_t> payload) {
  const auto request = console::ReadSegmentRequest(payload);
  Require(request.has_value() == (payload.size() >= 5));
  if (!request) return;
  Require(request->address <= 0xFFFFFF && request->length <= 0xFFFF);
  const auto growth = console::GrowthFor(static_cast<int32_t>(request->address), request->address + request->length);
  Require(growth.has_value() == (request->length > 0));
}

void CheckDataPacket(std::span<const uint8_t> payload) {
  if (payload.size() < 2) return;
  const uint32_t length = payload[0] | payload[1] << 8;
  const qzlink::LinkPacket packet(payload.begin() + 2, payload.end());
  const auto data = console::DataFromPacket(packet, length);
  if (!data) return;
  Require(data->size() == length);
  Require(data->data() >= packet.data() + qzlink::kPacketPrefix + 1);
  Require(data->data() + data->size() <= packet.data() + packet.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> payload(data, size);
  CheckMenuAndLcd(payload);
  const int job = console::JobResultFromPayload(payload);
  Require(job >= -1 && job <= 1);
  CheckBlockPlan(payload);
  CheckSegment(payload);
  CheckDataPacket(payload);
  return 0;
}
