// Native twin of SysUtils_win.cpp.
#include "framework/core/SysUtils.h"

int Win32Platform() { return 2; }
