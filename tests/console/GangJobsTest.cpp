// GANG TOOLS without widgets: the queue's order, the file masks, the time-out's text and bar,
// the jobs' ends (a stray result, a result inside a box), Start's keys, and the
// report's bytes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "console/core/GangJobs.h"
#include "platform/winapi/IniFile.h"
#include "platform/winapi/ScriptedMessageBoxes.h"
#include "tests/support/TempDir.h"

namespace {

using namespace console;
using ::testing::ElementsAre;

std::vector<std::string> Names(const JobQueue& queue) {
  std::vector<std::string> names;
  for (const QueuedFile& file : queue.items()) names.push_back(file.name);
  return names;
}

std::vector<QueuedFile> Files(std::initializer_list<const char*> names, const std::string& folder = "/d") {
  std::vector<QueuedFile> files;
  for (const char* name : names) files.push_back({name, folder});
  return files;
}

TEST(JobQueueTest, SortedWithoutCaseWhileSortingElseInTheOrderOfAdding) {
  JobQueue queue;
  queue.Add(Files({"b.bin", "a.bin"}));
  EXPECT_THAT(Names(queue), ElementsAre("a.bin", "b.bin"));
  queue.Add(Files({"B.BIN", "A2.bin", "a.bin"}, "/other"));
  // Equal names keep their order of adding, each after those queued before.
  EXPECT_THAT(Names(queue), ElementsAre("a.bin", "a.bin", "A2.bin", "b.bin", "B.BIN"));
  EXPECT_EQ(queue.items()[1].folder, "/other");
  EXPECT_EQ(queue.items()[1].Path(), "/other/a.bin");

  queue.SetSorting(false);
  queue.Add(Files({"0.bin"}));
  EXPECT_THAT(Names(queue), ElementsAre("a.bin", "a.bin", "A2.bin", "b.bin", "B.BIN", "0.bin"));
  queue.Remove({5, 0, 99, 0});
  EXPECT_THAT(Names(queue), ElementsAre("a.bin", "A2.bin", "b.bin", "B.BIN"));
  queue.PopFront();
  queue.SetSorting(true);
  queue.Add(Files({"c"}));
  EXPECT_THAT(Names(queue), ElementsAre("A2.bin", "b.bin", "B.BIN", "c"));
  queue.Clear();
  EXPECT_TRUE(queue.empty());
}

TEST(JobQueueTest, MasksMatchWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* mask;
    bool matches;
  };
  for (const Case& c : std::initializer_list<Case>{{"ROM.BIN", "*.bin", true},
                                                   {"rom.bin.bak", "*.bin", false},
                                                   {"README", "*.*", true},
                                                   {"a.Mot", "*.mot", true},
                                                   {"x.upd", "?.UPD", true},
                                                   {"xy.upd", "?.upd", false},
                                                   {"a.b.rom", "*.rom", true},
                                                   {"bin", "*.bin", false}})
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " " << c.mask;
  const std::vector<FilterEntry> filter = ParseFilter(kGangToolFilter);
  ASSERT_EQ(filter.size(), 5u);
  EXPECT_EQ(filter[0].description, "All files (*.*)");
  EXPECT_EQ(filter[4].mask, "*.rom");
}

TEST(TimeOutTest, TextGivesTheLimitAndTheEditsVerdict) {
  struct Case {
    std::string text;
    uint32_t ms;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"", 1000, true},           {"0", 1000, true},         {"5", 5000, true},
      {"10000", 10000000, true},  {"12a", 12000, false},     {"20000", 20000000, false},
      {"4294968", UINT32_MAX, false},  // x1000 would overflow
      {"99999999999999999999", UINT32_MAX, false},  // the digits alone would
      {"00000000000000000000300", 300000, true},    {" 3", 1000, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JobTimeOutMs(c.text), c.ms) << c.text;
    EXPECT_EQ(TimeOutTextAccepted(c.text), c.accepted) << c.text;
  }
  winapi::ScriptedMessageBoxes boxes;
  EXPECT_EQ(CheckTimeOutEntry("12a"), "300");
  EXPECT_EQ(CheckTimeOutEntry("10000"), std::nullopt);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Input error !");
  EXPECT_EQ(boxes.boxes()[0].caption, "Error");
}

