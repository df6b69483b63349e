// The link tick's bookkeeping as a state machine, driven by scripted poll results.
#include <gtest/gtest.h>

#include <limits>

#include "console/core/ConnectionDisplay.h"
#include "link/Io_1.h"

namespace {

using namespace console;

class ConnectionDisplayTest : public ::testing::Test {
 protected:
  void Tick(int pollResult, uint32_t interval = 60) { CountPollResult(state_, display_, pollResult, interval); }
  void NoAnswer(int ticks) {
    for (int i = 0; i < ticks; ++i) Tick(qzlink::kPollNoAnswer);
  }

  LinkState state_;
  ConnectionDisplay display_;
};

TEST_F(ConnectionDisplayTest, GaugeClimbsThroughItsColoursUntilTheLinkCountsAsLost) {
  struct Step {
    int tick;
    int gauge;
    Rgb colour;
    const char* caption;
  };
  const Step steps[] = {
      {1, 4, kTeal, kWaitingCaption},       {12, 48, kTeal, kWaitingCaption},
      {13, 52, kLime, kWaitingCaption},     {24, 96, kLime, kWaitingCaption},
      {25, 100, kYellow, kWaitingCaption},  {37, 148, kYellow, kWaitingCaption},
      {38, 152, kRed, kWaitingCaption},     {49, 196, kRed, kWaitingCaption},
      {50, 200, kRed, kWaitingCaption},     {51, 200, kRed, kDisconnectingCaption},
      {60, 200, kRed, kDisconnectingCaption},
  };
  int done = 0;
  for (const Step& step : steps) {
    NoAnswer(step.tick - done);
    done = step.tick;
    SCOPED_TRACE(step.tick);
    EXPECT_EQ(display_.gauge, step.gauge);
    EXPECT_EQ(display_.gaugeColour, step.colour);
    EXPECT_EQ(display_.caption, step.caption);
  }
  EXPECT_EQ(display_.panelColour, kRed);
  EXPECT_EQ(state_.NoAnswerTime, 3600u);
}

TEST_F(ConnectionDisplayTest, FullGaugeKeepsWhateverColourItHas) {
  NoAnswer(49);
  display_.gaugeColour = kTeal;  // as a transfer leaves it
  NoAnswer(1);
  EXPECT_EQ(display_.gauge, 200);
  EXPECT_EQ(display_.gaugeColour, kTeal);
}

TEST_F(ConnectionDisplayTest, IdleAnswersBlinkEverySecondTick) {
  std::vector<Rgb> colours;
  for (int i = 0; i < 6; ++i) {
    Tick(qzlink::kPollIdle);
    colours.push_back(display_.panelColour);
  }
  EXPECT_EQ(colours, (std::vector<Rgb>{kBlue, kGreen, kGreen, kBlue, kBlue, kGreen}));
  EXPECT_EQ(display_.caption, kConnectingCaption);
  EXPECT_EQ(state_.AliveTime, 0u);
}

TEST_F(ConnectionDisplayTest, CommandsBlinkEverySixthTick) {
  for (int i = 1; i <= 5; ++i) Tick(qzlink::kPollHasCommand);
  EXPECT_EQ(display_.caption, kWaitingCaption);
  EXPECT_EQ(state_.AliveTime, 300u);
  Tick(qzlink::kPollHasCommand);
  EXPECT_EQ(display_.caption, kConnectingCaption);
  EXPECT_EQ(display_.panelColour, kGreen);
}

TEST_F(ConnectionDisplayTest, LongIntervalBlinksAtEveryIdleTick) {
  Tick(qzlink::kPollIdle, 600);
  EXPECT_EQ(display_.panelColour, kGreen);
  Tick(qzlink::kPollIdle, 600);
  EXPECT_EQ(display_.panelColour, kBlue);
}

TEST_F(ConnectionDisplayTest, AnswerAfterLossEmptiesTheGaugeButKeepsTheRedPanelUntilTheBlink) {
  NoAnswer(55);
  state_.AliveTime = 120;  // kept while nobody answers
  Tick(qzlink::kPollIdle);
  EXPECT_EQ(display_.gauge, 0);
  EXPECT_EQ(display_.gaugeColour, kRed);
  EXPECT_EQ(state_.NoAnswerTime, 0u);
  EXPECT_EQ(display_.caption, kConnectingCaption);  // 120 + 300 > 300
  EXPECT_EQ(display_.panelColour, kBlue);           // red is not blue

  NoAnswer(55);
  Tick(qzlink::kPollIdle);
  EXPECT_EQ(display_.caption, kDisconnectingCaption);
  EXPECT_EQ(display_.panelColour, kRed);
  Tick(qzlink::kPollIdle);
  EXPECT_EQ(display_.caption, kConnectingCaption);
  EXPECT_EQ(display_.panelColour, kBlue);
}

TEST_F(ConnectionDisplayTest, NoAnswerTimeSaturatesInsteadOfWrapping) {
  state_.NoAnswerTime = std::numeric_limits<uint32_t>::max() - 10;
  Tick(qzlink::kPollNoAnswer);
  EXPECT_EQ(state_.NoAnswerTime, std::numeric_limits<uint32_t>::max());
  Tick(qzlink::kPollNoAnswer);
  EXPECT_EQ(state_.NoAnswerTime, std::numeric_limits<uint32_t>::max());
  EXPECT_EQ(display_.caption, kDisconnectingCaption);
  EXPECT_EQ(display_.gauge, 200);
}

TEST_F(ConnectionDisplayTest, PollCodeTellsTheProgrammerAboutAWaitingKey) {
  EXPECT_EQ(PollCodeFor(state_), qzlink::kPollCode);
  state_.PendingKey = kEnterKey;
  EXPECT_EQ(PollCodeFor(state_), qzlink::kPollCodeKeyWaiting);
  state_.PendingKey = -5;  // signed compare: not a key
  EXPECT_EQ(PollCodeFor(state_), qzlink::kPollCode);
}

}  // namespace
