#pragma once
// What a fault run counts: the transactions, the faults that happened by kind, the failures
// the PC detected, the invariants it must never break, and for each kind of call the most
// port accesses it made and the longest wait, beside their bounds.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace faultrun {

struct CallStat {
  uint64_t calls = 0;
  uint64_t maxAccesses = 0;
  uint64_t boundAtMax = 0;      // the bound of the call that made the most accesses
  uint64_t maxWait = 0;
  uint64_t waitBound = 0;
};

struct Tally {
  uint64_t transactions = 0;
  std::map<std::string, uint64_t> faults;  // by kind, those the device or the cable made
  uint64_t failuresDetected = 0;
  // Invariants: each must stay 0.
  uint64_t silentCorruptions = 0;
  uint64_t bufferChangedOnFailure = 0;
  uint64_t recoveryFailures = 0;
  uint64_t overruns = 0;  // calls past their bound of accesses, or waits past theirs
  // Worth knowing, no fault of the PC's: the protocol gives it no way to tell.
  uint64_t unconfirmedEnds = 0;      // the PC's closing packet was sent but the device never took it
  uint64_t deviceTookFailed = 0;     // the device completed what the PC reported as failed
  uint64_t resyncPolls = 0;          // clean retries whose poll found the programmer a poll behind
  uint64_t deviceRestarts = 0;       // update mode left mid-frame, restarted before the retry
  uint64_t damagedIdentities = 0;    // identity replies taken damaged (update frames carry no checked CRC)
  uint64_t earlyEndsKeptOldImage = 0; // the device ended the run early, said it went well, kept its image
  std::map<std::string, CallStat> calls;
  std::vector<std::string> problems;  // the first invariant breaks, described

  void Problem(uint64_t& counter, const std::string& what) {
    ++counter;
    if (problems.size() < 20) problems.push_back(what);
  }
  uint64_t Broken() const { return silentCorruptions + bufferChangedOnFailure + recoveryFailures + overruns; }
};

}  // namespace faultrun