TEST(TimeOutTest, BarStepsEveryTwoHundredthOfTheLimitInTheGaugesColours) {
  struct Case {
    uint32_t elapsed;
    uint32_t limit;
    int progress;
    Rgb colour;
  };
  for (const Case& c : std::initializer_list<Case>{{1499, 300000, 0, kTeal},
                                                   {1500, 300000, 1, kTeal},
                                                   {75000, 300000, 50, kLime},
                                                   {149999, 300000, 99, kLime},
                                                   {150000, 300000, 100, kYellow},
                                                   {225000, 300000, 150, kRed},
                                                   {300000, 300000, 200, kBlue},  // full keeps its colour
                                                   {5000, 5000, 200, kBlue},
                                                   {4975, 5000, 199, kRed}}) {
    const TimeOutBar bar = TimeOutBarFor(c.elapsed, c.limit, kBlue);
    EXPECT_EQ(bar.progress, c.progress) << c.elapsed;
    EXPECT_EQ(bar.colour, c.colour) << c.elapsed;
  }
}

TEST(GangReportTest, ReportHasTheBannerHeaderAndTabbedRows) {
  const std::vector<ResultRow> rows = {{"a.bin", "0012AB34", "Finished"}, {"%s%n.bin", "FFFFFFFF", "Fail"}};
  const std::string expected =
      "This file is generated by Gang Programmer.\t12/9/26\n\n"
      "File Name\t\tCheck Sum\t\tStatus\n\n"
      "a.bin\t\t0012AB34\t\tFinished\n"
      "%s%n.bin\t\tFFFFFFFF\t\tFail\n";
  TempDir dir;
  EXPECT_EQ(WriteReport(dir.File("r.txt"), rows, "12/9/26"), std::nullopt);
  EXPECT_EQ(dir.Read("r.txt"), expected);
  EXPECT_EQ(WriteReport(dir.File("r.txt"), {}, "x"), std::nullopt);  // truncated
  EXPECT_EQ(dir.Read("r.txt"), "This file is generated by Gang Programmer.\tx\n\nFile Name\t\tCheck Sum\t\tStatus\n\n");
  const std::optional<std::string> error = WriteReport(dir.File("no/such/dir/r.txt"), rows, "x");
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->find(dir.File("no/such/dir/r.txt")), std::string::npos);
}

class FakeSite : public GangJobSite {
 public:
  bool MayStartJob() override {
    if (busy) return false;
    ++generation;
    return true;
  }
  uint32_t JobGeneration() const override { return generation; }
  bool LoadFile() override {
    ++loads;
    return true;
  }
  uint32_t ShowBufferInfo() override { return sum; }
  void PressEnter() override { ++enters; }
  bool LinkConnected() const override { return connected; }

  bool busy = false;
  uint32_t generation = 0;
  int loads = 0;
  uint32_t sum = 0x12AB34;
  int enters = 0;
  bool connected = true;
};

class GangJobsTest : public ::testing::Test {
 protected:
  GangJobsTest() {
    dir_.Write("a.bin", "AAAA");
    dir_.Write("b.bin", "BB");
    queue_.Add(Files({"b.bin", "a.bin"}, dir_.path().string()));
  }
  bool Start() { return jobs_.Start(queue_, settings_); }
  std::vector<std::string> Statuses() const {
    std::vector<std::string> statuses;
    for (const ResultRow& row : jobs_.rows()) statuses.push_back(row.status);
    return statuses;
  }
  // Time-out ticks of one second until a box shows.
  void TickUntilBox(const char* text) {
    for (int i = 0; i < 20 && boxes_.boxes().empty(); ++i) jobs_.TimeOutTick(1000, text);
  }

  TempDir dir_;
  std::string settings_ = dir_.File("History.ini");
  winapi::ScriptedMessageBoxes boxes_;
  FakeSite site_;
  GangJobs jobs_{site_};
  JobQueue queue_;
};

