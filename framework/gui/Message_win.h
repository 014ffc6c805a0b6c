#pragma once

#include <windows.h>

#include "framework/core/Events.h"

// One window message as the class library's window procedures see it. A
// handler fills Result; it starts at 0.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// A control's replaceable window procedure (TControl::WindowProc). It can
// be saved and chained: install a new one, call the saved one from it.
using TWndMethod = TDelegate<void(TMessage& Message)>;
