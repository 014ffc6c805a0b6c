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

#include "bench/common/ChildWindows_win.h"
#include "desktops/Win32WindowSystem_win.h"
#include "framework/gui/Application_win.h"
#include "manager_ui/Form1_win.h"
#include "manager_ui/WindowIcons_win.h"

namespace {

constexpr int kRounds = 5;

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
        return bench::RunChild("TreeBenchWindow", "tree bench #", std::atoi(argv[2]),
                               std::atoi(argv[3]));
    const int windows = argc >= 2 ? std::max(bench::kWindowsPerProcess, std::atoi(argv[1])) : 200;
    std::vector<bench::Child> children;
    for (int slot = 0; slot < windows; slot += bench::kWindowsPerProcess)
        children.push_back(bench::StartChild("tree", bench::kWindowsPerProcess, slot));
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
    for (bench::Child& c : children)
        bench::EndChild(c);
    return 0;
}
