#include <gtest/gtest.h>

#include <algorithm>

#include "tests/desktops/EngineTestBed.h"

namespace {

using Kind = TFakeWindowSystem::CallKind;
using Handles = std::vector<TWindowHandle>;

struct WrapCase {
    int numDesks;
    int active;
    int index;
    int expected;
};

TEST(MainProc, TargetWrapsToTheFirstDesktop) {
    const WrapCase cases[] = {
        {4, 3, -1, 0},               // next after the last
        {3, 2, -1, 0},               // next after the last of three
        {3, 0, 3, 0},                // beyond the count
        {4, 1, -1, 2},               // next
        {2, 1, -1, 0}, {4, 0, 7, 0}, // far beyond: no list outside the four is touched
        {4, 2, -5, 0},               // a negative index other than -1 names no desktop
    };
    for (const auto& c : cases) {
        TEngineBed bed;
        bed.engine.NumDesks = c.numDesks;
        bed.engine.ActiveDesk = c.active;
        bed.engine.MainProc(c.index);
        EXPECT_EQ(bed.engine.ActiveDesk, c.expected)
            << c.numDesks << " desks, from " << c.active << ", MainProc(" << c.index << ")";
        EXPECT_TRUE(bed.engine.SwitchAllowed);
    }
}

TEST(MainProc, SideEffectsOfTheManagerWindowInOrder) {
    TEngineBed bed;
    bed.Start();
    bed.engine.MainProc(2);
    const std::vector<std::string> expected = {
        "check 0 off", "hint Desktop 3", "status   Active Desktop: 3", "check 2 on", "icon 2",
        "wallpaper 2", "band 2"};
    EXPECT_EQ(bed.view.log, expected);
}

// Windows that appeared while a desktop was active join it when it is left, after the windows
// it kept, in order of their process start; unreadable times go last in order of discovery.
TEST(MainProc, NewWindowsJoinTheLeftDesktopInProcessStartOrder) {
    struct Case {
        const char* name;
        std::vector<std::optional<int>>
            hours;                 // start hour of each new window's process, by creation
        std::vector<int> expected; // creation indexes in list order
    };
    const Case cases[] = {
        {"the 09:00 one before the 10:00 one", {10, 9}, {1, 0}},
        {"already in start order", {8, 11}, {0, 1}},
        // Discovery is top of the stack first, the reverse of creation.
        {"unreadable ones last, in discovery order",
         {std::nullopt, 10, std::nullopt, 9},
         {3, 1, 2, 0}},
        {"all unreadable: discovery order", {std::nullopt, std::nullopt}, {1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TEngineBed bed;
        const TWindowHandle kept1 = bed.App("kept 1", 12), kept2 = bed.App("kept 2", 13);
        bed.Start();
        Handles created;
        for (const auto& hour : c.hours) {
            const TProcessId p = bed.screen.StartProcess(
                hour ? std::optional<std::uint64_t>(TEngineBed::Hour(*hour)) : std::nullopt);
            created.push_back(bed.screen.CreateWindow(p, "new"));
        }
        bed.engine.MainProc(1);
        Handles expected = {kept1, kept2};
        for (int i : c.expected) {
            expected.push_back(created[i]);
        }
        EXPECT_EQ(bed.Desk(0), expected);
    }
}

TEST(MainProc, ReadsEachNewProcessTimeOnce) {
    TEngineBed bed;
    bed.Start();
    const TProcessId a = bed.screen.StartProcess(5), b = bed.screen.StartProcess(std::nullopt);
    for (int i = 0; i < 6; ++i) {
        bed.screen.CreateWindow(i % 2 == 0 ? a : b, "w" + std::to_string(i));
    }
    const int before = bed.screen.TimeQueries();
    bed.engine.MainProc(1);
    EXPECT_EQ(bed.screen.TimeQueries() - before, 2);
    EXPECT_EQ(bed.Desk(0).size(), 6u);
}

TEST(MainProc, AWindowItsProgramHidDropsOutAMinimisedOneStays) {
    TEngineBed bed;
    const TWindowHandle hidden = bed.App("hidden"), minimised = bed.App("minimised"),
                        plain = bed.App("plain");
    bed.Start();
    bed.screen.ProgramHide(hidden);
    bed.screen.ProgramMinimise(minimised);
    bed.engine.MainProc(1);
    EXPECT_EQ(bed.Desk(0), (Handles{minimised, plain}));
    bed.engine.MainProc(0);
    EXPECT_FALSE(bed.Visible(hidden)); // not the manager's to show
    EXPECT_TRUE(bed.Visible(minimised));
    EXPECT_TRUE(bed.Visible(plain));
}

TEST(MainProc, AClosedWindowStaysListedUntilItsDesktopIsLeftAgain) {
    TEngineBed bed;
    const TWindowHandle closed = bed.App("closed"), other = bed.App("other");
    bed.Start();
    bed.engine.MainProc(1);
    bed.screen.DestroyWindow(closed);
    bed.engine.MainProc(2);
    EXPECT_EQ(bed.Desk(0), (Handles{closed, other}));
    bed.engine.MainProc(0);
    EXPECT_TRUE(bed.Visible(other));
    bed.engine.MainProc(1);
    EXPECT_EQ(bed.Desk(0), (Handles{other}));
}

// The record of hidden windows does not grow with windows that went while hidden: each
// enumeration drops the closed ones and those whose handle another process now holds.
TEST(MainProc, HiddenWindowsThatWentAreForgottenAtTheNextEnumeration) {
    TEngineBed bed;
    const TWindowHandle closed = bed.App("closed"), reused = bed.App("reused");
    const TWindowHandle kept = bed.App("kept");
    bed.Start();
    bed.engine.MainProc(1);
    ASSERT_EQ(bed.engine.HiddenWindows().size(), 3u);
    bed.screen.DestroyWindow(closed);
    bed.screen.DestroyWindow(reused);
    // Another program's window, not visible, under the freed handle.
    const TProcessId stranger = bed.screen.StartProcess(TEngineBed::Hour(1));
    bed.screen.CreateWindow(stranger, "stranger", 0, false, false, reused);
    bed.engine.RefreshListWins();
    ASSERT_EQ(bed.engine.HiddenWindows().size(), 1u);
    EXPECT_EQ(bed.engine.HiddenWindows()[0].first, kept);
}

TEST(MainProc, AWindowOnTwoDesktopsIsHiddenThenShownAndStaysOnBoth) {
    TEngineBed bed;
    const TWindowHandle shared = bed.App("shared"), only = bed.App("only on 1");
    bed.Start();
    bed.engine.DeskWins[1].Add(HandleText(shared));
    bed.screen.ClearCalls();
    bed.engine.MainProc(1);
    EXPECT_LT(bed.CallIndex(Kind::Hide, shared), bed.CallIndex(Kind::Show, shared));
    EXPECT_TRUE(bed.Visible(shared));
    EXPECT_FALSE(bed.Visible(only));
    EXPECT_EQ(bed.Desk(0), (Handles{shared, only}));
    EXPECT_EQ(bed.Desk(1), (Handles{shared}));
}

// A popup dialog is a secondary window of its owner's desktop; an owned window without WS_POPUP
// has no parent and is listed like any other.
TEST(MainProc, OwnedWindowsAreHiddenWithTheirDesktopAndShownBeforeItsWindows) {
    for (bool popup : {true, false}) {
        SCOPED_TRACE(popup ? "popup dialog" : "owned overlapped window");
        TEngineBed bed;
        const TWindowHandle main = bed.App("main");
        const TWindowHandle owned =
            bed.screen.CreateWindow(bed.screen.ProcessOf(main), "dialog", main, popup);
        bed.Start();
        bed.engine.MainProc(1);
        EXPECT_FALSE(bed.Visible(main));
        EXPECT_FALSE(bed.Visible(owned));
        if (popup) {
            EXPECT_EQ(bed.Children(0), (Handles{owned}));
            EXPECT_EQ(bed.Desk(0), (Handles{main}));
        } else {
            EXPECT_TRUE(bed.Children(0).empty());
            EXPECT_EQ(bed.Desk(0), (Handles{owned, main}));
        }
        bed.screen.ClearCalls();
        bed.engine.MainProc(0);
        EXPECT_TRUE(bed.Visible(main));
        EXPECT_TRUE(bed.Visible(owned));
        EXPECT_TRUE(bed.screen.IsAbove(owned, main));
        if (popup) {
            EXPECT_LT(bed.CallIndex(Kind::Show, owned), bed.CallIndex(Kind::Show, main));
        }
    }
}

TEST(MainProc, ListOrderIsStackingOrderOnEntry) {
    TEngineBed bed;
    bed.Start();
    bed.engine.MainProc(1);
    const TWindowHandle a = bed.App("a"), b = bed.App("b"), c = bed.App("c");
    bed.engine.MainProc(0);
    bed.engine.DeskWins[1].Clear();
    for (TWindowHandle w : {b, c, a}) {
        bed.engine.DeskWins[1].Add(HandleText(w));
    }
    bed.engine.MainProc(1);
    EXPECT_TRUE(bed.screen.IsAbove(a, c));
    EXPECT_TRUE(bed.screen.IsAbove(c, b));
}

TEST(MainProc, BringsTheRecordedWindowForwardAndNothingOnAFirstEntry) {
    TEngineBed bed;
    const TWindowHandle back = bed.App("back"), front = bed.App("front");
    bed.Start();
    bed.screen.SetForeground(back);
    bed.screen.ClearCalls();
    bed.engine.MainProc(1);
    EXPECT_EQ(bed.CallIndex(Kind::SetForeground, 0), -1);
    EXPECT_EQ(std::count_if(bed.screen.Calls().begin(), bed.screen.Calls().end(),
                            [](const auto& call) { return call.kind == Kind::SetForeground; }),
              0);
    EXPECT_EQ(bed.engine.DeskForegroundWin[0], back);
    bed.engine.MainProc(0);
    EXPECT_EQ(bed.screen.Foreground(), back);
    EXPECT_TRUE(bed.screen.IsAbove(back, front));
}

TEST(MainProc, AVisibleManagerStaysInFrontAndIsNeverListed) {
    for (bool managerVisible : {true, false}) {
        SCOPED_TRACE(managerVisible ? "manager visible" : "manager hidden");
        TEngineBed bed;
        const TProcessId self = bed.screen.StartProcess(1);
        bed.view.application = bed.screen.CreateWindow(self, "Quorvane", 0, false, false);
        bed.view.manager = bed.screen.CreateWindow(self, "Quorvane", 0, false, managerVisible);
        bed.view.managerVisible = managerVisible;
        const TWindowHandle app = bed.App("app");
        bed.engine.DeskWins[1].Add(HandleText(app));
        bed.Start();
        bed.engine.MainProc(1);
        EXPECT_EQ(bed.Desk(0), (Handles{app}));
        EXPECT_EQ(bed.Visible(bed.view.manager), managerVisible);
        EXPECT_EQ(bed.view.Of("front").size(), managerVisible ? 1u : 0u);
        if (managerVisible) {
            EXPECT_EQ(bed.screen.Stack().front(), bed.view.manager);
        }
    }
}

// The shell's desktop window changes when the shell restarts; the new one is never listed or
// hidden either.
TEST(MainProc, TheShellDesktopWindowIsLookedUpAtEveryEnumeration) {
    TEngineBed bed;
    const TWindowHandle app = bed.App("app");
    bed.Start();
    const TWindowHandle shell = bed.screen.RestartShell();
    bed.engine.MainProc(1);
    EXPECT_TRUE(bed.Visible(shell));
    EXPECT_EQ(bed.Desk(0), (Handles{app}));
    EXPECT_EQ(bed.engine.ProgmanWnd, shell);
    bed.screen.EndShell();
    bed.engine.MainProc(0);
    EXPECT_EQ(bed.engine.ProgmanWnd, 0u);
}

TEST(MainProc, KeepsHandlesAtAndAbove2To31) {
    TEngineBed bed;
    const TWindowHandle high =
        bed.screen.CreateWindow(bed.screen.StartProcess(3), "high", 0, false, true, 0x80000010u);
    bed.Start();
    EXPECT_EQ(bed.engine.DeskWins[0].Strings(0), "2147483664");
    bed.engine.MainProc(1);
    EXPECT_FALSE(bed.Visible(high));
    bed.engine.MainProc(0);
    EXPECT_TRUE(bed.Visible(high));
}

// A synchronous show or hide of a hung program's window would block the manager's only thread.
TEST(MainProc, AHungWindowIsShownAndHiddenAsynchronously) {
    TEngineBed bed;
    const TWindowHandle hung = bed.App("hung"), fine = bed.App("fine");
    bed.Start();
    bed.screen.SetHung(bed.screen.ProcessOf(hung), true);
    bed.engine.MainProc(1);
    EXPECT_EQ(bed.screen.BlockingCalls(), 0);
    EXPECT_NE(bed.CallIndex(Kind::HideAsync, hung), -1);
    EXPECT_NE(bed.CallIndex(Kind::Hide, fine), -1); // the others keep their stacking order
    EXPECT_TRUE(bed.engine.SwitchAllowed);
    bed.screen.SetHung(bed.screen.ProcessOf(hung), false);
    EXPECT_FALSE(bed.Visible(hung));
    bed.screen.SetHung(bed.screen.ProcessOf(hung), true);
    bed.engine.MainProc(0);
    EXPECT_EQ(bed.screen.BlockingCalls(), 0);
    EXPECT_NE(bed.CallIndex(Kind::ShowAsync, hung), -1);
    EXPECT_TRUE(bed.Visible(fine));
}

// A failing tray icon, wallpaper, band post or mark must not leave switching disabled or the
// switch half done.
TEST(MainProc, AFailingSideEffectLeavesTheSwitchComplete) {
    for (const char* step : {"check", "hint", "status", "icon", "wallpaper", "band", "front"}) {
        SCOPED_TRACE(step);
        TEngineBed bed;
        bed.view.managerVisible = true;
        const TWindowHandle left = bed.App("left");
        bed.Start();
        bed.engine.MainProc(1);
        const TWindowHandle entered = bed.App("entered");
        bed.engine.MainProc(0);
        const TWindowHandle appeared = bed.App("appeared");
        bed.view.log.clear();
        bed.view.failing = {step};
        bed.engine.MainProc(1);
        EXPECT_TRUE(bed.engine.SwitchAllowed);
        EXPECT_EQ(bed.engine.ActiveDesk, 1);
        EXPECT_EQ(bed.Desk(0), (Handles{left, appeared}));
        EXPECT_FALSE(bed.Visible(left));
        EXPECT_TRUE(bed.Visible(entered));
        EXPECT_EQ(bed.view.Of("band").size(), std::string(step) == "band" ? 0u : 1u);
    }
}

// A window system that fails part-way through the hides, as a lost window or an allocation can.
class TFailingScreen : public TFakeWindowSystem {
public:
    int hidesLeft = 1000000;
    bool Hide(TWindowHandle window) override {
        if (hidesLeft-- == 0) {
            throw std::runtime_error("hide failed");
        }
        return TFakeWindowSystem::Hide(window);
    }
};

TEST(MainProc, AFailureMidSwitchReopensTheGateAndExitStillShowsTheHiddenWindows) {
    TFailingScreen screen;
    TRecordingView view(screen);
    TDesktopEngine engine(screen, view);
    Handles windows;
    for (int i = 0; i < 4; ++i) {
        windows.push_back(screen.CreateWindow(screen.StartProcess(i), "w" + std::to_string(i)));
    }
    engine.RefreshListWins();
    engine.SwitchAllowed = true;
    screen.hidesLeft = 2;
    EXPECT_THROW(engine.MainProc(1), std::runtime_error);
    EXPECT_TRUE(engine.SwitchAllowed);
    EXPECT_EQ(engine.HiddenWindows().size(), 2u);
    engine.ExitShowWindows();
    for (TWindowHandle w : windows) {
        EXPECT_TRUE(screen.IsVisible(w));
    }
}

TEST(RefreshListWins, TakesNewWindowsIntoTheActiveDesktopWithoutSwitching) {
    TEngineBed bed;
    const TWindowHandle first = bed.App("first", 10);
    bed.Start();
    const TWindowHandle later = bed.App("later", 8);
    const TWindowHandle dialog =
        bed.screen.CreateWindow(bed.screen.ProcessOf(first), "dialog", first, true);
    bed.screen.ClearCalls();
    bed.engine.RefreshListWins();
    EXPECT_TRUE(bed.screen.Calls().empty());
    EXPECT_EQ(bed.Desk(0), (Handles{first, later}));
    EXPECT_EQ(bed.Children(0), (Handles{dialog}));
    EXPECT_EQ(bed.engine.VisibleWins.Count(), 0);
}

// Titled windows that are not themselves listed (a popup whose owner is hidden) and untitled
// windows owned by listed ones are secondary windows; an untitled window of its own is not.
TEST(EnumChildWins, CollectsOwnedAndUnlistedTitledWindows) {
    TEngineBed bed;
    const TWindowHandle main = bed.App("main");
    const TProcessId p = bed.screen.ProcessOf(main);
    const TWindowHandle untitledOwned = bed.screen.CreateWindow(p, "", main, true);
    const TWindowHandle hiddenOwner = bed.screen.CreateWindow(p, "", 0, false, false);
    const TWindowHandle orphanDialog = bed.screen.CreateWindow(p, "orphan", hiddenOwner, true);
    const TWindowHandle untitled = bed.screen.CreateWindow(p, "");
    const TProcessId self = bed.screen.StartProcess(1);
    bed.view.application = bed.screen.CreateWindow(self, "", 0, false, false);
    bed.screen.CreateWindow(self, "own dialog", bed.view.application, true);
    bed.Start();
    const Handles children = bed.Children(0);
    EXPECT_NE(std::find(children.begin(), children.end(), untitledOwned), children.end());
    EXPECT_NE(std::find(children.begin(), children.end(), orphanDialog), children.end());
    EXPECT_EQ(std::find(children.begin(), children.end(), untitled), children.end());
    EXPECT_EQ(children.size(), 2u);
    EXPECT_EQ(bed.Desk(0), (Handles{main}));
}

TEST(RefreshActiveDesktop, RestacksTheWindowsInListOrder) {
    TEngineBed bed;
    const TWindowHandle a = bed.App("a"), b = bed.App("b"), c = bed.App("c");
    bed.Start();
    bed.engine.DeskWins[0].Clear();
    for (TWindowHandle w : {c, a, b}) {
        bed.engine.DeskWins[0].Add(HandleText(w));
    }
    bed.engine.RefreshActiveDesktop();
    EXPECT_TRUE(bed.screen.IsAbove(b, a));
    EXPECT_TRUE(bed.screen.IsAbove(a, c));
    EXPECT_TRUE(bed.engine.HiddenWindows().empty());
}

} // namespace
