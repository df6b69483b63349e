#include "console/AboutUnit1.h"

// The about box is not built yet: nothing is shown.
void ShowAboutBox1() {}
