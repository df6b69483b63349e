#include "console/SPLASHFORM.h"

// The picture window is not built yet: nothing is shown.
void ShowHeadForm(int) {}
