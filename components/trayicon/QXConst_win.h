#pragma once

#include "framework/core/Types.h"

// The notification icon's two cursors in the screen's cursor table, loaded
// from the program's resources "QX_HANDCUR" and "QX_DRAGCUR".
inline constexpr TCursor crQxHand = 14000;
inline constexpr TCursor crQxDrag = 14001;

// Installs the cursors that the program's module holds (a missing resource
// leaves its slot alone, so the screen answers the arrow). Needs the screen.
void InstallQxCursors();
// Asks the library to run InstallQxCursors at start-up with the other
// components; call before Startup().
void RegisterQxConstStartup();
