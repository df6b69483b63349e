#include "programmer/MenuModel.h"

#include <stdexcept>

namespace programmer {

namespace {

constexpr size_t kTextLength = 20;
constexpr size_t kMaxItems = 10;
constexpr size_t kWindowRows = kLcdRows - 1;

void AppendText(std::vector<uint8_t>& payload, const std::string& text) {
  payload.insert(payload.end(), text.begin(), text.end());
  payload.insert(payload.end(), kTextLength - text.size(), 0);
}

}  // namespace

MenuModel::MenuModel(std::string title, std::vector<std::string> items)
    : title_(std::move(title)), items_(std::move(items)) {
  if (items_.empty() || items_.size() > kMaxItems) throw std::invalid_argument("a menu holds 1 to 10 items");
  if (title_.size() > kTextLength) throw std::invalid_argument("menu title longer than 20 characters: " + title_);
  for (const std::string& item : items_)
    if (item.size() > kTextLength) throw std::invalid_argument("menu item longer than 20 characters: " + item);
}

void MenuModel::Up() {
  cursor_ = cursor_ == 0 ? items_.size() - 1 : cursor_ - 1;
  KeepCursorInWindow();
}

void MenuModel::Down() {
  cursor_ = cursor_ + 1 == items_.size() ? 0 : cursor_ + 1;
  KeepCursorInWindow();
}

bool MenuModel::Select(size_t index) {
  if (index >= items_.size()) return false;
  cursor_ = index;
  KeepCursorInWindow();
  return true;
}

void MenuModel::KeepCursorInWindow() {
  if (cursor_ < top_) top_ = cursor_;
  if (cursor_ >= top_ + kWindowRows) top_ = cursor_ + 1 - kWindowRows;
}

std::vector<uint8_t> MenuModel::Payload() const {
  std::vector<uint8_t> payload;
  AppendText(payload, title_);
  payload.push_back(static_cast<uint8_t>(items_.size()));
  for (const std::string& item : items_) AppendText(payload, item);
  return payload;
}

void MenuModel::Render(LcdScreen& lcd) const {
  lcd.Clear();
  lcd.SetLine(0, title_);
  for (size_t row = 0; row < kWindowRows && top_ + row < items_.size(); ++row) {
    const size_t index = top_ + row;
    const char mark = index == cursor_ ? static_cast<char>(kSelectedLineMark) : ' ';
    const std::string line = std::string(1, mark) + static_cast<char>('0' + index) + '.' + items_[index];
    lcd.SetLine(static_cast<int>(row + 1), line);
    if (index == cursor_) lcd.SetCursor(static_cast<int>(row + 1), 0);
  }
}

}  // namespace programmer
