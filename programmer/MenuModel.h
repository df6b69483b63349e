#pragma once
// A menu of the programmer's firmware: a title, up to ten items numbered 0..9 on the LCD, and
// the item under the cursor. The LCD shows the title and a window of three items, the one
// under the cursor marked with an arrow; the PC gets the whole menu as one menu command.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "programmer/LcdScreen.h"

namespace programmer {

inline constexpr uint8_t kSelectedLineMark = 0x01;

class MenuModel {
 public:
  // Throws std::invalid_argument for an empty menu, more than ten items, or a text longer
  // than the 20 characters the menu command carries.
  MenuModel(std::string title, std::vector<std::string> items);

  const std::string& title() const { return title_; }
  const std::vector<std::string>& items() const { return items_; }
  size_t cursor() const { return cursor_; }

  // The arrows wrap round at either end.
  void Up();
  void Down();
  // Moves the cursor to `index`; false (and no move) when there is no such item.
  bool Select(size_t index);

  // The menu command's payload: the title in 20 bytes, the item count, each item in 20.
  std::vector<uint8_t> Payload() const;
  // Draws the menu: the title on line 0, three items below, the cursor on the marked line.
  void Render(LcdScreen& lcd) const;

 private:
  void KeepCursorInWindow();

  std::string title_;
  std::vector<std::string> items_;
  size_t cursor_ = 0;
  size_t top_ = 0;  // the first item in the LCD's window
};

}  // namespace programmer
