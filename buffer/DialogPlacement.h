#pragma once
// Every dialog of the buffer editor opens centred on the desktop.
class QWidget;

namespace buffer {

// Left = desktop left + (desktop width - width) / 2, top likewise, each division
// truncating toward zero.
int CentredOrigin(int desktopOrigin, int desktopExtent, int extent);

// Moves the widget to the centre of the primary screen.
void CentreOnDesktop(QWidget* widget);

}  // namespace buffer
