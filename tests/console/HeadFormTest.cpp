#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "console/AboutUnit1.h"
#include "console/ModalRun.h"
#include "console/Qz_M_Unit.h"
#include "console/SPLASHFORM.h"
#include "tests/console/HandTimers.h"
#include "tests/support/FakePorts.h"
#include "tests/support/TempDir.h"

namespace {

// Runs modal forms through `act` and notes their titles.
class ModalScript {
 public:
  explicit ModalScript(std::function<void(QDialog&)> act)
      : previous_(console::SetModalRunner([this, act](QDialog& form) {
          shown.push_back(&form);
          act(form);
          return form.result();
        })) {}
  ~ModalScript() { console::SetModalRunner(previous_); }
  std::vector<QDialog*> shown;

 private:
  console::ModalRunner previous_;
};

// Esc, a dialog's usual way out, leaves both uses of the picture open; the splash closes on
// its timer, the About picture on a click on the picture but not on the scrolling text.
TEST(HeadFormTest, EscLeavesThePictureOpenAndOnlyItsTimerOrAClickClosesIt) {
  struct Case {
    int flag;
    bool timerRuns;
    std::function<void(THeadForm&, HandTimer&)> close;
  };
  const std::vector<Case> cases = {
      {1, true, [](THeadForm&, HandTimer& timer) { timer.Tick(); }},
      {0, false, [](THeadForm& form, HandTimer&) {
         QTest::mouseClick(form.ScrollText1, Qt::LeftButton);
         EXPECT_TRUE(form.isVisible()) << "a press on the text is the text's own";
         QTest::mouseClick(form.Image1, Qt::LeftButton, {}, QPoint(50, 50));
       }},
  };
  for (const Case& c : cases) {
    HandTimers timers;
    int shown = 0;
    ModalScript script([&](QDialog& dialog) {
      ++shown;
      auto& form = static_cast<THeadForm&>(dialog);
      EXPECT_EQ(form.size(), QSize(443, 316));
      EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
      EXPECT_EQ(form.Image1->geometry(), QRect(-4, -4, 448, 320));
      EXPECT_EQ(form.ScrollText1->geometry(), QRect(8, 196, 381, 115));
      const console::ScrollTextModel& text = form.ScrollText1->Model();
      EXPECT_EQ(text.Steps(), 500);
      EXPECT_EQ(text.Speed(), 100);
      EXPECT_EQ(text.ScrollDirection(), console::TScrollDirection::sdBottomToTop);
      EXPECT_TRUE(text.Scrolling());
      form.show();
      ASSERT_EQ(timers.made.size(), 1u);
      EXPECT_EQ(form.Timer1->IsRunning(), c.timerRuns) << c.flag;
      EXPECT_EQ(form.Timer1->Interval(), 2000);
      QTest::keyClick(&form, Qt::Key_Escape);
      EXPECT_TRUE(form.isVisible()) << c.flag;
      c.close(form, *timers.made[0]);
      EXPECT_FALSE(form.isVisible()) << c.flag;
      EXPECT_FALSE(form.Timer1->IsRunning());
    });
    ShowHeadForm(c.flag, timers.Factory());
    EXPECT_EQ(shown, 1);
  }
  EXPECT_EQ(MakeHeadPicture().size(), QSize(448, 320));
}

TEST(AboutBoxTest, ShowsTheProductAndClosesWithOk) {
  ModalScript script([](QDialog& dialog) {
    auto& box = static_cast<TAboutBox1&>(dialog);
    EXPECT_EQ(box.windowTitle(), "About Software.");
    EXPECT_EQ(box.size(), QSize(236, 181));
    EXPECT_EQ(box.ProductName->text(), "GANG PROGRAMMER");
    EXPECT_TRUE(box.ProductName->font().bold());
    EXPECT_EQ(box.Version->text(), "Version : 9.20");
    EXPECT_EQ(box.Copyright->text(), "Zorv Electronic Co., Ltd.");
    EXPECT_TRUE(box.Comments->wordWrap());
    EXPECT_TRUE(box.OKButton->isDefault());
    QTest::mouseClick(box.OKButton, Qt::LeftButton);
    EXPECT_EQ(box.result(), QDialog::Accepted);
  });
  ShowAboutBox1();
  EXPECT_EQ(script.shown.size(), 1u);
}

class StartSplashTest : public ::testing::Test {
 protected:
  StartSplashTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
    FakePorts::Install(true, {0x378});
  }
  ~StartSplashTest() override {
    std::filesystem::current_path(previous_);
    FakePorts::Remove();
  }
  TempDir dir_;
  std::filesystem::path previous_;
};

TEST_F(StartSplashTest, StartShowsTheSplashUnlessOemAndTheMenuOpensBothAboutWindows) {
  std::vector<std::string> shown;
  ModalScript script([&](QDialog& dialog) {
    const bool splash = qobject_cast<THeadForm*>(&dialog) != nullptr;
    shown.push_back(splash ? (static_cast<THeadForm&>(dialog).Timer1->IsRunning() ? "splash" : "about")
                           : dialog.windowTitle().toStdString());
  });
  TQZ_M_Form form;
  ASSERT_TRUE(form.FormCreate());
  form.About2->trigger();
  form.Aboutsoftware1->trigger();
  EXPECT_EQ(shown, std::vector<std::string>({"splash", "about", "About Software."}));

  dir_.Write("OEM.INI", "[OEM]\nISOEM=2\n");
  shown.clear();
  TQZ_M_Form oem;
  ASSERT_TRUE(oem.FormCreate());
  EXPECT_TRUE(shown.empty());
}

}  // namespace
