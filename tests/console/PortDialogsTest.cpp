#include <gtest/gtest.h>

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "console/ModalRun.h"
#include "console/PortSetupUnit.h"
#include "console/Qz_M_Unit.h"
#include "console/SesitiveUnit.h"
#include "console/core/StartupSettings.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/FakePorts.h"
#include "tests/support/TempDir.h"

namespace {

using Table = std::array<uint32_t, console::kLptTableSize>;

// Runs every modal form through `act` for the life of the object.
class ScriptedModal {
 public:
  explicit ScriptedModal(std::function<void(QDialog&)> act)
      : previous_(console::SetModalRunner([act](QDialog& form) {
          act(form);
          return form.result();
        })) {}
  ~ScriptedModal() { console::SetModalRunner(previous_); }

 private:
  console::ModalRunner previous_;
};

QStringList Entries(const QListWidget& list) {
  QStringList entries;
  for (int i = 0; i < list.count(); ++i) entries << list.item(i)->text();
  return entries;
}

struct TypedPort {
  const char* typed;
  const char* storedLine;
  uint32_t base;
};

void PrintTo(const TypedPort& port, std::ostream* out) { *out << '"' << port.typed << '"'; }

class PortSetupTest : public ::testing::TestWithParam<TypedPort> {};

TEST_P(PortSetupTest, OkStoresTheTextAsTypedAndSetsTheBaseItNames) {
  TempDir dir;
  const std::string settings = dir.File("History.ini");
  uint32_t base = 0x3BC;
  Table table{0x378, 0x278};
  TPortSetupForm form(base, table, settings);
  form.PortEdit->setText(GetParam().typed);
  QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(base, GetParam().base);
  EXPECT_EQ(dir.Read("History.ini"), std::string("[System]\r\n") + GetParam().storedLine + "\r\n");
  // The next start reads the same base back.
  EXPECT_EQ(console::ReadDataPort(settings).value_or(0xDEAD), GetParam().base);
}

INSTANTIATE_TEST_SUITE_P(Typed, PortSetupTest,
                         ::testing::Values(TypedPort{"378", "DataPort=378", 0x378},
                                           TypedPort{" 0x278", "DataPort= 0x278", 0x278},
                                           TypedPort{"3bc;", "DataPort=3bc;", 0x3BC},
                                           TypedPort{"LPT", "DataPort=LPT", 0}));

// A read-only start folder: the port chosen serves this run, and the user learns that it
// will not be there at the next start.
TEST(PortSetupFormTest, AChoiceThatCannotBeKeptServesThisRunAndSaysSo) {
  TempDir dir;
  winapi::ScriptedMessageBoxes boxes;
  SetIniWriteFault([](const std::string&) { return EROFS; });
  uint32_t base = 0x3BC;
  TPortSetupForm form(base, Table{0x378}, dir.File("History.ini"));
  form.PortEdit->setText("378");
  QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
  SetIniWriteFault(nullptr);
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(base, 0x378u);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Cannot write the settings file " + dir.File("History.ini") +
                                       ": Read-only file system");
  EXPECT_FALSE(std::filesystem::exists(dir.File("History.ini")));
}

TEST(PortSetupFormTest, ListsTheDetectedPortsAndCancelChangesNothing) {
  TempDir dir;
  uint32_t base = 0x278;
  // A gap in the table: only nonzero entries are listed, and only the first three count.
  Table table{0x3BC, 0, 0x378, 0x1234};
  TPortSetupForm form(base, table, dir.File("History.ini"));
  EXPECT_EQ(form.windowTitle(), "Connecting Port Setup");
  EXPECT_EQ(form.Label1->text(), "Port Setup : ");
  EXPECT_EQ(form.Label2->text(), "Detect Port Number List :");
  EXPECT_EQ(Entries(*form.PortListBox), QStringList({"03BC", "0378"}));
  EXPECT_EQ(form.PortEdit->text(), "0278");
  EXPECT_TRUE(form.BitBtn1->isDefault());

  QTest::mouseClick(form.PortListBox->viewport(), Qt::LeftButton, {},
                    form.PortListBox->visualItemRect(form.PortListBox->item(1)).center());
  EXPECT_EQ(form.PortEdit->text(), "0378");
  QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(base, 0x278u);
  EXPECT_FALSE(std::filesystem::exists(dir.File("History.ini")));

  uint32_t none = 0;
  TPortSetupForm empty(none, Table{}, dir.File("History.ini"));
  EXPECT_EQ(empty.PortListBox->count(), 0);
  EXPECT_EQ(empty.PortEdit->text(), "0000");
}

