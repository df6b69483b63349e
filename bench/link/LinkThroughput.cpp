// Port accesses and PC-side CPU time per payload byte through the virtual port, with the
// virtual programmer answering at once. The accesses must be the protocol's minimum: one
// status read per wait and the writes of each step, nothing more.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/ProtocolMinimum.h"
#include "link/Io_1.h"
#include "link/LinkPacket.h"
#include "platform/portio/PortDriver.h"
#include "platform/portio/VirtualPortBackend.h"
#include "programmer/VirtualProgrammer.h"

namespace {

using bench::NibbleGetAccesses;
using bench::PairSendAccesses;

constexpr uint32_t kBase = 0x378;


class VirtualLink {
 public:
  VirtualLink() {
    auto device = std::make_unique<programmer::VirtualProgrammer>();
    programmer_ = device.get();
    port_ = portio::OpenVirtualPort(std::move(device), kBase);
  }
  ~VirtualLink() {
    portio::CloseVirtualPort();
  }

  // Poll, request, take the command: the device then waits for the PC's packets.
  bool OpenTransaction(std::vector<uint8_t> command) {
    programmer_->wire().QueueCommand(0xA2, command);
    if (qzlink::PollDevice(kBase, qzlink::kPollCode) != qzlink::kPollHasCommand) return false;
    if (qzlink::SendPacket(*qzlink::BuildPacket(qzlink::kRequestCode, {}, 4), kBase) != 1) return false;
    return true;
  }

  uint64_t accesses() const { return port_->accesses(); }

 private:
  programmer::VirtualProgrammer* programmer_;
  portio::VirtualPortBackend* port_;
};

void Report(benchmark::State& state, uint64_t payload, uint64_t accesses, uint64_t minimum) {
  if (accesses != minimum) state.SkipWithError("more port accesses than the protocol needs");
  const double iterations = static_cast<double>(state.iterations());
  state.counters["accesses_per_byte"] = static_cast<double>(accesses) / iterations / static_cast<double>(payload);
  state.counters["excess_accesses"] = static_cast<double>(accesses) - static_cast<double>(minimum);
  state.counters["cpu_time_per_byte"] =
      benchmark::Counter(iterations * static_cast<double>(payload), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(payload));
}

void BM_PcToProgrammer(benchmark::State& state) {
  const auto payload = static_cast<uint32_t>(state.range(0));
  VirtualLink link;
  if (!link.OpenTransaction({})) {
    state.SkipWithError("the virtual programmer did not answer");
    return;
  }
  qzlink::LinkPacket command;
  qzlink::PcGetQz710Data(kBase, command);
  const auto packet = *qzlink::BuildPacket(0xE1, std::vector<uint8_t>(payload, 0x5A), payload + 4);
  const uint64_t before = link.accesses();
  for (auto _ : state) {
    if (qzlink::SendPacket(packet, kBase) != 1) state.SkipWithError("send failed");
  }
  const uint64_t perPacket = PairSendAccesses(6) + PairSendAccesses(payload + 4);
  Report(state, payload, link.accesses() - before, perPacket * state.iterations());
}

void BM_ProgrammerToPc(benchmark::State& state) {
  const auto payload = static_cast<uint32_t>(state.range(0));
  VirtualLink link;
  const std::vector<uint8_t> bytes(payload, 0xA5);
  uint64_t accesses = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const bool open = link.OpenTransaction(bytes);
    const uint64_t before = link.accesses();
    state.ResumeTiming();
    qzlink::LinkPacket command;
    if (!open || qzlink::PcGetQz710Data(kBase, command) != qzlink::kReceived) state.SkipWithError("receive failed");
    accesses += link.accesses() - before;
  }
  const uint64_t perPacket = NibbleGetAccesses(5) + NibbleGetAccesses(payload + 4);
  Report(state, payload, accesses, perPacket * state.iterations());
}

BENCHMARK(BM_PcToProgrammer)->Arg(1)->Arg(16)->Arg(256)->Arg(4096)->Arg(0xFFFB);
BENCHMARK(BM_ProgrammerToPc)->Arg(1)->Arg(16)->Arg(256)->Arg(4096)->Arg(0xFFFB);

}  // namespace
