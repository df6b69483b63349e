#pragma once
// The virtual programmer in its system-update mode, from the device side. Idle it shows 0x80;
// the PC's probe (0x39, answered 0xE0, then 0x93) opens a run in which it takes frames with
// the update tool's CRC field: 0xA1 is answered with the identity its flash tags give, each
// 0xAF (program) or 0xAE (verify) block with a wait request, after which the wait cycle runs
// (0x30; 0x94 -> 0xB8; 0x49 -> 0x48; 0x94 -> 0x18 busy, 0xC0 failure or 0xE8 done), then the
// release (control lines 3 -> 0x78, data 0x00 and control lines 0xC) and, after 0xE8, the
// block result. 0x99 instead of the last 0x49 aborts the run. The end frame 0xE0 commits a
// complete staged image to the flash.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/portio/FloatingPort.h"
#include "platform/portio/PortDevice.h"
#include "programmer/DeviceLink.h"
#include "programmer/StatusLines.h"
#include "programmer/SystemImage.h"

namespace programmer {

inline constexpr uint32_t kUpdateBlockSize = 0x2000;
inline constexpr uint32_t kUpdateBlocks = kSystemImageSize / kUpdateBlockSize;
inline constexpr uint8_t kReadDeviceInfo = 0xA1;
inline constexpr uint8_t kProgramBlock = 0xAF;
inline constexpr uint8_t kVerifyBlock = 0xAE;
inline constexpr uint8_t kNegativeAcknowledge = 0xFF;
inline constexpr const char* kDefaultModel = "ZORV-R77 V1.00";

struct UpdateModeSettings {
  uint32_t limitSeconds = 10;    // the time limit every wait request gives the PC
  uint32_t busyCycles = 1;       // busy answers before each block's verdict
  uint32_t busyReads = 20;       // status reads each busy answer lasts
  uint32_t busyMsPerBlock = 0;   // and busy at least this long after each block (the clock's ms)
  std::string endStatus = "01";  // the two end-status characters of every block result
};

// Faults for tests. Blocks count from 0 within a program or verify run.
struct UpdateModeFaults {
  bool refuseProbe = false;                     // shows 0xA0 where the probe waits for 0x80
  std::optional<uint32_t> failBlock;            // this block's wait ends with 0xC0
  std::optional<uint32_t> errorBlock;           // this block's result says "?"
  std::optional<uint32_t> finishAtBlock;        // this block's result says "-"
  std::optional<uint32_t> busyForeverAtBlock;   // this block's wait never ends
  std::optional<uint64_t> unplugAfterAccesses;  // floating lines from that register access on
  std::optional<uint32_t> damageOnCommit;       // this flash byte is written wrong by a commit
  std::optional<uint32_t> busyReadsAfterCommit; // a commit shows busy for this many status reads
};

// What the device went through, for tests.
struct UpdateModeLog {
  uint32_t probes = 0;      // probes answered
  uint32_t identities = 0;  // identity replies sent
  uint32_t staged = 0;      // program blocks taken
  uint32_t compared = 0;    // verify blocks taken
  uint32_t mismatches = 0;  // verify blocks that differ from the flash
  uint32_t rejected = 0;    // blocks with a wrong flag, text or length
  uint32_t aborts = 0;      // 0x99 in the wait cycle
  uint32_t releases = 0;    // release handshakes completed
  uint32_t commits = 0;     // images written to the flash
  uint64_t lastVerdictAt = 0;  // the register access that showed the last verdict
  std::vector<uint8_t> acknowledges;  // what the PC answered the identity with
};

class UpdateMode : public portio::PortDevice, public WireListener {
 public:
  explicit UpdateMode(std::vector<uint8_t> flash = MakeSystemImage(kDefaultModel, 1));
  UpdateMode(const UpdateMode&) = delete;
  UpdateMode& operator=(const UpdateMode&) = delete;

  uint8_t Read(portio::LptRegister reg) override;
  void Write(portio::LptRegister reg, uint8_t value) override;

  void OnPacket(const qzlink::LinkPacket& packet) override;
  void OnSent(const qzlink::LinkPacket& packet) override;

  UpdateModeSettings& settings() { return settings_; }
  UpdateModeFaults& faults() { return faults_; }
  const UpdateModeLog& log() const { return log_; }
  const std::vector<uint8_t>& flash() const { return flash_; }
  DeviceLink& wire() { return wire_; }
  // From now on the port floats, as when the cable is pulled.
  void Unplug() { unplugged_ = true; }
  bool unplugged() const { return unplugged_; }
  // Register accesses so far, the PC's reads and writes alike.
  uint64_t accesses() const { return accesses_; }
  // Waiting for a probe: a PC that gave up inside a run's frames leaves the mode there.
  bool idle() const { return phase_ == Phase::Idle; }

 private:
  enum class Phase { Idle, ProbeAnswered, Frames, CycleReady, CycleFirst, CycleSecond, Verdict, Busy, Release };
  enum class Run { None, Program, Verify };
  enum class Sending { Nothing, Identity, WaitRequest, BlockResult };

  void CountAccess();
  void OnData(uint8_t value);
  void OnControl(uint8_t value);
  void EnterIdle();
  void StartRun();
  void Show(Phase phase, WirePoint point, uint8_t status);
  void ShowVerdict();
  void AfterVerdict();
  void Released();

  bool TakeBlock(const qzlink::LinkPacket& packet);
  void EndRun();
  void SendBlockResult();
  std::vector<uint8_t> IdentityPayload() const;
  void Reply(Sending kind, std::vector<uint8_t> payload);
  bool AtBlock(const std::optional<uint32_t>& fault) const { return fault && *fault == block_; }

  DeviceLink wire_;
  StatusLines lines_{wire_.faults()};
  portio::FloatingPort floating_;
  UpdateModeSettings settings_;
  UpdateModeFaults faults_;
  UpdateModeLog log_;
  std::vector<uint8_t> flash_;
  std::vector<uint8_t> staged_;

  Phase phase_ = Phase::Idle;
  Run run_ = Run::None;
  Sending sending_ = Sending::Nothing;
  bool identityAnswered_ = false;  // the next frame acknowledges the identity
  uint32_t block_ = 0;             // the block of the run being worked on
  uint32_t stagedBlocks_ = 0;
  bool blockFailed_ = false;       // the wait of this block ends with 0xC0
  bool blockMismatch_ = false;     // this verify block differs from the flash
  uint32_t busyAnswersLeft_ = 0;
  uint32_t blockTakenAt_ = 0;      // the clock's ms when the block arrived
  uint32_t busyReadsLeft_ = 0;
  uint8_t verdict_ = 0;
  bool releaseShown_ = false;
  bool refusing_ = false;          // idle shows 0xA0
  uint32_t commitReadsLeft_ = 0;   // status reads the commit still shows busy for
  uint8_t data_ = 0;
  uint8_t control_ = 0;
  uint64_t accesses_ = 0;
  bool unplugged_ = false;
};

}  // namespace programmer
