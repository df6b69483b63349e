#pragma once
// A file's text as the hex readers walk it: a position over the bytes, with the line and
// column of any position worked out when an error needs them (counting lines on every
// character would slow the readers down for nothing).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace formats {

struct TextLocation {
  int32_t line = 1;    // 1-based; a line ends at LF (CR LF counts once)
  int32_t column = 1;  // 1-based
};

// What is wrong with a file, and where.
struct FormatError {
  std::string file;
  TextLocation at;
  std::string reason;

  // "<file>, line <n>, column <c>: <reason>"
  std::string Describe() const;
};

class TextSource {
 public:
  static constexpr int kEnd = -1;

  TextSource(std::string_view name, std::span<const uint8_t> text) : name_(name), text_(text) {}

  const std::string& Name() const { return name_; }
  std::span<const uint8_t> Text() const { return text_; }
  size_t Size() const { return text_.size(); }
  size_t Position() const { return position_; }
  void Seek(size_t position) { position_ = position < text_.size() ? position : text_.size(); }
  bool AtEnd() const { return position_ >= text_.size(); }
  size_t Remaining() const { return text_.size() - position_; }

  // The character at the position, kEnd past the end.
  int Peek() const { return AtEnd() ? kEnd : text_[position_]; }
  int PeekAt(size_t offset) const {
    return position_ + offset < text_.size() ? text_[position_ + offset] : kEnd;
  }
  // The character at the position, then one further.
  int Next() { return AtEnd() ? kEnd : text_[position_++]; }
  void Skip(size_t n) { Seek(position_ + n); }

  // Moves to the next occurrence of c at or after the position; false (at the end) when
  // there is none.
  bool Find(char c) {
    if (AtEnd()) return false;
    const void* hit = std::memchr(text_.data() + position_, c, text_.size() - position_);
    if (!hit) {
      position_ = text_.size();
      return false;
    }
    position_ = static_cast<size_t>(static_cast<const uint8_t*>(hit) - text_.data());
    return true;
  }

  TextLocation LocationOf(size_t position) const;
  FormatError ErrorAt(size_t position, std::string reason) const {
    return {name_, LocationOf(position), std::move(reason)};
  }
  FormatError ErrorHere(std::string reason) const { return ErrorAt(position_, std::move(reason)); }

 private:
  std::string name_;
  std::span<const uint8_t> text_;
  size_t position_ = 0;
};

}  // namespace formats
