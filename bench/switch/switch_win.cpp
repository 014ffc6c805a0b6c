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

#include "bench/common/ChildWindows_win.h"
#include "desktops/DesktopEngine.h"
#include "tests/desktops/QuietDesktopView.h"
#include "desktops/Win32WindowSystem_win.h"

namespace {

constexpr int kWarmRounds = 1;
constexpr int kRounds = 5;

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
    std::vector<bench::Child> children;
    TBenchSystem system;
    for (int left = windows; left > 0; left -= bench::kWindowsPerProcess) {
        children.push_back(
            bench::StartChild("switch", std::min(left, bench::kWindowsPerProcess), windows - left));
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
        bench::EndChild(child);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--child") {
        return bench::RunChild("SwitchBenchWindow", "switch bench #", std::atoi(argv[2]),
                               std::atoi(argv[3]));
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
