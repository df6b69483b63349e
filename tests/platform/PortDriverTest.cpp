#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <map>
#include <vector>

#include "platform/portio/LptAddressMap.h"
#include "platform/portio/PortDriver.h"
#include "platform/portio/PpdevBackend.h"
#include "platform/portio/VirtualPortBackend.h"
#include "tests/support/TempDir.h"

namespace {

using namespace portio;
using ::testing::HasSubstr;

TEST(LptAddressMapTest, OnlyTheThreeRegistersOfADetectedPortAreMapped) {
  LptAddressMap map({0x378, 0x278, 0});
  EXPECT_EQ(map.Count(), 3);
  EXPECT_EQ(map.Base(1), 0x378u);
  EXPECT_EQ(map.Base(3), 0u);
  EXPECT_EQ(map.Base(0), 0u);
  EXPECT_EQ(map.Base(4), 0u);

  auto status = map.Locate(0x379);
  ASSERT_TRUE(status);
  EXPECT_EQ(status->index, 0);
  EXPECT_EQ(status->reg, LptRegister::Status);
  auto control = map.Locate(0x27A);
  ASSERT_TRUE(control);
  EXPECT_EQ(control->index, 1);
  EXPECT_EQ(control->reg, LptRegister::Control);

  EXPECT_FALSE(map.Locate(0x377));
  EXPECT_FALSE(map.Locate(0x37B));
  // A port with base 0 is never driven: addresses 0..2 belong to nobody.
  EXPECT_FALSE(map.Locate(0));
  EXPECT_FALSE(map.Locate(2));
}

TEST(PpdevScanTest, ReadsPortsAndBasesFromTheProcTree) {
  TempDir root;
  root.Write("parport1/base-addr", "632\t1656\n");
  root.Write("parport0/base-addr", "888\t1912\n");
  root.Write("parport10/base-addr", "956\n");
  root.Write("default/timeslice", "200\n");
  root.Write("parportX/base-addr", "1\n");
  auto ports = ScanParports(root.path().string());
  ASSERT_EQ(ports.size(), 3u);
  EXPECT_EQ(ports[0].number, 0);
  EXPECT_EQ(ports[0].base, 0x378u);
  EXPECT_EQ(ports[1].base, 0x278u);
  EXPECT_EQ(ports[2].number, 10);
  EXPECT_EQ(ports[2].base, 0x3BCu);
  EXPECT_EQ(ParseBaseAddr("garbage"), 0u);
  EXPECT_EQ(ParseBaseAddr(""), 0u);
}

// The system under a ppdev backend: device files that open (or fail with an errno), the
// ioctls and claims issued in order (reads answer 0xA7, control reads all lines), the
// files closed, the clock and the lines reported to the user.
struct IoctlCall {
  unsigned long request;
  int value;  // the byte or direction passed in; -1 for calls that pass nothing
  bool operator==(const IoctlCall&) const = default;
};

class PpdevTest : public ::testing::Test {
 protected:
  void SetUp() override { Port(0, "888 1912\n"); }
  void TearDown() override { InstallBackend(nullptr); }

  // parportN at the base text, its device file opening unless `openError` is set.
  void Port(int number, const std::string& baseAddr, int openError = 0) {
    root.Write("proc/parport" + std::to_string(number) + "/base-addr", baseAddr);
    openErrors[root.File("dev") + "/parport" + std::to_string(number)] = openError;
  }

  PpdevSystem System() {
    PpdevSystem system;
    system.open = [this](const std::string& path, int flags) {
      opened.push_back(path);
      openFlags.push_back(flags);
      auto found = openErrors.find(path);
      if (found == openErrors.end()) return -ENOENT;
      if (found->second != 0) return -found->second;
      return nextFd++;
    };
    system.close = [this](int fd) { closed.push_back(fd); };
    system.ioctl = [this](int, unsigned long request, void* arg) {
      if (request == PPRDATA || request == PPRSTATUS || request == PPRCONTROL) {
        *static_cast<unsigned char*>(arg) = request == PPRCONTROL ? 0xFF : 0xA7;
        calls.push_back({request, -1});
      } else if (request == PPDATADIR) {
        calls.push_back({request, *static_cast<int*>(arg)});
      } else if (request == PPWDATA || request == PPWCONTROL) {
        calls.push_back({request, *static_cast<unsigned char*>(arg)});
      } else {
        calls.push_back({request, -1});
      }
      return 0;
    };
    system.claim = [this](int fd) {
      calls.push_back({PPCLAIM, fd});
      return claimResult;
    };
    system.nowMs = [this] { return now; };
    system.report = [this](const std::string& line) { reports.push_back(line); };
    return system;
  }
  std::unique_ptr<PpdevBackend> Backend() {
    return std::make_unique<PpdevBackend>(root.File("proc"), root.File("dev"), System());
  }

