// The desktop switch against windows of other processes: the engine's switch (enumerations,
// filters, list rebuild, hung checks, the hidden-window record) beside its floor, the same
// ShowWindow calls on the same windows with no bookkeeping at all.
//   bench_switch [N...]        default 20 60 200 windows, half on each of two desktops
// Prints "switch: windows=N engine_ms=X floor_ms=Y ratio=Z bookkeeping_ms=B" per N: medians of
// one switch, the ratio the median of engine/floor pairs, B the engine's time outside the show
// and hide calls.
// The program starts copies of itself as the other processes ("--child K S": K titled windows
// in the grid cells from S on).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "desktops/DesktopEngine.h"
#include "tests/desktops/QuietDesktopView.h"
#include "desktops/Win32WindowSystem_win.h"

namespace {

constexpr int kWindowsPerProcess = 10;
constexpr int kWarmRounds = 1;
constexpr int kRounds = 5;

// ---- the other processes ----

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(window, message, wp, lp);
}

DWORD WINAPI WaitForParent(void*) {
    char buffer[64];
    DWORD got;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got) {
    }
    ExitProcess(0);
}

constexpr int kColumns = 12, kRows = 17, kCellWidth = 100, kCellHeight = 60;

int RunChild(int count, int slot) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ChildProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "SwitchBenchWindow";
    RegisterClassA(&wc);
    for (int i = 0; i < count; ++i) {
        // Small windows side by side in a grid: the figures are of the calls, not of repainting
        // whatever a hidden window uncovers.
        const int cell = (slot + i) % (kColumns * kRows);
        const std::string title = "switch bench #" + std::to_string(slot + i + 1);
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

struct Child {
    PROCESS_INFORMATION process{};
    HANDLE input = nullptr;
};

Child StartChild(int count, int slot) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE childIn, ourIn, ourOut, childOut;
    CreatePipe(&childIn, &ourIn, &inherit, 0);
    CreatePipe(&ourOut, &childOut, &inherit, 0);
    SetHandleInformation(ourIn, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(ourOut, HANDLE_FLAG_INHERIT, 0);
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string command = "\"" + std::string(path) + "\" --child " + std::to_string(count) + " " +
                          std::to_string(slot);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = childIn;
    si.hStdOutput = childOut;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    Child child;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &child.process)) {
        std::fprintf(stderr, "switch: cannot start a child (%lu)\n", GetLastError());
        std::exit(1);
    }
    CloseHandle(childIn);
    CloseHandle(childOut);
    child.input = ourIn;
    char c;
    DWORD got;
    while (ReadFile(ourOut, &c, 1, &got, nullptr) && got == 1 && c != '\n') {
    }
    CloseHandle(ourOut);
    return child;
}

void EndChild(Child& child) {
    CloseHandle(child.input);
    if (WaitForSingleObject(child.process.hProcess, 3000) != WAIT_OBJECT_0) {
        TerminateProcess(child.process.hProcess, 1);
    }
    CloseHandle(child.process.hProcess);
    CloseHandle(child.process.hThread);
}

// ---- the measured side ----

// The real window system, limited to the bench's own children (the bed's other windows stay),
// recording the show and hide calls of a switch so the floor can repeat them.
class TBenchSystem : public TWin32WindowSystem {
public:
    std::set<TProcessId> processes;
    std::vector<std::pair<TWindowHandle, bool>>* recording = nullptr;

    std::vector<TWindowHandle> TopLevelWindows() override {
        auto all = TWin32WindowSystem::TopLevelWindows();
        std::erase_if(all, [&](TWindowHandle w) { return processes.count(ProcessOf(w)) == 0; });
        return all;
    }
    // Time spent inside the show and hide calls themselves.
    std::chrono::steady_clock::duration inCalls{};

    bool Show(TWindowHandle w) override { return Call(w, true); }
    bool Hide(TWindowHandle w) override { return Call(w, false); }

private:
    bool Call(TWindowHandle w, bool show) {
        if (recording) {
            recording->emplace_back(w, show);
        }
        const auto start = std::chrono::steady_clock::now();
        const bool result = show ? TWin32WindowSystem::Show(w) : TWin32WindowSystem::Hide(w);
        inCalls += std::chrono::steady_clock::now() - start;
        return result;
    }
};

double Milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

template <class F> double Time(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return Milliseconds(std::chrono::steady_clock::now() - start);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Replay(const std::vector<std::pair<TWindowHandle, bool>>& calls) {
    for (const auto& [window, show] : calls) {
        ShowWindow(TWin32WindowSystem::ToHwnd(window), show ? SW_SHOW : SW_HIDE);
    }
}

void Measure(int windows) {
    std::vector<Child> children;
    TBenchSystem system;
    for (int left = windows; left > 0; left -= kWindowsPerProcess) {
        children.push_back(StartChild(std::min(left, kWindowsPerProcess), windows - left));
        system.processes.insert(children.back().process.dwProcessId);
    }
    TQuietView view;
    TDesktopEngine engine(system, view);
    engine.RefreshListWins();
    // Every second window goes to desktop 1, so each switch hides half and shows half.
    for (int i = engine.DeskWins[0].Count() - 1; i >= 0; i -= 2) {
        const std::string entry = engine.DeskWins[0].Strings(i);
        engine.DeskWins[1].Insert(0, entry);
        engine.DeskWins[0].Delete(i);
        ShowWindow(TWin32WindowSystem::ToHwnd(ParseHandle(entry)), SW_HIDE);
    }
    engine.SwitchAllowed = true;

    // Each engine switch is paired with the floor's replay of the same calls right after it, and
    // the ratio is the median of the pairs: on a shared machine the cost of a cross-process call
    // drifts more between rounds than the bookkeeping weighs.
    std::vector<double> engineTimes, floorTimes, ratios, bookkeeping;
    for (int round = 0; round < kWarmRounds + kRounds; ++round) {
        for (int target : {1, 0}) {
            std::vector<std::pair<TWindowHandle, bool>> calls;
            system.recording = &calls;
            system.inCalls = {};
            const double e = Time([&] { engine.MainProc(target); });
            const double inside = Milliseconds(system.inCalls);
            system.recording = nullptr;
            // Undo the switch with the same calls in reverse effect, then time the replay of it.
            std::vector<std::pair<TWindowHandle, bool>> undo;
            for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
                undo.emplace_back(it->first, !it->second);
            }
            Replay(undo);
            const double f = Time([&] { Replay(calls); });
            if (round >= kWarmRounds) {
                engineTimes.push_back(e);
                floorTimes.push_back(f);
                ratios.push_back(e / f);
                bookkeeping.push_back(e - inside);
            }
        }
    }
    std::printf("switch: windows=%d engine_ms=%.2f floor_ms=%.2f ratio=%.3f bookkeeping_ms=%.2f\n",
                windows, Median(engineTimes), Median(floorTimes), Median(ratios),
                Median(bookkeeping));
    std::fflush(stdout);
    engine.ExitShowWindows();
    for (auto& child : children) {
        EndChild(child);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--child") {
        return RunChild(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) {
        counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty()) {
        counts = {20, 60, 200};
    }
    for (int windows : counts) {
        if (windows > 0) {
            Measure(windows);
        }
    }
    return 0;
}
