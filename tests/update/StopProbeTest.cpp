// The Stop probe on real widgets offscreen: what a look takes from the pending events, what it
// drops, and a Stop pressed while the virtual programmer is busy ending the wait.
#include "update/StopProbe.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>
#include <memory>

#include "link/LinkPacket.h"
#include "platform/portio/VirtualPortBackend.h"
#include "programmer/UpdateMode.h"
#include "tests/support/SteppingClock.h"

namespace {

using qzlink::StopProbeResult;

class Counting : public QPushButton {
 public:
  using QPushButton::QPushButton;
  int presses = 0;
  int closes = 0;
  int messages = 0;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    ++presses;
    QPushButton::mousePressEvent(event);
  }
  bool event(QEvent* event) override {
    if (event->type() >= QEvent::User) ++messages;
    return QPushButton::event(event);
  }
};

class StopProbeTest : public ::testing::Test {
 protected:
  StopProbeTest() {
    auto* layout = new QVBoxLayout(&window);
    stop = new Counting("Stop");
    other = new Counting("Other");
    test = new QLabel("TEST");
    layout->addWidget(stop);
    layout->addWidget(other);
    layout->addWidget(test);
    window.setWindowTitle("Update Window.");
    window.show();
    QCoreApplication::sendPostedEvents();
  }

  static void PostPress(QWidget* widget, Qt::MouseButton button = Qt::LeftButton) {
    const QPointF at = widget->rect().center();
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonPress, at, widget->mapToGlobal(at),
                                                        button, button, Qt::NoModifier));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at),
                                                        button, Qt::NoButton, Qt::NoModifier));
  }

  QWidget window;
  Counting* stop;
  Counting* other;
  QLabel* test;
  update::TStopProbe probe;
};

TEST_F(StopProbeTest, LeftPressesAreTakenInOrderAndReachNoWidget) {
  int clicked = 0;
  QObject::connect(stop, &QPushButton::clicked, [&] { ++clicked; });
  PostPress(stop);
  PostPress(other);
  PostPress(test);
  PostPress(&window);
  PostPress(stop, Qt::RightButton);
  EXPECT_EQ(probe.Look(), StopProbeResult::StopPressed);
  EXPECT_EQ(probe.Look(), StopProbeResult::OtherPress);
  EXPECT_EQ(probe.Look(), StopProbeResult::StopPressed);  // the label reads "TEST"
  EXPECT_EQ(probe.Look(), StopProbeResult::OtherPress);   // the window's title
  EXPECT_EQ(probe.Look(), StopProbeResult::None);
  EXPECT_EQ(stop->presses, 0);
  EXPECT_EQ(clicked, 0);
}

TEST_F(StopProbeTest, APressThatReachesTheWindowCountsForTheWidgetUnderIt) {
  const QPointF at = stop->mapTo(&window, stop->rect().center());
  QCoreApplication::postEvent(window.windowHandle(),
                              new QMouseEvent(QEvent::MouseButtonPress, at, window.mapToGlobal(at), Qt::LeftButton,
                                              Qt::LeftButton, Qt::NoModifier));
  EXPECT_EQ(probe.Look(), StopProbeResult::StopPressed);
  EXPECT_EQ(stop->presses, 0);
}

TEST_F(StopProbeTest, ClosesKeysAndTheProgramsMessagesAreDropped) {
  QCoreApplication::postEvent(&window, new QCloseEvent);
  QCoreApplication::postEvent(stop, new QEvent(QEvent::Type(2024)));
  QCoreApplication::postEvent(stop, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " "));
  EXPECT_EQ(probe.Look(), StopProbeResult::None);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(stop->messages, 0);
  // Outside a look everything is delivered again.
  QCoreApplication::postEvent(stop, new QEvent(QEvent::Type(2024)));
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(stop->messages, 1);
}

TEST_F(StopProbeTest, StopPressedWhileTheProgrammerIsBusyEndsTheWait) {
  auto device = std::make_unique<programmer::UpdateMode>();
  programmer::UpdateMode* programmer = device.get();
  programmer->settings().busyReads = 100;
  portio::OpenVirtualPort(std::move(device), 0x378);
  testsupport::SteppingClock clock(1);
  qzlink::SetStopProbe([this] { return probe.Look(); });
  qzlink::SetOnStop([this] { window.close(); });

  uint32_t base = 0;
  ASSERT_EQ(qzlink::FindDevicePort(base), 1);
  std::vector<uint8_t> block{'+', 'F', 'F', '2', '0', '0', '0'};
  block.resize(block.size() + programmer::kUpdateBlockSize, 0x11);
  ASSERT_EQ(qzlink::SendNewPacket(programmer::kProgramBlock, block, static_cast<uint32_t>(block.size()) + 4, base,
                                  qzlink::kUpdateFrames),
            1);
  qzlink::LinkPacket request;
  ASSERT_EQ(qzlink::PcGetQz710Data(base, request, qzlink::kUpdateFrames), qzlink::kReceived);
  // Pressed before the wait: the press waits in the queue until the busy phase looks.
  PostPress(stop);
  QCoreApplication::postEvent(&window, new QCloseEvent);
  EXPECT_EQ(qzlink::WaitDeviceDone(10, base), qzlink::kWaitStopped);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(programmer->log().aborts, 1u);
  EXPECT_EQ(programmer->log().releases, 1u);
  EXPECT_EQ(qzlink::ProbeDevice(base), qzlink::kProbeAnswered);

  qzlink::SetStopProbe({});
  qzlink::SetOnStop({});
  portio::CloseVirtualPort();
}

}  // namespace
