// The update road's program and verify runs of a 128 KiB image through the virtual port, with
// the programmer in its update mode answering every block at once: the CPU time per KiB (the
// PC's side and the device model) and the port accesses per byte, which must be exactly what
// the handshakes need (the probe, each block's frame, wait request, wait cycle with release
// and block result, and the end frame).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/ProtocolMinimum.h"
#include "buffer/core/DumpEditCore.h"
#include "link/UpdateLink.h"
#include "platform/portio/VirtualPortBackend.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "programmer/SystemImage.h"
#include "programmer/UpdateMode.h"
#include "update/core/UpdateCommands.h"

namespace {

using bench::PacketGetAccesses;
using bench::PacketSendAccesses;

constexpr uint32_t kBase = 0x378;
constexpr uint64_t kImageBytes = update::kImageEnd + 1;
constexpr uint64_t kBlocks = kImageBytes / update::kBlockLength;

// The probe: the ready status read, 0x39, the answer read, 0x93.
constexpr uint64_t kProbeAccesses = 4;
// A wait whose first verdict is "done": the control lines read, the ready read, three data
// writes each with its status read, the closing 0x49, then the release (control read and
// write, the released status read, data and control writes).
constexpr uint64_t kDoneAtOnceAccesses = 2 + 3 * 2 + 1 + 5;
// A wait request carries four characters, a block result three.
constexpr uint64_t kWaitRequestLength = 4 + 4;
constexpr uint64_t kBlockResultLength = 3 + 4;

uint64_t RunMinimum(uint64_t frameOverhead) {
  const uint64_t perBlock = PacketSendAccesses(update::kBlockLength + frameOverhead) +
                            PacketGetAccesses(kWaitRequestLength) + kDoneAtOnceAccesses +
                            PacketGetAccesses(kBlockResultLength);
  return kProbeAccesses + kBlocks * perBlock + PacketSendAccesses(4);
}

class NoGauge : public update::Gauge {
 public:
  void SetMaximum(std::int32_t) override {}
  void SetProgress(std::int32_t) override {}
};

void BM_ProgramAndVerify(benchmark::State& state) {
  winapi::ScriptedMessageBoxes boxes;
  const std::vector<uint8_t> image = programmer::MakeSystemImage("ZORV-R77 V2.00", 5);
  buffer::DumpEditCore child{buffer::UpdateToolProfile()};
  if (!child.Create() || !child.ResizeBuffer(0x30000)) return state.SkipWithError("no buffer");
  {
    buffer::BufferLock lock(child.buffer());
    std::copy(image.begin(), image.end(), lock.data());
  }
  auto mode = std::make_unique<programmer::UpdateMode>();
  programmer::UpdateMode* device = mode.get();
  device->settings().busyCycles = 0;
  portio::OpenVirtualPort(std::move(mode), kBase);
  NoGauge gauge;
  const uint64_t minimum = RunMinimum(11) + RunMinimum(14);
  uint64_t accesses = 0;
  bool exact = true;
  for (auto _ : state) {
    const uint64_t before = device->accesses();
    const bool programmed = qzlink::ProbeDevice(kBase) == qzlink::kProbeAnswered &&
                            update::ProgramImage(nullptr, child.buffer(), 0, kBase, "FF", update::kBlockLength,
                                                 update::kImageEnd, gauge) == update::kRunCompleted;
    const bool verified = qzlink::ProbeDevice(kBase) == qzlink::kProbeAnswered &&
                          update::VerifyImage(nullptr, child.buffer(), 0, update::kImageEnd, update::kBlockLength,
                                              "FF", "32", kBase, gauge) == update::kRunCompleted;
    if (!programmed || !verified) {
      state.SkipWithError("the run failed");
      break;
    }
    const uint64_t used = device->accesses() - before;
    accesses += used;
    exact = exact && used == minimum;
  }
  portio::CloseVirtualPort();
  if (!exact) state.SkipWithError("more port accesses than the handshakes need");
  if (state.iterations() == 0) return;
  const double iterations = static_cast<double>(state.iterations());
  // Each iteration moves the image twice: once to program it, once to verify it.
  const double bytes = 2.0 * kImageBytes;
  state.counters["accesses_per_byte"] = static_cast<double>(accesses) / iterations / bytes;
  state.counters["minimum_per_byte"] = static_cast<double>(minimum) / bytes;
  state.counters["cpu_us_per_KiB"] =
      benchmark::Counter(iterations * bytes / 1024 * 1e-6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

BENCHMARK(BM_ProgramAndVerify)->Unit(benchmark::kMillisecond);

}  // namespace
