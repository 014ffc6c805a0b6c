// Starts Quorvane.exe several times (no band, no help dialog) and measures the time from process
// creation until it waits idle in its message loop, and its working set then. Prints
// "startup: ms=X working_set_kb=Y" with the medians.
#include <windows.h>
// After windows.h.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void PutSetting(const char* name, const char* value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quorvane", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(lstrlenA(value) + 1));
    RegCloseKey(key);
}

struct Manager {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindManager(HWND hwnd, LPARAM lp) {
    auto* m = reinterpret_cast<Manager*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char name[32] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (pid == m->pid && lstrcmpA(name, "TForm1") == 0) {
        m->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main() {
    PutSetting("ShowDeskbandHelp", "FALSE");
    PutSetting("TBHandle", "0");
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> ms;
    std::vector<double> kb;
    for (int run = 0; run < 7; ++run) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        std::string command = "\"" QUORVANE_EXE "\"";
        LARGE_INTEGER start, idle;
        QueryPerformanceCounter(&start);
        if (!CreateProcessA(QUORVANE_EXE, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &si, &pi)) {
            std::fprintf(stderr, "startup: cannot start %s\n", QUORVANE_EXE);
            return 1;
        }
        Manager m{pi.dwProcessId, nullptr};
        for (int i = 0; i < 3000 && m.found == nullptr; ++i) {
            EnumWindows(FindManager, reinterpret_cast<LPARAM>(&m));
            if (m.found == nullptr)
                Sleep(1);
        }
        WaitForInputIdle(pi.hProcess, 15000);
        QueryPerformanceCounter(&idle);
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters);
        // The first run warms the caches of the loader; it is not counted.
        if (run > 0) {
            ms.push_back(1000.0 * static_cast<double>(idle.QuadPart - start.QuadPart) /
                         static_cast<double>(frequency.QuadPart));
            kb.push_back(static_cast<double>(counters.WorkingSetSize) / 1024.0);
        }
        if (m.found != nullptr)
            PostMessageA(m.found, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
            TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    std::printf("startup: ms=%.1f working_set_kb=%.0f\n", Median(ms), Median(kb));
    return 0;
}
