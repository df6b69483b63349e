// Reading the programmer's short commands and answering its key request.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/core/CommandPayloads.h"

namespace {

using namespace console;
using ::testing::ElementsAre;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// A 20-character LCD run: `text` padded with blanks.
std::array<uint8_t, 20> Line(const std::string& text) {
  std::array<uint8_t, 20> line;
  line.fill(' ');
  std::copy_n(text.begin(), std::min<size_t>(text.size(), 20), line.begin());
  return line;
}

std::vector<std::string> Items(int count) {
  std::vector<std::string> items;
  for (int k = 0; k < count; ++k) items.push_back(MenuItemText(k, "ITEM"));
  return items;
}

TEST(LcdPayloadTest, FullPayloadIsCopiedWithItsCursor) {
  std::vector<uint8_t> payload(81, 'x');
  payload[80] = 25;
  const LcdTextBlock block = LcdBlockFromPayload(payload);
  EXPECT_EQ(block[0], 'x');
  EXPECT_EQ(block[79], 'x');
  EXPECT_EQ(block[80], 25);
  EXPECT_EQ(block[81], 0);
  EXPECT_EQ(block[99], 0);
}

TEST(LcdPayloadTest, ShortPayloadShowsBlanksAndNoCursor) {
  const LcdTextBlock block = LcdBlockFromPayload(Bytes("HELLO"));
  EXPECT_EQ(std::string(block.begin(), block.begin() + 7), "HELLO  ");
  EXPECT_EQ(block[79], ' ');
  EXPECT_EQ(block[80], kNoCursor);

  std::vector<uint8_t> withoutCursor(80, 'y');
  EXPECT_EQ(LcdBlockFromPayload(withoutCursor)[80], kNoCursor);
  EXPECT_EQ(LcdBlockFromPayload({})[0], ' ');
}

TEST(LcdPayloadTest, BytesBeyondTheLayoutAreIgnored) {
  std::vector<uint8_t> payload(120, 'z');
  const LcdTextBlock block = LcdBlockFromPayload(payload);
  EXPECT_EQ(block[80], 'z');
  EXPECT_EQ(block[81], 0);
}

std::vector<uint8_t> MenuBytes(const std::string& title, const std::vector<std::string>& items) {
  std::vector<uint8_t> payload = Bytes(title);
  payload.resize(20, 0);
  payload.push_back(static_cast<uint8_t>(items.size()));
  for (const std::string& item : items) {
    std::vector<uint8_t> bytes = Bytes(item);
    bytes.resize(20, 0);
    payload.insert(payload.end(), bytes.begin(), bytes.end());
  }
  return payload;
}

TEST(MenuPayloadTest, TitleAndItemsEndAtTheirNul) {
  const MenuPayload menu = MenuFromPayload(MenuBytes("MAIN MENU", {"AUTO", "PROGRAM", "VERIFY"}));
  EXPECT_EQ(menu.title, "MAIN MENU");
  EXPECT_THAT(menu.items, ElementsAre("AUTO", "PROGRAM", "VERIFY"));
  EXPECT_EQ(MenuItemText(0, menu.items[0]), "[00]AUTO");
  EXPECT_EQ(MenuItemText(7, "X"), "[07]X");
  EXPECT_EQ(MenuItemText(123, "X"), "[123]X");
}

TEST(MenuPayloadTest, NoItemsLeavesOnlyTheTitle) {
  const MenuPayload menu = MenuFromPayload(MenuBytes("EMPTY", {}));
  EXPECT_EQ(menu.title, "EMPTY");
  EXPECT_TRUE(menu.items.empty());
}

TEST(MenuPayloadTest, TextsWithoutNulAreBoundedToTwentyCharacters) {
  std::vector<uint8_t> payload(20, 'T');
  payload.push_back(2);
  payload.insert(payload.end(), 20, 'A');
  payload.insert(payload.end(), 20, 'B');
  const MenuPayload menu = MenuFromPayload(payload);
  EXPECT_EQ(menu.title, std::string(20, 'T'));
  EXPECT_THAT(menu.items, ElementsAre(std::string(20, 'A'), std::string(20, 'B')));
}

TEST(MenuPayloadTest, ItemsArePulledOnlyAsFarAsThePayloadHoldsThem) {
  std::vector<uint8_t> payload = MenuBytes("M", {"ONE", "TWO"});
  payload[20] = 5;  // announces five
  EXPECT_THAT(MenuFromPayload(payload).items, ElementsAre("ONE", "TWO"));
  payload.resize(21 + 20 + 2);  // the second item cut after two characters
  EXPECT_THAT(MenuFromPayload(payload).items, ElementsAre("ONE", "TW"));
}

TEST(MenuPayloadTest, ShortHeaderGivesWhatTitleArrivedAndNoItems) {
  EXPECT_EQ(MenuFromPayload(Bytes("ABC")).title, "ABC");
  EXPECT_TRUE(MenuFromPayload(Bytes("ABC")).items.empty());
  EXPECT_TRUE(MenuFromPayload(std::vector<uint8_t>(20, 'T')).items.empty());
  EXPECT_EQ(MenuFromPayload({}).title, "");
}

TEST(MenuSyncTest, NumberedSelectedLinesNameTheirItem) {
  const std::vector<std::string> items = Items(15);
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "3.ERASE"), items).selectedItem, 3);
  EXPECT_EQ(SyncFromLcdLine(Line("\x05" "12 SETUP"), items).selectedItem, 12);
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "05"), items).selectedItem, 5);
  EXPECT_EQ(SyncFromLcdLine(Line(" 3.ERASE"), items).selectedItem, -1);  // no arrow mark
  EXPECT_EQ(SyncFromLcdLine(Line("\x02" "3.ERASE"), items).selectedItem, -1);
}

