#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include <vector>

#include "platform/portio/LptAddressMap.h"
#include "platform/portio/PortDriver.h"
#include "platform/portio/PpdevBackend.h"
#include "platform/portio/VirtualPortBackend.h"
#include "tests/support/TempDir.h"

namespace {

using namespace portio;

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

TEST(PpdevBackendTest, NoPortsMeansInactiveAndSilent) {
  TempDir root;
  PpdevBackend backend(root.File("proc"), root.File("dev"));
  EXPECT_FALSE(backend.IsActive());
  EXPECT_EQ(backend.LptCount(), 0);
  EXPECT_EQ(backend.Read(0x379), 0xFF);
}

TEST(PpdevBackendTest, PortWhoseDeviceCannotBeOpenedIsDetectedButInactive) {
  TempDir root;
  root.Write("proc/parport0/base-addr", "888 1912\n");
  PpdevBackend backend(root.File("proc"), root.File("dev"));
  EXPECT_EQ(backend.LptCount(), 1);
  EXPECT_EQ(backend.LptBase(1), 0x378u);
  EXPECT_FALSE(backend.IsActive());
  EXPECT_EQ(backend.Read(0x379), 0xFF);
}

// The ioctls a backend issued, answering every read with 0xA7 (control reads with all lines).
struct IoctlCall {
  unsigned long request;
  int value;  // the byte or direction passed in; -1 for calls that pass nothing
  bool operator==(const IoctlCall&) const = default;
};

class PpdevDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root.Write("proc/parport0/base-addr", "888 1912\n");
    root.Write("dev/parport0", "");
  }
  PpdevIoctl Recorder() {
    return [this](int, unsigned long request, void* arg) {
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
  }

  TempDir root;
  std::vector<IoctlCall> calls;
};

TEST_F(PpdevDeviceTest, ClaimsThePortWithItsDataLinesDrivenAndReleasesItAtTheEnd) {
  {
    PpdevBackend backend(root.File("proc"), root.File("dev"), Recorder());
    EXPECT_TRUE(backend.IsActive());
    EXPECT_EQ(calls, (std::vector<IoctlCall>{{PPCLAIM, -1}, {PPDATADIR, 0}}));
    calls.clear();
  }
  EXPECT_EQ(calls, (std::vector<IoctlCall>{{PPRELEASE, -1}}));
}

TEST_F(PpdevDeviceTest, EachRegisterHasItsOwnCall) {
  PpdevBackend backend(root.File("proc"), root.File("dev"), Recorder());
  calls.clear();
  backend.Write(0x378, 0x39);
  backend.Write(0x379, 0x12);  // status is read-only
  backend.Write(0x37A, 0x0B);
  EXPECT_EQ(backend.Read(0x378), 0xA7);
  EXPECT_EQ(backend.Read(0x379), 0xA7);
  EXPECT_EQ(calls, (std::vector<IoctlCall>{
                       {PPWDATA, 0x39}, {PPWCONTROL, 0x0B}, {PPRDATA, -1}, {PPRSTATUS, -1}}));
}

TEST_F(PpdevDeviceTest, ControlDirectionBitTurnsTheDataLinesInsteadOfReachingTheControlWrite) {
  PpdevBackend backend(root.File("proc"), root.File("dev"), Recorder());
  calls.clear();
  backend.Write(0x37A, 0x24);
  backend.Write(0x37A, 0x2A);  // still reversed: no second direction call
  EXPECT_EQ(backend.Read(0x37A), 0x2F);
  backend.Write(0x37A, 0xC5);  // bits 6, 7 and the interrupt enable are no lines
  EXPECT_EQ(backend.Read(0x37A), 0x0F);
  EXPECT_EQ(calls, (std::vector<IoctlCall>{{PPDATADIR, 1},
                                           {PPWCONTROL, 0x04},
                                           {PPWCONTROL, 0x0A},
                                           {PPRCONTROL, -1},
                                           {PPDATADIR, 0},
                                           {PPWCONTROL, 0x05},
                                           {PPRCONTROL, -1}}));
}

TEST_F(PpdevDeviceTest, PortThatCannotBeClaimedIsNeverDriven) {
  PpdevBackend backend(root.File("proc"), root.File("dev"), [this](int, unsigned long request, void*) {
    calls.push_back({request, -1});
    return request == PPCLAIM ? -1 : 0;
  });
  EXPECT_FALSE(backend.IsActive());
  backend.Write(0x378, 0x55);
  EXPECT_EQ(backend.Read(0x379), 0xFF);
  EXPECT_EQ(calls, (std::vector<IoctlCall>{{PPCLAIM, -1}}));
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
