#pragma once
// The "About Software." box, shown modally.
void ShowAboutBox1();