TEST(MenuSyncTest, NumbersThatNameNoItemSelectNothing) {
  const std::vector<std::string> items = Items(10);
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "3:ERASE"), items).selectedItem, -1);
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "3 ERASE"), items).selectedItem, -1);
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "12 SETUP"), items).selectedItem, -1);
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "9.LAST"), items).selectedItem, 9);
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "0.FIRST"), {}).selectedItem, -1);
}

// Any second character that is not a point counts as the second digit, as its code stands.
TEST(MenuSyncTest, AnySecondCharacterIsASecondDigit) {
  const std::vector<std::string> items = Items(60);
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "3:ERASE"), items).selectedItem, 40);
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "3 ERASE"), items).selectedItem, 14);
  EXPECT_EQ(SyncFromLcdLine(Line("\x05" "4A"), items).selectedItem, 57);
  // Numbers below 0 or past the list name no item.
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "0/"), items).selectedItem, -1);
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "1 "), items).selectedItem, -1);
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "5:"), items).selectedItem, -1);
}

TEST(MenuSyncTest, NamedLineSelectsTheItemWithTheSameFifteenCharacters) {
  const std::vector<std::string> items = {
      MenuItemText(0, "SHORT"),
      MenuItemText(1, "AT29C040A-PLCC32ABC"),  // 19 characters: its first 15 are compared
      MenuItemText(2, "AT29C040A-PLCC32XYZ"),
  };
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "AT29C040A-PLCC32"), items).selectedItem, 1);
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "SHORT"), items).selectedItem, -1);  // only 19-character texts match
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "AT29C040A-PLCC"), items).selectedItem, -1);  // a blank in column 15
  EXPECT_EQ(SyncFromLcdLine(Line("\x01" "AT29C040A-PLCC32"), {}).selectedItem, -1);
}

TEST(MenuSyncTest, NameEndsAtANul) {
  std::array<uint8_t, 20> line = Line("\x01" "SHORTNAME");
  line[10] = 0;
  // "SHORTNAME" is 9 characters: the item text that matches is 13 long.
  const std::vector<std::string> items = {MenuItemText(0, "SHORTNAME1234")};
  EXPECT_EQ(SyncFromLcdLine(line, items).selectedItem, 0);
}

