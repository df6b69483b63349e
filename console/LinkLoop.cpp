#include "console/Qz_M_Unit.h"

// The link tick: polls the programmer and serves its command. Not wired to the link yet.
void TQZ_M_Form::ConnectTimerTimer() {}

// The idle flag's one-shot. Not wired to the link yet.
void TQZ_M_Form::IdleTimerTimer() {}
