#include <gtest/gtest.h>

#include "buffer/core/Messages.h"
#include "platform/winapi/ScriptedMessageBoxes.h"

namespace {

using namespace buffer;
using winapi::ScriptedMessageBoxes;

TEST(MessagesTableTest, EveryBoxShowsItsExactTextCaptionAndFlags) {
  struct Expected {
    Message message;
    const char* text;
    const char* caption;
    unsigned flags;
  };
  const Expected table[] = {
      {messages::kHistoryFileError, "History File Error !", "Get Check Sum", 0x10},
      {messages::kMemoryError, "MEMORY ERROR.", "GET SUM DIALOG", 0x00},
      {messages::kValueNotBelowLimit, "Input Value Error !", "ERROR", 0x10},
      {messages::kStartNotBelowEnd, "Input Value Error !", "Error", 0x10},
      {messages::kFileNotFound, "Not Found File ! ", "ERROR", 0x10},
  };
  ScriptedMessageBoxes boxes;
  for (const auto& row : table) ShowMessage(row.message);
  ASSERT_EQ(boxes.boxes().size(), std::size(table));
  for (size_t i = 0; i < std::size(table); ++i) {
    EXPECT_EQ(boxes.boxes()[i].text, table[i].text);
    EXPECT_EQ(boxes.boxes()[i].caption, table[i].caption);
    EXPECT_EQ(boxes.boxes()[i].flags, table[i].flags);
  }
}

TEST(MessagesTableTest, TheIcSizeTextQuotesThePathAndTheOwnerIsPassedOn) {
  ScriptedMessageBoxes boxes;
  int owner = 0;
  boxes.Answer(winapi::IDOK);
  EXPECT_EQ(ShowMessage(messages::kIcSizeError, "None\\ini\\None", &owner), winapi::IDOK);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "IC SIZE ERROR IN \"None\\ini\\None\" FILE.");
  EXPECT_EQ(boxes.boxes()[0].caption, "Error !");
  EXPECT_EQ(boxes.boxes()[0].flags, 0u);
  EXPECT_EQ(boxes.boxes()[0].owner, &owner);
}

}  // namespace
