// 1 MiB through the virtual port in the programmer's buffer transfers, served by the main form
// as it runs (0xA2 into the Dump Edit's buffer, 0xA3 out of it): the port accesses against
// the protocol's minimum, the CPU time per byte (the PC's side and the device model), and the
// gauge's paints, which must stay within the 21 values a transfer shows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <memory>
#include <vector>

#include "bench/ProtocolMinimum.h"
#include "buffer/DumpEdit.h"
#include "console/Qz_M_Unit.h"
#include "link/Io_1.h"
#include "platform/portio/PortDriver.h"
#include "platform/portio/VirtualPortBackend.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "programmer/VirtualProgrammer.h"
#include "tests/support/TransferDevice.h"

namespace {

using bench::PacketGetAccesses;
using bench::PacketSendAccesses;
using programmer::DeviceTransfer;

constexpr uint32_t kBase = 0x378;
constexpr uint32_t kTotal = 0x100000;

class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

class Console {
 public:
  Console() {
    auto device = std::make_unique<programmer::VirtualProgrammer>();
    device_ = device.get();
    port_ = portio::OpenVirtualPort(std::move(device), kBase);
    form_.LptBase = kBase;
    form_.ConnectTimer->stop();
    buffer::SetMainEditForm(&edit_);
    form_.show();
    QApplication::processEvents();
    form_.WaittingProgressBar->installEventFilter(&counter_);
  }
  ~Console() {
    buffer::SetMainEditForm(nullptr);
    portio::CloseVirtualPort();
  }

  // Poll, request, take the command: the device then waits for the PC's side of the transfer.
  qzlink::LinkPacket OpenTransaction() {
    qzlink::LinkPacket command;
    if (qzlink::PollDevice(kBase, qzlink::kPollCode) == qzlink::kPollHasCommand &&
        qzlink::SendPacket(*qzlink::BuildPacket(qzlink::kRequestCode, {}, 4), kBase) == 1)
      qzlink::PcGetQz710Data(kBase, command);
    return command;
  }

  programmer::DeviceLink& wire() { return device_->wire(); }
  uint64_t accesses() const { return port_->accesses(); }

  TQZ_M_Form form_;
  buffer::TMainEdit edit_;
  PaintCounter counter_;

 private:
  programmer::VirtualProgrammer* device_ = nullptr;
  portio::VirtualPortBackend* port_ = nullptr;
};

// The dialogue after the command: the ready, then per block the data and its acknowledge.
uint64_t ReadAllMinimum(uint32_t block) {
  uint64_t accesses = PacketSendAccesses(4);
  for (uint32_t offset = 0; offset < kTotal; offset += block)
    accesses += PacketGetAccesses(std::min(block, kTotal - offset) + 5) + PacketSendAccesses(6);
  return accesses;
}

// Per block the data ('+' and a full block) and the device's reply ('+'); the end.
uint64_t ProgramAllMinimum(uint32_t block) {
  const uint64_t blocks = (kTotal + block - 1) / block;
  return blocks * (PacketSendAccesses(block + 5) + PacketGetAccesses(5)) + PacketSendAccesses(4);
}

void Report(benchmark::State& state, uint64_t accesses, uint64_t minimum, int maxPaints) {
  const double iterations = static_cast<double>(state.iterations());
  if (accesses != minimum * state.iterations()) state.SkipWithError("more port accesses than the protocol needs");
  if (maxPaints > 21) state.SkipWithError("the gauge painted more than 21 times");
  state.counters["accesses_per_byte"] = static_cast<double>(accesses) / iterations / kTotal;
  state.counters["minimum_per_byte"] = static_cast<double>(minimum) / kTotal;
  state.counters["gauge_paints"] = maxPaints;
  state.counters["cpu_ns_per_byte"] =
      benchmark::Counter(iterations * kTotal * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kTotal);
}

template <typename Serve, typename MakeTransfer>
void RunTransfer(benchmark::State& state, Serve serve, MakeTransfer make, uint64_t minimum) {
  Console console;
  uint64_t accesses = 0;
  int maxPaints = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TransferDevice device(console.wire(), make());
    qzlink::LinkPacket command = console.OpenTransaction();
    // A transaction starts from a gauge at rest, as every link tick that answers leaves it.
    console.form_.WaittingProgressBar->SetProgress(0);
    console.counter_.paints = 0;
    const uint64_t before = console.accesses();
    state.ResumeTiming();
    (console.form_.*serve)(std::move(command));
    state.PauseTiming();
    accesses += console.accesses() - before;
    maxPaints = std::max(maxPaints, console.counter_.paints);
    if (device.transfer->state() != DeviceTransfer::State::Done) state.SkipWithError("the transfer broke off");
    state.ResumeTiming();
  }
  Report(state, accesses, minimum, maxPaints);
}

void BM_ReadAll(benchmark::State& state) {
  const auto block = static_cast<uint32_t>(state.range(0));
  const std::vector<uint8_t> data(kTotal, 0xA5);
  RunTransfer(state, &TQZ_M_Form::QZSendReadDataCommand, [&] { return DeviceTransfer::ReadAll(data, block); },
              ReadAllMinimum(block));
}

void BM_ProgramAll(benchmark::State& state) {
  const auto block = static_cast<uint32_t>(state.range(0));
  RunTransfer(state, &TQZ_M_Form::QZGetProgramDataCommand, [&] { return DeviceTransfer::ProgramAll(kTotal, block); },
              ProgramAllMinimum(block));
}

BENCHMARK(BM_ReadAll)->Arg(0x400)->Arg(0xFFFA)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramAll)->Arg(0x400)->Arg(0xFFFA)->Unit(benchmark::kMillisecond);

}  // namespace

// The form needs a QApplication, which benchmark_main does not make.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  winapi::ScriptedMessageBoxes boxes;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
