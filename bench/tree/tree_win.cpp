// The desktop tree and the band's window list over windows of other processes, against their
// floor: the same title and icon queries on the same windows with no tree or menu work.
//   bench_tree [N]        default 200 windows
// Prints "tree: op=X windows=N ours_ms=A floor_ms=B ratio=A/B" for op=refresh (a full rebuild of
// the tree, the active desktop's refresh included) and op=menu (the band's window list of the
// active desktop), medians of five rounds after a warm one.
// The program starts copies of itself as the other processes ("--child K S").
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "desktops/Win32WindowSystem_win.h"
#include "framework/gui/Application_win.h"
#include "manager_ui/Form1_win.h"
#include "manager_ui/WindowIcons_win.h"

namespace {

constexpr int kWindowsPerProcess = 10;
constexpr int kRounds = 5;

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
    wc.lpszClassName = "TreeBenchWindow";
    RegisterClassA(&wc);
    for (int i = 0; i < count; ++i) {
        // Small windows side by side in a grid: the figures are of the calls, not of repainting
        // whatever a hidden window uncovers.
        const int cell = (slot + i) % (kColumns * kRows);
        const std::string title = "tree bench #" + std::to_string(slot + i + 1);
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
        std::fprintf(stderr, "tree: cannot start a child (%lu)\n", GetLastError());
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

template <class F> double Median(F&& run) {
    run(); // warm
    std::vector<double> ms;
    for (int i = 0; i < kRounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void QuietStart() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quorvane", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
        const char value[] = "FALSE";
        RegSetValueExA(key, "ShowDeskbandHelp", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       sizeof value);
        RegCloseKey(key);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::string(argv[1]) == "--child")
        return RunChild(std::atoi(argv[2]), std::atoi(argv[3]));
    const int windows = argc >= 2 ? std::max(kWindowsPerProcess, std::atoi(argv[1])) : 200;
    std::vector<Child> children;
    for (int slot = 0; slot < windows; slot += kWindowsPerProcess)
        children.push_back(StartChild(kWindowsPerProcess, slot));
    QuietStart();
    Startup();
    Application->Initialize();
    auto* form = Create<TForm1>(Application);
    const TStringList& list = form->Engine().DeskWins[0];
    const int listed = list.Count();
    // The floor: what the tree and the menu ask of every listed window, and nothing else.
    const double floor = Median([&] {
        for (int i = 0; i < list.Count(); ++i) {
            const HWND h = TWin32WindowSystem::ToHwnd(ParseHandle(list.Strings(i)));
            (void)WindowTitle(h);
            (void)GetAppIcon(h);
        }
    });
    const double refresh = Median([&] { form->RefreshTree(); });
    const double menu = Median([&] { form->CreateTBPopupMenu(1); });
    // The active desktop's own refresh, which both take first: its share of the figures above.
    const double lists = Median([&] { form->Engine().RefreshListWins(); });
    for (auto [op, ours] : {std::pair<const char*, double>{"refresh", refresh},
                            {"menu", menu},
                            {"list_refresh_only", lists}})
        std::printf("tree: op=%s windows=%d ours_ms=%.2f floor_ms=%.2f ratio=%.2f\n", op, listed,
                    ours, floor, floor > 0 ? ours / floor : 0.0);
    std::fflush(stdout);
    form->Free();
    Shutdown();
    for (Child& c : children)
        EndChild(c);
    return 0;
}
