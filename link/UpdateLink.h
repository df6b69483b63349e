#pragma once
// The update tool's own exchanges with the programmer in its system-update mode: the presence
// probe, the port scan, the long wait while the programmer works on a block (with the Stop
// button read from the pending events) and the closing release. Frames travel as the
// console's do, under kUpdateFrames (LinkPacket.h); the update tool keeps no link log, so it
// installs no sink (LinkLog.h) and the handshakes' texts go nowhere.
#include <cstdint>
#include <functional>

namespace qzlink {

// ProbeDevice results.
inline constexpr int kProbeAnswered = 1;
inline constexpr int kProbeNoAnswer = 0;
inline constexpr int kProbeRefused = -1;  // the port shows 0xA0: something, but not ready

// WaitDeviceDone results.
inline constexpr int kWaitLost = 0;      // a status wait ran out of reads (data left 0x00)
inline constexpr int kWaitDone = 1;      // the programmer finished (0xE8)
inline constexpr int kWaitFailed = 2;    // the programmer reports a failure (0xC0)
inline constexpr int kWaitStopped = 3;   // Stop was pressed; 0x99 sent, released
inline constexpr int kWaitTimedOut = 4;  // busy past the time limit; not released

// Reads at most this many status values in each wait of WaitDeviceDone's handshakes.
inline constexpr uint32_t kWaitDoneReads = 1000000;

// What one look at the pending events found: no press, a left press on a window whose text
// is "Stop" or "TEST", or a left press on any other window.
enum class StopProbeResult { None, StopPressed, OtherPress };
using StopProbe = std::function<StopProbeResult()>;

// The program's event probe, called once per status read while the programmer is busy; an
// empty one sees nothing. The on-stop call closes the update progress form.
void SetStopProbe(StopProbe probe);
void SetOnStop(std::function<void()> onStop);

// Set by a Stop press in the busy phase, acted on in the next cycle; a later press on another
// window withdraws it.
extern int StopRequested;

// A short presence handshake that writes no control lines: kProbeAnswered, kProbeNoAnswer
// or kProbeRefused.
int ProbeDevice(uint32_t base);

// Scans ports 1..DriverLptCount for a programmer that answers the probe. 1 with `base` set to
// it; otherwise 1 with the last port that has a base (it did not answer), or 0 when no port
// has one. The caller presets `base` to 0.
int FindDevicePort(uint32_t& base);

// Runs the wait cycle while the programmer works; each busy phase may last `limitSeconds`
// (monotonic seconds, counted from the busy answer that begins it), however many there are.
// A Stop left from an earlier wait is forgotten on entry.
int WaitDeviceDone(uint32_t limitSeconds, uint32_t base);

// Closes a wait: 1 when the programmer let go within 3 seconds, 0 (and no further writes)
// when it did not. Callers ignore the result.
int ReleaseHandshake(uint32_t base);

// Time tests on monotonic whole seconds: more than `limit` since `start`, and 3 or more.
bool TimedOut(int64_t start, int64_t limit);
bool ReleaseTimedOut(int64_t start);

}  // namespace qzlink
