#pragma once

#include <windows.h>

// The exports of the probe library (library_probe.dll): framework code
// linked into a real DLL, driven by test_library_dll_win.cpp. Every export
// keeps exceptions inside (a failure answers 0 or nullptr).
extern "C" {
// Whether the framework has started inside the library.
using TProbeIsStarted = int (*)();
// Starts the framework on first use and creates the probe form as a child of
// Parent; answers its window.
using TProbeCreateForm = HWND (*)(HWND Parent);
// The library's view of itself: IsLibrary, its instance, the application window.
using TProbeIsLibrary = int (*)();
using TProbeInstance = HINSTANCE (*)();
using TProbeApplicationWindow = HWND (*)();
// How many times the form's handler of kProbeThrowMessage has thrown.
using TProbeThrowCount = int (*)();
// How many times the form's timer has fired (the host's loop dispatches it).
using TProbeTicks = int (*)();
// Frees the form and shuts the framework down (before FreeLibrary).
using TProbeFinish = void (*)();
}

// Sent to the probe form: its handler throws.
constexpr UINT kProbeThrowMessage = WM_APP + 1;
constexpr const char* kProbeFormClass = "TProbeForm";
