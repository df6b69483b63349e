// A long fault run: the console's link ticks and the update tool's Update run against the
// virtual programmer, each transaction with a random wire fault at a random access, checked
// for what the PC took, what it left in its buffer, how long each call and each wait took on
// the port, and whether the same transaction then goes through clean. Time never passes for
// real: the update tool's clock moves a millisecond at each reading.
//
//   fault_run [--transactions N] [--seed S]
//
// Exits 1 when an invariant broke: a silent corruption, a buffer changed by a failed
// transfer, a failed clean retry, or a call or wait past its bound of port accesses.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "bench/faultrun/Cable.h"
#include "bench/faultrun/ConsoleRounds.h"
#include "bench/faultrun/FaultPlan.h"
#include "bench/faultrun/Tally.h"
#include "bench/faultrun/UpdateRounds.h"
#include "platform/portio/VirtualPortBackend.h"

namespace {

using faultrun::Tally;

struct Options {
  uint64_t transactions = 2000;
  uint64_t seed = 1;
};

bool ReadOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--transactions") == 0 && hasValue) {
      options.transactions = std::strtoull(argv[++i], nullptr, 10);
    } else if (std::strcmp(argv[i], "--seed") == 0 && hasValue) {
      options.seed = std::strtoull(argv[++i], nullptr, 10);
    } else {
      std::fprintf(stderr, "usage: %s [--transactions N] [--seed S]\n", argv[0]);
      return false;
    }
  }
  return true;
}

void Print(const char* what, uint64_t count) {
  std::printf("  %-58s %12llu\n", what, static_cast<unsigned long long>(count));
}

void Report(const Options& options, const Tally& tally, uint64_t updateTransactions, double seconds) {
  std::printf("fault run: seed %llu, %llu transactions (%llu console, %llu update runs) in %.1f s\n",
              static_cast<unsigned long long>(options.seed), static_cast<unsigned long long>(tally.transactions),
              static_cast<unsigned long long>(tally.transactions - updateTransactions),
              static_cast<unsigned long long>(updateTransactions), seconds);
  std::printf("faults injected, by kind:\n");
  uint64_t faults = 0;
  for (const auto& [kind, count] : tally.faults) {
    Print(kind.c_str(), count);
    faults += count;
  }
  Print("all", faults);
  std::printf("outcomes:\n");
  Print("failures detected (the PC reported or took nothing)", tally.failuresDetected);
  Print("silent corruptions (must be 0)", tally.silentCorruptions);
  Print("buffer changed on failure (must be 0)", tally.bufferChangedOnFailure);
  Print("recovery failures (must be 0)", tally.recoveryFailures);
  Print("calls or waits past their bound (must be 0)", tally.overruns);
  std::printf("noticed, which the protocol gives the PC no way to tell:\n");
  Print("closing packet sent, never taken by the device", tally.unconfirmedEnds);
  Print("device completed what the PC reported failed", tally.deviceTookFailed);
  Print("identity replies taken damaged (no CRC check on them)", tally.damagedIdentities);
  Print("update ended early by the device, which kept its old image", tally.earlyEndsKeptOldImage);
  Print("retries whose poll found the programmer a poll behind", tally.resyncPolls);
  Print("update mode left inside a run, restarted", tally.deviceRestarts);
  std::printf("port accesses per call, most seen / bound; longest wait in status reads, most seen / bound:\n");
  for (const auto& [call, stat] : tally.calls) {
    std::printf("  %-28s %9llu calls %12llu / %-16llu %8llu / %llu\n", call.c_str(),
                static_cast<unsigned long long>(stat.calls), static_cast<unsigned long long>(stat.maxAccesses),
                static_cast<unsigned long long>(stat.boundAtMax), static_cast<unsigned long long>(stat.maxWait),
                static_cast<unsigned long long>(stat.waitBound));
  }
  for (const std::string& problem : tally.problems) std::printf("BROKEN: %s\n", problem.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ReadOptions(argc, argv, options)) return 2;
  auto owned = std::make_unique<faultrun::Cable>();
  faultrun::Cable& cable = *owned;
  portio::OpenVirtualPort(std::move(owned), portio::VirtualPortBackend::kDefaultBase);

  Tally tally;
  std::mt19937_64 random(options.seed);
  faultrun::ConsoleRounds console(cable, tally, random);
  faultrun::UpdateRounds update(cable, tally, random);
  uint64_t updateTransactions = 0;
  const auto start = std::chrono::steady_clock::now();
  while (tally.transactions < options.transactions) {
    // Most rounds carry a fault; one in twenty-five is the update tool's.
    std::optional<faultrun::FaultKind> fault;
    if (random() % 10 < 8) fault = static_cast<faultrun::FaultKind>(random() % faultrun::kFaultKinds);
    if (random() % 25 == 0) {
      const uint64_t before = tally.transactions;
      update.Attach();
      update.Round(fault);
      updateTransactions += tally.transactions - before;
    } else {
      console.Attach();
      console.Round(fault);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  Report(options, tally, updateTransactions, seconds);
  portio::CloseVirtualPort();
  return tally.Broken() == 0 ? 0 : 1;
}
