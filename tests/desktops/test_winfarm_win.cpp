// The desktop engine over the real window system, against windows of other processes (winfarm's
// children). The engine sees only the farm's windows, so that a switch here never hides a window
// of a test running beside this one; everything else goes to user32 and kernel32 as in the
// program.
#include "tests/fixtures/WinFarmClient_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <set>
#include <thread>

#include "desktops/DesktopEngine.h"
#include "tests/desktops/QuietDesktopView.h"
#include "desktops/Win32WindowSystem_win.h"

namespace {

using Handles = std::vector<TWindowHandle>;

class TFarmOnlySystem : public TWin32WindowSystem {
public:
    std::set<TProcessId> processes;

    std::vector<TWindowHandle> TopLevelWindows() override {
        auto all = TWin32WindowSystem::TopLevelWindows();
        std::erase_if(all, [&](TWindowHandle w) { return processes.count(ProcessOf(w)) == 0; });
        return all;
    }
};

TWindowHandle H(HWND window) {
    return TWin32WindowSystem::FromHwnd(window);
}

bool Visible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

// Position in the top-level stacking order, top first; -1 when absent.
bool Contains(const TStringList& list, HWND window) {
    return list.IndexOf(HandleText(H(window))) >= 0;
}

Handles Entries(const TStringList& list) {
    Handles out;
    for (int i = 0; i < list.Count(); ++i) {
        out.push_back(ParseHandle(list.Strings(i)));
    }
    return out;
}

struct FarmBed : ::testing::Test {
    winfarm::Farm farm;
    TFarmOnlySystem system;
    TQuietView view;
    TDesktopEngine engine{system, view};

    winfarm::Child Spawn(const std::string& name, const winfarm::SpawnOptions& options = {}) {
        auto child = farm.Spawn(name, options);
        system.processes.insert(child.pid);
        return child;
    }

    void Start() {
        engine.RefreshListWins();
        engine.SwitchAllowed = true;
    }

    // Other processes take their show and hide requests in their own time.
    void Settle() {
        winfarm::PumpUntil([] { return false; }, 150);
    }

    void TearDown() override { engine.ExitShowWindows(); }
};

TEST_F(FarmBed, ASwitchHidesAndShowsOtherProcessesWindowsInListOrder) {
    const auto a = Spawn("Alpha", {.windows = 2, .owned = true, .untitled = true, .tool = true});
    Start();
    HWND a1 = a.Of("main")[0], a2 = a.Of("main")[1], dialog = a.Of("owned")[0];
    HWND untitled = a.Of("untitled")[0], tool = a.Of("tool")[0];
    EXPECT_TRUE(Contains(engine.DeskWins[0], a1));
    EXPECT_TRUE(Contains(engine.DeskWins[0], a2));
    EXPECT_TRUE(Contains(engine.DeskWins[0], tool));
    EXPECT_FALSE(Contains(engine.DeskWins[0], dialog)); // a popup: its parent is its owner
    EXPECT_TRUE(Contains(engine.DeskChildWins[0], dialog));
    EXPECT_FALSE(Contains(engine.DeskWins[0], untitled));
    EXPECT_FALSE(Contains(engine.DeskChildWins[0], untitled));

    engine.MainProc(1);
    Settle();
    for (HWND w : {a1, a2, dialog, tool}) {
        EXPECT_FALSE(Visible(w));
    }
    EXPECT_TRUE(Visible(untitled)); // never listed, never hidden
    const auto b = Spawn("Beta");
    HWND b1 = b.Of("main")[0];

    // Desktop 0 is entered again in the order tool, a2, a1: a1 must end on top. (Windows also
    // keeps the dialog above its owner; Wine does not when another process shows the owner, so
    // the dialog's place is left to the native tests, which check that it is shown first.)
    engine.DeskWins[0].Clear();
    for (HWND w : {tool, a2, a1}) {
        engine.DeskWins[0].Add(HandleText(H(w)));
    }
    engine.MainProc(0);
    Settle();
    for (HWND w : {a1, a2, dialog, tool}) {
        EXPECT_TRUE(Visible(w));
    }
    EXPECT_FALSE(Visible(b1));
    EXPECT_TRUE(Contains(engine.DeskWins[1], b1));
    // The owning program settles the activation a show brings on its own thread.
    EXPECT_TRUE(winfarm::PumpUntil([&] { return winfarm::StackedTopFirst({a1, a2, tool}); }, 3000));
}

TEST_F(FarmBed, WindowsThatAppearedJoinTheLeftDesktopInProcessStartOrder) {
    const auto first = Spawn("First");
    Start();
    const auto early = Spawn("Early");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto late = Spawn("Late", {.windows = 2});
    ASSERT_LT(early.created, late.created);
    // The latest window is on top, so it is found first: the order must come from the start times.
    ASSERT_LT(winfarm::StackIndex(late.Of("main")[0]), winfarm::StackIndex(early.Of("main")[0]));
    engine.MainProc(1);
    const Handles expected = {H(first.Of("main")[0]), H(early.Of("main")[0]), H(late.Of("main")[1]),
                              H(late.Of("main")[0])};
    EXPECT_EQ(Entries(engine.DeskWins[0]), expected);
}

// A synchronous show or hide waits for the window's thread; a hung program would hold the switch
// (and with it every hot key) for good.
TEST_F(FarmBed, AHungWindowDoesNotBlockTheSwitch) {
    const auto fine = Spawn("Fine");
    const auto hung = Spawn("Hung");
    HWND hungWindow = hung.Of("main")[0];
    Start();
    farm.Hang("Hung");
    ASSERT_TRUE(winfarm::PumpUntil([&] { return IsHungAppWindow(hungWindow) != FALSE; }, 15000))
        << "the system never reported the window as hung";

    auto done = std::async(std::launch::async, [&] {
        engine.MainProc(1);
        engine.MainProc(0);
        engine.MainProc(1);
    });
    if (done.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        ADD_FAILURE() << "the switch blocked on the hung window";
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 1);
    }
    done.get();
    Settle();
    EXPECT_FALSE(Visible(fine.Of("main")[0]));
    EXPECT_TRUE(engine.SwitchAllowed);
    farm.Close("Hung");
}

TEST_F(FarmBed, ExitShowsEveryWindowOfEveryDesktop) {
    const auto a = Spawn("A", {.owned = true});
    Start();
    engine.MainProc(1);
    const auto b = Spawn("B");
    engine.MainProc(2);
    const auto c = Spawn("C");
    // Taken off an inactive desktop: hidden, and in no list any more.
    engine.HideWin(0, H(a.Of("main")[0]));
    engine.ExitShowWindows();
    Settle();
    for (const auto* child : {&a, &b, &c}) {
        for (const auto& w : child->windows) {
            EXPECT_TRUE(Visible(w.handle)) << child->name << " " << w.kind;
        }
    }
}

} // namespace
