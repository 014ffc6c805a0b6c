#pragma once

#include <windows.h>

#include <string>

// The seam between window handles and objects: one window procedure for
// every window of the library, the HWND → object link, class registration.

// The module the library is linked into: the exe, or the DLL in library mode.
HINSTANCE LibraryInstance() noexcept;
// True when linked into a DLL (the module is not the process's exe).
bool IsLibrary() noexcept;

// The window procedure of every window the library makes or subclasses.
// Exceptions never leave it: they go to the reporter (the application's
// HandleException). Messages of the library's private range arriving
// through the window system are dropped.
LRESULT CALLBACK FrameworkWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

// Registers a window class of the library (FrameworkWndProc, no background
// brush, arrow cursor) once; later calls for the same name do nothing.
void RegisterFrameworkClass(const std::string& Name, UINT Style);
// Unregisters every class registered above (before a DLL unloads: the
// classes would outlive the module's window procedure).
void UnregisterFrameworkClasses() noexcept;