  TempDir root;
  std::map<std::string, int> openErrors;
  int nextFd = 10;
  int claimResult = 0;
  int64_t now = 5000;
  std::vector<std::string> opened;
  std::vector<int> openFlags;
  std::vector<int> closed;
  std::vector<IoctlCall> calls;
  std::vector<std::string> reports;
};

TEST_F(PpdevTest, NoPortsMeansInactiveAndSaysWhy) {
  std::filesystem::remove_all(root.File("proc"));
  auto backend = Backend();
  EXPECT_FALSE(backend->IsActive());
  EXPECT_EQ(backend->LptCount(), 0);
  EXPECT_EQ(backend->Read(0x379), 0xFF);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_THAT(reports[0], HasSubstr("No parallel port found"));
  EXPECT_TRUE(calls.empty());
}

// A port whose device file does not open is neither offered nor driven; the user learns why.
struct OpenFailure {
  int error;
  const char* says;
};

class PpdevOpenFailureTest : public PpdevTest, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(PpdevOpenFailureTest, PortWhoseDeviceCannotBeOpenedIsNotOffered) {
  Port(0, "888 1912\n", GetParam().error);
  auto backend = Backend();
  EXPECT_FALSE(backend->IsActive());
  EXPECT_EQ(backend->LptCount(), 0);
  EXPECT_EQ(backend->LptBase(1), 0u);
  EXPECT_EQ(backend->Read(0x379), 0xFF);
  EXPECT_TRUE(calls.empty());
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_THAT(reports[0], HasSubstr(root.File("dev") + "/parport0"));
  EXPECT_THAT(reports[0], HasSubstr(GetParam().says));
}

INSTANTIATE_TEST_SUITE_P(Errors, PpdevOpenFailureTest,
                         ::testing::Values(OpenFailure{EACCES, "join the group lp"},
                                           OpenFailure{EPERM, "No permission"},
                                           OpenFailure{ENOENT, "modprobe ppdev"},
                                           OpenFailure{ENXIO, "modprobe ppdev"},
                                           OpenFailure{EIO, "cannot be opened"}));

TEST_F(PpdevTest, OnlyThePortsThatOpenAreOfferedInTheirOrder) {
  Port(1, "632\n", EACCES);
  Port(2, "956\n");
  auto backend = Backend();
  EXPECT_TRUE(backend->IsActive());
  EXPECT_EQ(backend->LptCount(), 2);
  EXPECT_EQ(backend->LptBase(1), 0x378u);
  EXPECT_EQ(backend->LptBase(2), 0x3BCu);
  EXPECT_EQ(backend->Read(0x279), 0xFF);  // the port that did not open
  EXPECT_EQ(reports.size(), 1u);
}

// Opening claims nothing; the first touch of a port's registers claims that port alone, with
// its data lines driven; closing releases it and closes every device file.
TEST_F(PpdevTest, OnlyThePortInUseIsClaimedAndCloseReleasesIt) {
  Port(1, "632\n");
  auto backend = Backend();
  EXPECT_EQ(opened.size(), 2u);
  for (int flags : openFlags) {
    EXPECT_EQ(flags & O_ACCMODE, O_RDWR);
    EXPECT_NE(flags & O_CLOEXEC, 0);  // a program started from the menu inherits no port
  }
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(backend->Read(0x279), 0xA7);
  EXPECT_EQ(backend->Read(0x279), 0xA7);
  EXPECT_EQ(calls, (std::vector<IoctlCall>{{PPCLAIM, 11}, {PPDATADIR, 0}, {PPRSTATUS, -1},
                                           {PPRSTATUS, -1}}));
  calls.clear();
  backend->Close();
  EXPECT_EQ(calls, (std::vector<IoctlCall>{{PPRELEASE, -1}}));
  EXPECT_EQ(closed, (std::vector<int>{10, 11}));
  EXPECT_FALSE(backend->IsActive());
  EXPECT_EQ(backend->Read(0x279), 0xFF);
  calls.clear();
  backend.reset();  // nothing is released twice
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(closed.size(), 2u);
}

TEST_F(PpdevTest, EachRegisterHasItsOwnCall) {
  auto backend = Backend();
  backend->Read(0x379);
  calls.clear();
  backend->Write(0x378, 0x39);
  backend->Write(0x379, 0x12);  // status is read-only
  backend->Write(0x37A, 0x0B);
  EXPECT_EQ(backend->Read(0x378), 0xA7);
  EXPECT_EQ(backend->Read(0x379), 0xA7);
  EXPECT_EQ(calls, (std::vector<IoctlCall>{
                       {PPWDATA, 0x39}, {PPWCONTROL, 0x0B}, {PPRDATA, -1}, {PPRSTATUS, -1}}));
}

TEST_F(PpdevTest, ControlDirectionBitTurnsTheDataLinesInsteadOfReachingTheControlWrite) {
  auto backend = Backend();
  backend->Read(0x379);
  calls.clear();
  backend->Write(0x37A, 0x24);
  backend->Write(0x37A, 0x2A);  // still reversed: no second direction call
  EXPECT_EQ(backend->Read(0x37A), 0x2F);
  backend->Write(0x37A, 0xC5);  // bits 6, 7 and the interrupt enable are no lines
  EXPECT_EQ(backend->Read(0x37A), 0x0F);
  EXPECT_EQ(calls, (std::vector<IoctlCall>{{PPDATADIR, 1},
                                           {PPWCONTROL, 0x04},
                                           {PPWCONTROL, 0x0A},
                                           {PPRCONTROL, -1},
                                           {PPDATADIR, 0},
                                           {PPWCONTROL, 0x05},
                                           {PPRCONTROL, -1}}));
}

// Another program holds the port: the claim gives up, the port reads as no device, the user
// is told once, and a new try comes only a second later, on a freshly opened file.
TEST_F(PpdevTest, ABusyPortIsReportedNotWaitedForAndTriedAgainLater) {
  auto backend = Backend();
  claimResult = -EINTR;
  EXPECT_TRUE(backend->IsActive());
  EXPECT_EQ(backend->Read(0x379), 0xFF);
  backend->Write(0x378, 0x55);
  EXPECT_EQ(backend->Read(0x379), 0xFF);
  EXPECT_EQ(calls, (std::vector<IoctlCall>{{PPCLAIM, 10}}));
  EXPECT_EQ(closed, (std::vector<int>{10}));  // leaves the kernel's queue for the port
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_THAT(reports[0], HasSubstr(root.File("dev") + "/parport0 is busy"));

  now += PpdevBackend::kClaimRetryMs - 1;
  EXPECT_EQ(backend->Read(0x379), 0xFF);
  EXPECT_EQ(calls.size(), 1u);
  now += 1;
  EXPECT_EQ(backend->Read(0x379), 0xFF);  // still busy: tried, not reported again
  EXPECT_EQ(calls, (std::vector<IoctlCall>{{PPCLAIM, 10}, {PPCLAIM, 11}}));
  EXPECT_EQ(reports.size(), 1u);

  claimResult = 0;
  now += PpdevBackend::kClaimRetryMs;
  EXPECT_EQ(backend->Read(0x379), 0xA7);
  EXPECT_EQ(opened.size(), 3u);
  calls.clear();
  backend->Close();
  EXPECT_EQ(calls, (std::vector<IoctlCall>{{PPRELEASE, -1}}));
  EXPECT_EQ(closed, (std::vector<int>{10, 11, 12}));
}

TEST_F(PpdevTest, AClaimRefusedForAnotherReasonSaysWhy) {
  auto backend = Backend();
  claimResult = -ENXIO;
  EXPECT_EQ(backend->Read(0x379), 0xFF);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_THAT(reports[0], HasSubstr("cannot be claimed"));
}

// The driver's close lets go of the real port; opening again takes it up afresh.
TEST_F(PpdevTest, DriverCloseReleasesWhatTheDriverClaimed) {
  InstallBackend(Backend());
  const uint32_t handle = DriverOpen(0, "TVICHW32", "TVicDevice0");
  EXPECT_EQ(DriverIsActive(handle), 1u);
  EXPECT_EQ(DriverReadPort(handle, 0x379), 0xA7u);
  calls.clear();
  DriverClose(handle);
  EXPECT_EQ(calls, (std::vector<IoctlCall>{{PPRELEASE, -1}}));
  EXPECT_EQ(closed, (std::vector<int>{10}));

  const uint32_t again = DriverOpen(0, "TVICHW32", "TVicDevice0");
  EXPECT_EQ(DriverIsActive(again), 1u);
  EXPECT_EQ(opened.size(), 2u);
  EXPECT_EQ(DriverReadPort(again, 0x379), 0xA7u);
  DriverClose(again);
  EXPECT_EQ(closed, (std::vector<int>{10, 11}));
}

// What bounds the claim: a call blocked in the kernel comes back with EINTR after the
// deadline, and a call that returns at once is left alone, the signal's handling restored.
TEST(CallWithDeadlineTest, ABlockedCallIsInterruptedAndAQuickOneUntouched) {
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  char byte = 0;
  errno = 0;
  EXPECT_EQ(CallWithDeadline([&] { return static_cast<int>(::read(pipeEnds[0], &byte, 1)); }, 5), -1);
  EXPECT_EQ(errno, EINTR);
  ::close(pipeEnds[0]);
  ::close(pipeEnds[1]);

  errno = 0;
  EXPECT_EQ(CallWithDeadline([] { return 7; }, 1000), 7);
  struct sigaction now {};
  sigaction(SIGALRM, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
}

class RecordingDevice : public PortDevice {
 public:
  struct Access {
    bool write;
    LptRegister reg;
    uint8_t value;
  };
  explicit RecordingDevice(std::vector<Access>* log) : log_(log) {}
  uint8_t Read(LptRegister reg) override {
    log_->push_back({false, reg, 0x5A});
    return 0x5A;
  }
  void Write(LptRegister reg, uint8_t value) override { log_->push_back({true, reg, value}); }

 private:
  std::vector<Access>* log_;
};

class PortDriverTest : public ::testing::Test {
 protected:
  void TearDown() override { InstallBackend(nullptr); }
};

TEST_F(PortDriverTest, OperationsReachTheInstalledBackendThroughTheHandle) {
  std::vector<RecordingDevice::Access> log;
  InstallBackend(
      std::make_unique<VirtualPortBackend>(std::make_unique<RecordingDevice>(&log), 0x3BC));
  uint32_t handle = DriverOpen(0, "TVICHW32", "TVicDevice0");
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(DriverIsActive(handle), 1u);
  EXPECT_EQ(DriverLptCount(handle), 1u);
  DriverSelectLpt(handle, 1);
  EXPECT_EQ(DriverLptBase(handle), 0x3BCu);
  DriverSelectLpt(handle, 2);
  EXPECT_EQ(DriverLptBase(handle), 0u);

  DriverWritePort(handle, 0x3BC, 0x1A5);  // only the low byte means anything
  EXPECT_EQ(DriverReadPort(handle, 0x3BD), 0x5Au);
  DriverWritePort(handle, 0x378, 0x11);   // no port there: ignored
  EXPECT_EQ(DriverReadPort(handle, 0x278), 0xFFu);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_TRUE(log[0].write);
  EXPECT_EQ(log[0].reg, LptRegister::Data);
  EXPECT_EQ(log[0].value, 0xA5);
  EXPECT_EQ(log[1].reg, LptRegister::Status);

  DriverClose(handle);
  EXPECT_EQ(DriverReadPort(handle, 0x3BD), 0xFFu);
  EXPECT_EQ(DriverIsActive(handle), 0u);
}

TEST_F(PortDriverTest, NothingIsDrivenBeforeOpenOrThroughAStaleHandle) {
  std::vector<RecordingDevice::Access> log;
  InstallBackend(std::make_unique<VirtualPortBackend>(std::make_unique<RecordingDevice>(&log)));
  EXPECT_EQ(DriverIsActive(0), 0u);
  EXPECT_EQ(DriverReadPort(0, 0x379), 0xFFu);
  DriverWritePort(0, 0x378, 0x55);
  EXPECT_EQ(DriverLptCount(0), 0u);
  DriverSelectLpt(0, 1);
  EXPECT_EQ(DriverLptBase(0), 0u);

  const uint32_t handle = DriverOpen(0, "TVICHW32", "TVicDevice0");
  EXPECT_EQ(DriverReadPort(handle + 1, 0x379), 0xFFu);
  EXPECT_EQ(DriverLptBase(handle), 0u);  // the select before opening counted for nothing
  DriverClose(handle);
  DriverWritePort(handle, 0x378, 0x55);
  EXPECT_EQ(DriverLptCount(handle), 0u);
  EXPECT_TRUE(log.empty());
}

TEST_F(PortDriverTest, VirtualChoiceComesFromTheEnvironment) {
  int made = 0;
  SetVirtualDeviceFactory([&made] {
    ++made;
    std::vector<RecordingDevice::Access>* none = nullptr;
    return std::unique_ptr<PortDevice>(new RecordingDevice(none));
  });
  setenv(kBackendVariable, "virtual", 1);
  auto backend = CreateBackendFromEnvironment();
  unsetenv(kBackendVariable);
  SetVirtualDeviceFactory(nullptr);
  EXPECT_EQ(made, 1);
  EXPECT_TRUE(backend->IsActive());
  EXPECT_EQ(backend->LptBase(1), VirtualPortBackend::kDefaultBase);
}

TEST_F(PortDriverTest, EmptyPortsComeBeforeTheVirtualDeviceAndFloat) {
  std::vector<RecordingDevice::Access> log;
  SetVirtualDeviceFactory([&log] { return std::make_unique<RecordingDevice>(&log); });
  SetVirtualEmptyPorts({0x3BC, 0x278});
  setenv(kBackendVariable, "virtual", 1);
  InstallBackend(CreateBackendFromEnvironment());
  unsetenv(kBackendVariable);
  SetVirtualEmptyPorts({});
  SetVirtualDeviceFactory(nullptr);

  const uint32_t handle = DriverOpen(0, "TVICHW32", "TVicDevice0");
  EXPECT_EQ(DriverIsActive(handle), 1u);
  ASSERT_EQ(DriverLptCount(handle), 3u);
  const uint32_t expected[] = {0x3BC, 0x278, VirtualPortBackend::kDefaultBase};
  for (uint32_t n = 1; n <= 3; ++n) {
    DriverSelectLpt(handle, n);
    EXPECT_EQ(DriverLptBase(handle), expected[n - 1]) << n;
  }
  // Nothing plugged in: the status lines float, data and control read back what was written.
  EXPECT_EQ(DriverReadPort(handle, 0x3BD), 0x7Fu);
  DriverWritePort(handle, 0x27A, 0x0C);
  EXPECT_EQ(DriverReadPort(handle, 0x27A), 0x0Cu);
  EXPECT_EQ(DriverReadPort(handle, 0x278), 0x00u);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(DriverReadPort(handle, 0x379), 0x5Au);
  EXPECT_EQ(log.size(), 1u);
}

}  // namespace

namespace {

TEST(BackendChoiceTest, AMisspeltChoiceDrivesNoPortAndReportsNoDriver) {
  setenv(portio::kBackendVariable, "Virtual", 1);
  auto backend = portio::CreateBackendFromEnvironment();
  unsetenv(portio::kBackendVariable);
  EXPECT_FALSE(backend->IsActive());
  EXPECT_EQ(backend->Read(portio::VirtualPortBackend::kDefaultBase + 1), 0xFF);
}

}  // namespace
