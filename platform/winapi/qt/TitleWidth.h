#pragma once
// The window system shortens a title that does not fit, so a small window would show its
// caption as "...". Windows that must show their whole title reserve this width.
class QWidget;

namespace winapi {

// The width of the window's title bar with the whole title, its icon and buttons, in pixels.
int TitleBarWidth(const QWidget& window);

}  // namespace winapi
