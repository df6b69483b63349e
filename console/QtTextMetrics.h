#pragma once
// A font's measures as the console's Qt-free layouts ask for them. Texts are Latin-1.
#include <QFontMetrics>
#include <QString>
#include <string>

#include "console/core/ScrollText.h"

namespace console {

class QtTextMetrics : public TextMetrics {
 public:
  explicit QtTextMetrics(const QFont& font) : metrics_(font) {}
  void SetFont(const QFont& font) { metrics_ = QFontMetrics(font); }
  int LineHeight() const override { return metrics_.height(); }
  int TextWidth(const std::string& text) const override {
    return metrics_.horizontalAdvance(QString::fromLatin1(text.data(), qsizetype(text.size())));
  }

 private:
  QFontMetrics metrics_;
};

}  // namespace console
