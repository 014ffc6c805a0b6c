#pragma once

#include <windows.h>

#include <string>

class TCustomImageList;

// What the tree and the band's window list read of other programs' windows. Neither ever
// destroys an icon handle it was given: those belong to the windows.

// The window's small icon: WM_GETICON small, then big (each waiting at most 1000 ms; a send that
// fails or times out gives no icon and asks nothing more), then the class's small icon. nullptr
// when the window has none.
HICON GetAppIcon(HWND window) noexcept;
// Adds a copy of `icon` to `list`: the index of the new image, -1 for no icon or one the list
// cannot take (a bogus handle from another program).
int AddBorrowedIcon(TCustomImageList* list, HICON icon) noexcept;
// The window's title, read with a buffer sized from its length and bounded, whatever the length
// does between the two calls; "" for an untitled or gone window.
std::string WindowTitle(HWND window);