TEST(MenuSyncTest, ToPcOnlyOnASelectedLineAndWhollyInside) {
  const std::vector<std::string> items = Items(8);
  const MenuLineSync sync = SyncFromLcdLine(Line("\x01" "6.READ (TO PC)"), items);
  EXPECT_TRUE(sync.toPc);
  EXPECT_EQ(sync.selectedItem, 6);
  EXPECT_FALSE(SyncFromLcdLine(Line(" 6.READ (TO PC)"), items).toPc);
  EXPECT_FALSE(SyncFromLcdLine(Line("\x01" "6.READ (TO P"), items).toPc);
  EXPECT_FALSE(SyncFromLcdLine(Line("\x01" "6.(A) (TO PC)"), items).toPc);  // the first '(' counts
  EXPECT_FALSE(SyncFromLcdLine(Line("\x01" "6.READ ALL    (TO P"), items).toPc);
  EXPECT_TRUE(SyncFromLcdLine(Line("\x01" "6.READ ALL  (TO PC)"), items).toPc);
}

TEST(JobResultTest, VerdictNeedsBothBytes) {
  EXPECT_EQ(JobResultFromPayload(std::vector<uint8_t>{1, 1}), 1);
  EXPECT_EQ(JobResultFromPayload(std::vector<uint8_t>{1, 0x80}), 1);
  EXPECT_EQ(JobResultFromPayload(std::vector<uint8_t>{1, 0}), -1);
  EXPECT_EQ(JobResultFromPayload(std::vector<uint8_t>{0, 1}), 0);
  EXPECT_EQ(JobResultFromPayload(std::vector<uint8_t>{2, 1}), 0);
  EXPECT_EQ(JobResultFromPayload(std::vector<uint8_t>{1}), 0);
  EXPECT_EQ(JobResultFromPayload({}), 0);
}

TEST(KeyReplyTest, NothingPending) {
  LinkState state;
  state.MenuSelection = kNoSelection;
  EXPECT_THAT(PrepareKeyReply(state), ElementsAre(0x00, 0xFF));
  KeyReplySent(state);
  EXPECT_EQ(state.PendingKey, kNoKey);
  EXPECT_EQ(state.MenuSelection, kNoSelection);
}

TEST(KeyReplyTest, KeyAloneIsSentAndCleared) {
  LinkState state;
  state.PendingKey = kEnterKey;
  state.MenuSelection = kNoSelection;
  EXPECT_THAT(PrepareKeyReply(state), ElementsAre(0x23, 0xFF));
  KeyReplySent(state);
  EXPECT_EQ(state.PendingKey, kNoKey);
}

TEST(KeyReplyTest, SelectionGoesFirstAndHoldsTheKeyBack) {
  LinkState state;
  state.PendingKey = kEnterKey;
  state.MenuSelection = 4;
  EXPECT_THAT(PrepareKeyReply(state), ElementsAre(0x00, 0x04));
  EXPECT_EQ(state.SelectionSentFirst, 1);
  KeyReplySent(state);
  EXPECT_EQ(state.PendingKey, kEnterKey);
  EXPECT_EQ(state.MenuSelection, kNoSelection);
  EXPECT_EQ(state.SelectionSentFirst, 0);
  EXPECT_THAT(PrepareKeyReply(state), ElementsAre(0x23, 0xFF));
  KeyReplySent(state);
  EXPECT_EQ(state.PendingKey, kNoKey);
}

TEST(KeyReplyTest, SelectionWithoutKey) {
  LinkState state;
  state.MenuSelection = 2;
  EXPECT_THAT(PrepareKeyReply(state), ElementsAre(0x00, 0x02));
  EXPECT_EQ(state.SelectionSentFirst, 0);
  KeyReplySent(state);
  EXPECT_EQ(state.MenuSelection, kNoSelection);
}

}  // namespace
