#pragma once
// Windows of other processes for the Windows benchmarks: the benchmark program starts copies of
// itself ("--child K S"), each of which shows K titled windows in the grid cells from S on and
// lives until its parent closes its standard input.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/fixtures/PipedProcess_win.h"

namespace bench {

constexpr int kWindowsPerProcess = 10;

using Child = winfarm::PipedProcess;

namespace detail {

constexpr int kColumns = 12, kRows = 17, kCellWidth = 100, kCellHeight = 60;

inline LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(window, message, wp, lp);
}

inline DWORD WINAPI WaitForParent(void*) {
    char buffer[64];
    DWORD got;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got) {
    }
    ExitProcess(0);
}

} // namespace detail

// The child's side: `count` windows of the class `windowClass` titled "`titlePrefix`N", N
// counted from slot + 1; answers "ready" once they are shown, then pumps messages.
inline int RunChild(const char* windowClass, const std::string& titlePrefix, int count, int slot) {
    using namespace detail;
    WNDCLASSA wc{};
    wc.lpfnWndProc = ChildProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = windowClass;
    RegisterClassA(&wc);
    for (int i = 0; i < count; ++i) {
        // Small windows side by side in a grid: the figures are of the calls, not of repainting
        // whatever a hidden window uncovers.
        const int cell = (slot + i) % (kColumns * kRows);
        const std::string title = titlePrefix + std::to_string(slot + i + 1);
        HWND h = CreateWindowExA(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                                 (cell % kColumns) * kCellWidth, (cell / kColumns) * kCellHeight,
                                 kCellWidth, kCellHeight, nullptr, nullptr, wc.hInstance, nullptr);
        ShowWindow(h, SW_SHOWNOACTIVATE);
    }
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    CreateThread(nullptr, 0, WaitForParent, nullptr, 0, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    return 0;
}

// The parent's side: starts a child and returns once its windows are shown. A child that cannot
// be started ends the benchmark, with the reason on standard error under the benchmark's name.
inline Child StartChild(const char* benchName, int count, int slot) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string command = "\"" + std::string(path) + "\" --child " + std::to_string(count) +
                                " " + std::to_string(slot);
    Child child;
    if (!winfarm::StartPiped(command, child)) {
        std::fprintf(stderr, "%s: cannot start a child (%lu)\n", benchName, GetLastError());
        std::exit(1);
    }
    char c;
    DWORD got;
    while (ReadFile(child.output, &c, 1, &got, nullptr) && got == 1 && c != '\n') {
    }
    CloseHandle(child.output);
    child.output = nullptr;
    return child;
}

// Closing its input ends the child; one that does not go in time is ended.
inline void EndChild(Child& child) {
    CloseHandle(child.input);
    if (WaitForSingleObject(child.process.hProcess, 3000) != WAIT_OBJECT_0) {
        TerminateProcess(child.process.hProcess, 1);
    }
    CloseHandle(child.process.hProcess);
    CloseHandle(child.process.hThread);
}

} // namespace bench
