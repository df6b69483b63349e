#pragma once
// The splash and "About" picture window. Flag 1: the start-up splash, closing itself after
// two seconds; flag 0: stays until clicked.
void ShowHeadForm(int flag);