TEST_F(GangJobsTest, StartLoadsTheFirstFileWithItsKeysAndAResultEndsOnlyARunningJob) {
  EXPECT_TRUE(Start());
  EXPECT_EQ(TIniFile(settings_).ReadSection("LoadDlg"),
            (std::vector<std::string>{"SourceSAdd", "SourceEAdd", "DistSAdd", "UserFill", "Format",
                                      "UnuserFillCheck", "Name", "OK", "EvenOdd"}));
  const TIniFile ini(settings_);
  EXPECT_EQ(ini.ReadInteger("LoadDlg", "SourceEAdd", 0), 3);  // the last byte of a.bin
  EXPECT_EQ(ini.ReadInteger("LoadDlg", "UserFill", 0), 255);
  EXPECT_EQ(ini.ReadString("LoadDlg", "Name", ""), dir_.File("a.bin"));
  EXPECT_EQ(jobs_.rows(), (std::vector<ResultRow>{{"a.bin", "0012AB34", "Processing"}}));
  EXPECT_THAT(Names(queue_), ElementsAre("b.bin"));
  EXPECT_EQ(site_.enters, 1);
  EXPECT_TRUE(jobs_.running());
  EXPECT_TRUE(jobs_.timerEnabled());
  EXPECT_FALSE(Start());  // one job at a time

  jobs_.SetJobResult(-1);
  EXPECT_FALSE(jobs_.running());
  EXPECT_FALSE(jobs_.timerEnabled());
  jobs_.SetJobResult(1);  // stray: the row keeps its verdict
  EXPECT_THAT(Statuses(), ElementsAre("Fail"));

  EXPECT_TRUE(jobs_.ReDo());
  EXPECT_EQ(jobs_.rows().back(), (ResultRow{"a.bin", "0012AB34", "Processing"}));
  EXPECT_EQ(site_.loads, 1);  // not reloaded
  jobs_.SetJobResult(0);
  EXPECT_THAT(Statuses(), ElementsAre("Fail", "Time out"));
  site_.busy = true;  // a transaction runs
  EXPECT_FALSE(jobs_.ReDo());
  EXPECT_FALSE(Start());
  EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(GangJobsTest, TimeOutWaitsWhileConnectedAndEndsTheJobWhenTheLinkIsGone) {
  Start();
  jobs_.TimeOutTick(1000, "2");
  EXPECT_EQ(jobs_.bar().progress, 100);
  TickUntilBox("2");
  EXPECT_EQ(jobs_.JobElapsed(), 0u);  // the 3rd tick: another full period
  EXPECT_TRUE(jobs_.timerEnabled());
  ASSERT_EQ(boxes_.boxes().size(), 1u);
  EXPECT_EQ(boxes_.boxes()[0].text, "Time out!!\n\nChecking connection..");
  EXPECT_EQ(boxes_.boxes()[0].caption, "Warning");

  site_.connected = false;
  boxes_.Clear();
  for (int i = 0; i < 3; ++i) jobs_.TimeOutTick(1000, "2");
  ASSERT_EQ(boxes_.boxes().size(), 2u);
  EXPECT_EQ(boxes_.boxes()[1].text, " Missing connection!! ");
  EXPECT_EQ(boxes_.boxes()[1].caption, "Error");
  EXPECT_THAT(Statuses(), ElementsAre("Time out"));
  EXPECT_FALSE(jobs_.timerEnabled());
}

// The link keeps ticking while a box is open: the result that comes then stands, and no new
// job starts from the test timer meanwhile.
TEST_F(GangJobsTest, ResultInsideTheWarningBoxStandsAndStartsNothing) {
  Start();
  int startsInBox = 0;
  boxes_.WhileShown([&](const winapi::ShownBox&) {
    jobs_.SetJobResult(1);
    if (jobs_.TestRound(true, false, queue_, settings_)) ++startsInBox;
  });
  site_.connected = false;
  TickUntilBox("1");
  EXPECT_EQ(boxes_.boxes().size(), 1u);  // no "Error" box for an ended job
  EXPECT_THAT(Statuses(), ElementsAre("Finished"));
  EXPECT_FALSE(jobs_.timerEnabled());
  EXPECT_EQ(startsInBox, 0);
  EXPECT_THAT(Names(queue_), ElementsAre("b.bin"));

  // Outside a box the test round starts the next job, but not while a modal window is open.
  EXPECT_FALSE(jobs_.TestRound(true, true, queue_, settings_));
  EXPECT_FALSE(jobs_.TestRound(false, false, queue_, settings_));
  EXPECT_TRUE(jobs_.TestRound(true, false, queue_, settings_));
  EXPECT_EQ(jobs_.rows().back().fileName, "b.bin");
}

}  // namespace