TEST(SensitiveFormTest, PositionsAndIntervalsAreTiedAndOnlyOkSetsTheTimer) {
  QTimer timer;
  timer.setInterval(60);
  TSensitiveForm form(timer);
  EXPECT_EQ(form.windowTitle(), "Sensitive Setup");
  EXPECT_EQ(form.GroupBox1->title(), "Connect Sensitive Setup");
  EXPECT_EQ(form.Label2->text(), "30 ms");
  EXPECT_EQ(form.Label3->text(), "600ms");
  EXPECT_EQ(form.TrackBar1->minimum(), 0);
  EXPECT_EQ(form.TrackBar1->maximum(), 19);
  EXPECT_EQ(form.TrackBar1->value(), 1);
  EXPECT_EQ(form.Label1->text(), "Interval : 60 ms");
  const std::pair<int, const char*> positions[] = {
      {19, "Interval : 600 ms"}, {0, "Interval : 30 ms"}, {9, "Interval : 300 ms"}};
  for (const auto& [position, label] : positions) {
    form.TrackBar1->setValue(position);
    EXPECT_EQ(form.Label1->text(), label);
  }
  QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
  EXPECT_EQ(timer.interval(), 60);

  TSensitiveForm again(timer);
  again.TrackBar1->setValue(19);
  QTest::mouseClick(again.BitBtn1, Qt::LeftButton);
  EXPECT_EQ(timer.interval(), 600);
  TSensitiveForm reopened(timer);
  EXPECT_EQ(reopened.TrackBar1->value(), 19);
  EXPECT_EQ(reopened.Label1->text(), "Interval : 600 ms");
}

class SystemMenuDialogsTest : public ::testing::Test {
 protected:
  SystemMenuDialogsTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
    FakePorts::Install(true, {0x378, 0x278});
  }
  ~SystemMenuDialogsTest() override {
    std::filesystem::current_path(previous_);
    FakePorts::Remove();
  }

  TempDir dir_;
  std::filesystem::path previous_;
};

TEST_F(SystemMenuDialogsTest, MenuEntriesOpenTheDialogsWithTheLinkTimerStopped) {
  TQZ_M_Form form;
  ASSERT_TRUE(form.FormCreate());
  std::vector<QString> opened;
  ScriptedModal modal([&](QDialog& dialog) {
    opened.push_back(dialog.windowTitle());
    EXPECT_FALSE(form.ConnectTimer->isActive());
    if (auto* port = qobject_cast<TPortSetupForm*>(&dialog)) {
      EXPECT_EQ(Entries(*port->PortListBox), QStringList({"0378", "0278"}));
      port->PortEdit->setText("278");
      port->BitBtn1Click();
    } else if (auto* sensitive = qobject_cast<TSensitiveForm*>(&dialog)) {
      sensitive->TrackBar1->setValue(3);
      sensitive->BitBtn1Click();
    }
  });
  form.ConnectPort1->trigger();
  form.Connect1->trigger();
  EXPECT_EQ(opened, std::vector<QString>({"Connecting Port Setup", "Sensitive Setup"}));
  EXPECT_EQ(form.LptBase, 0x278u);
  EXPECT_EQ(form.ConnectTimer->interval(), 120);
  EXPECT_TRUE(form.ConnectTimer->isActive());
  EXPECT_EQ(console::ReadDataPort(form.HistoryIniPath).value_or(0), 0x278u);
}

}  // namespace
