#include <gtest/gtest.h>

#include <algorithm>

#include "tests/desktops/EngineTestBed.h"

namespace {

using Handles = std::vector<TWindowHandle>;

// Desktop 0 active with `main` (owning the popup `dialog`) and `other`; desktop 1 holds `there`.
struct ListBed : TEngineBed {
    TWindowHandle main = 0, dialog = 0, other = 0, there = 0;

    ListBed() {
        Start();
        engine.MainProc(1);
        there = App("there");
        engine.MainProc(0);
        main = App("main");
        dialog = screen.CreateWindow(screen.ProcessOf(main), "dialog", main, true);
        other = App("other");
        engine.RefreshListWins();
    }
};

TEST(MoveAppWin, FromTheActiveDesktopHidesAtOnceAndAppendsToTheTarget) {
    ListBed bed;
    bed.view.selected = bed.main;
    bed.engine.MoveAppWin(0, 1);
    EXPECT_FALSE(bed.Visible(bed.main));
    EXPECT_FALSE(bed.Visible(bed.dialog));
    EXPECT_TRUE(bed.Visible(bed.other));
    EXPECT_EQ(bed.Desk(0), (Handles{bed.other}));
    EXPECT_EQ(bed.Desk(1), (Handles{bed.there, bed.main}));
    EXPECT_EQ(bed.Children(1), (Handles{bed.dialog}));
    EXPECT_TRUE(bed.Children(0).empty());
    EXPECT_EQ(bed.view.Of("tree").size(), 1u);
    EXPECT_EQ(bed.view.Of("front").size(), 1u);
    bed.engine.MainProc(1);
    EXPECT_TRUE(bed.Visible(bed.main));
    EXPECT_TRUE(bed.Visible(bed.dialog));
    EXPECT_TRUE(bed.screen.IsAbove(bed.dialog, bed.main));
}

TEST(MoveAppWin, ToADesktopThatHoldsTheWindowOnlyRemovesIt) {
    ListBed bed;
    bed.engine.DeskWins[1].Add(HandleText(bed.main));
    bed.view.selected = bed.main;
    bed.engine.MoveAppWin(0, 1);
    EXPECT_EQ(bed.Desk(0), (Handles{bed.other}));
    EXPECT_EQ(bed.Desk(1), (Handles{bed.there, bed.main}));
    EXPECT_FALSE(bed.Visible(bed.main));
}

TEST(CopyAppWin, ToADesktopThatHoldsTheWindowDoesNothing) {
    ListBed bed;
    bed.view.selected = bed.there;
    bed.engine.MainProc(1);
    bed.view.log.clear();
    bed.screen.ClearCalls();
    bed.engine.CopyAppWin(0, 1);
    EXPECT_TRUE(bed.view.log.empty());
    EXPECT_TRUE(bed.screen.Calls().empty());
    EXPECT_EQ(bed.Desk(1), (Handles{bed.there}));
}

TEST(CopyAppWin, OntoTheActiveDesktopShowsTheWindowAtOnceAndKeepsItOnTheSource) {
    ListBed bed;
    bed.view.selected = bed.there;
    bed.engine.CopyAppWin(1, 0);
    EXPECT_TRUE(bed.Visible(bed.there));
    EXPECT_EQ(bed.Desk(0), (Handles{bed.main, bed.other, bed.there}));
    EXPECT_EQ(bed.Desk(1), (Handles{bed.there}));
    EXPECT_EQ(bed.view.Of("tree").size(), 1u);
}

TEST(CopyAppWin, WithNoWindowSelectedDoesNothing) {
    ListBed bed;
    bed.view.log.clear();
    bed.engine.CopyAppWin(0, 1);
    bed.engine.MoveAppWin(0, 1);
    EXPECT_TRUE(bed.view.log.empty());
    EXPECT_EQ(bed.Desk(1), (Handles{bed.there}));
}

TEST(ShowWin, InsertsAtThePositionGivenAndOwnedWindowsFirst) {
    struct Case {
        int position;
        Handles expected; // filled in below: 0 stands for the moved window
    };
    const Case cases[] = {{0, {0, 1}}, {1, {1, 0}}, {-1, {1, 0}}, {7, {1, 0}}};
    for (const auto& c : cases) {
        SCOPED_TRACE("position " + std::to_string(c.position));
        ListBed bed;
        bed.engine.ShowWin(0, 1, bed.main, c.position);
        Handles expected;
        for (TWindowHandle h : c.expected) {
            expected.push_back(h == 0 ? bed.main : bed.there);
        }
        EXPECT_EQ(bed.Desk(1), expected);
        EXPECT_EQ(bed.Children(1), (Handles{bed.dialog}));
        EXPECT_EQ(bed.Desk(0), (Handles{bed.main, bed.other})); // a give, not a take
    }
}

TEST(ShowWin, AWindowInsertedFirstIsShownFirstAndSoLowest) {
    ListBed bed;
    bed.engine.ShowWin(0, 1, bed.other, 0);
    bed.engine.HideWin(0, bed.other);
    bed.engine.MainProc(1);
    EXPECT_TRUE(bed.Visible(bed.other));
    EXPECT_TRUE(bed.screen.IsAbove(bed.there, bed.other));
}

// A dialog opened after its window was copied to a second desktop is in the lists of the first
// only. Taking the window off the first must give the dialog to the second, or the window shows
// there blocked by a dialog that stays hidden for good.
TEST(HideWin, OwnedWindowsFollowTheirOwnerToItsOtherDesktops) {
    for (bool byMove : {false, true}) {
        for (bool popup : {true, false}) {
            SCOPED_TRACE(std::string(byMove ? "move to a desktop that holds it" : "remove") +
                         (popup ? ", popup dialog" : ", owned overlapped window"));
            TEngineBed bed;
            const TWindowHandle w = bed.App("w");
            bed.Start();
            bed.view.selected = w;
            bed.engine.CopyAppWin(0, 1);
            const TWindowHandle d = bed.screen.CreateWindow(bed.screen.ProcessOf(w), "d", w, popup);
            bed.engine.RefreshListWins();
            if (byMove) {
                bed.engine.MoveAppWin(0, 1);
            } else {
                bed.engine.HideWin(0, w);
            }
            EXPECT_FALSE(bed.Visible(w));
            EXPECT_FALSE(bed.Visible(d));
            const Handles onDesk1 = popup ? bed.Children(1) : bed.Desk(1);
            EXPECT_NE(std::find(onDesk1.begin(), onDesk1.end(), d), onDesk1.end());
            bed.engine.MainProc(1);
            EXPECT_TRUE(bed.Visible(w));
            EXPECT_TRUE(bed.Visible(d));
            EXPECT_TRUE(bed.screen.IsAbove(d, w));
        }
    }
}

TEST(HideWin, AnOwnedWindowGivenToTheActiveDesktopIsShown) {
    ListBed bed;
    bed.engine.DeskWins[1].Add(HandleText(bed.main));
    bed.engine.MainProc(1);
    // On desktop 1 now: main is shown, its dialog is a secondary window of desktop 0 only.
    EXPECT_FALSE(bed.Visible(bed.dialog));
    bed.engine.HideWin(0, bed.main);
    EXPECT_TRUE(bed.Visible(bed.dialog));
    EXPECT_EQ(bed.Children(1), (Handles{bed.dialog}));
    EXPECT_TRUE(bed.Children(0).empty());
}

TEST(HideWin, AWindowTheDesktopLacksLeavesItsListsAndScreenAlone) {
    ListBed bed;
    bed.screen.ClearCalls();
    bed.engine.HideWin(0, bed.there);
    bed.engine.HideWin(0, 0); // no window owns the unowned ones
    EXPECT_TRUE(bed.screen.Calls().empty());
    EXPECT_EQ(bed.Desk(0), (Handles{bed.main, bed.other}));
    EXPECT_EQ(bed.Children(0), (Handles{bed.dialog}));
}

TEST(ListOperations, DesktopsOutsideTheFourSelectNoList) {
    ListBed bed;
    bed.engine.AddWin(-1, bed.main);
    bed.engine.AddWin(4, bed.main);
    bed.engine.AddChildWin(9, bed.main);
    bed.engine.ShowWin(0, 7, bed.main, -1);
    bed.engine.ShowWin(-3, 1, bed.other, 0);
    bed.engine.HideWin(5, bed.main);
    bed.engine.MoveAllWins(4, 1);
    bed.engine.MoveAllWins(2, 9);
    bed.view.selected = bed.main;
    bed.engine.CopyAppWin(0, 6);
    bed.engine.MoveAppWin(8, 1);
    EXPECT_EQ(bed.Desk(0), (Handles{bed.main, bed.other}));
    // Only the two valid calls changed anything: an insert at 0 and an append.
    EXPECT_EQ(bed.Desk(1), (Handles{bed.other, bed.there, bed.main}));
}

// Going from four desktops to two: the windows of desktops 3 and 4 go to desktop 2, a window on
// both only once; their secondary windows go along, and no stale entry is left behind.
TEST(MoveAllWins, GivesEachWindowOnceAndLeavesTheRemovedDesktopsEmpty) {
    TEngineBed bed;
    bed.Start();
    bed.engine.MainProc(2);
    const TWindowHandle a = bed.App("a"), shared = bed.App("shared");
    // A titled popup whose owner is hidden and untitled: a secondary window owned by no listed one.
    const TProcessId p = bed.screen.ProcessOf(a);
    const TWindowHandle hiddenOwner = bed.screen.CreateWindow(p, "", 0, false, false);
    const TWindowHandle orphan = bed.screen.CreateWindow(p, "orphan", hiddenOwner, true);
    bed.engine.MainProc(3);
    const TWindowHandle b = bed.App("b");
    bed.engine.DeskWins[3].Add(HandleText(shared));
    bed.engine.MainProc(1);
    EXPECT_EQ(bed.Children(2), (Handles{orphan}));

    bed.engine.MoveAllWins(2, 1);
    bed.engine.MoveAllWins(3, 1);
    bed.engine.NumDesks = 2;
    EXPECT_EQ(bed.Desk(1), (Handles{a, shared, b}));
    EXPECT_EQ(bed.Children(1), (Handles{orphan}));
    EXPECT_TRUE(bed.Visible(orphan)); // desktop 1 is active: given and shown at once
    EXPECT_TRUE(bed.Visible(a) && bed.Visible(shared) && bed.Visible(b));
    for (int desk : {2, 3}) {
        EXPECT_TRUE(bed.Desk(desk).empty());
        EXPECT_TRUE(bed.Children(desk).empty());
        EXPECT_EQ(bed.engine.DeskForegroundWin[desk], 0u);
    }
    // A desktop added back starts empty: entering it hides desktop 1's windows and shows nothing.
    bed.engine.NumDesks = 3;
    bed.engine.MainProc(2);
    EXPECT_FALSE(bed.Visible(orphan));
    EXPECT_FALSE(bed.Visible(a));
    bed.engine.MainProc(1);
    EXPECT_TRUE(bed.Visible(orphan));
}

TEST(MoveAllWins, ToAnInactiveDesktopShowsNothing) {
    TEngineBed bed;
    bed.Start();
    bed.engine.MainProc(3);
    const TWindowHandle w = bed.App("w");
    bed.engine.MainProc(0);
    bed.screen.ClearCalls();
    bed.engine.MoveAllWins(3, 2);
    EXPECT_TRUE(bed.screen.Calls().empty());
    EXPECT_EQ(bed.Desk(2), (Handles{w}));
    bed.engine.MainProc(2);
    EXPECT_TRUE(bed.Visible(w));
}

// Whatever path takes a hidden window off every list, the exit shows it again; a handle that a
// different program's window has taken over meanwhile is left alone.
TEST(ExitShowWindows, ShowsEveryWindowTheEngineHidAndNoStranger) {
    TEngineBed bed;
    const TWindowHandle kept = bed.App("kept"), removed = bed.App("removed"),
                        closed = bed.App("closed");
    bed.Start();
    bed.engine.MainProc(1);
    bed.engine.HideWin(0, removed); // off an inactive desktop: hidden and in no list
    EXPECT_FALSE(bed.Visible(removed));
    bed.screen.DestroyWindow(closed);
    const TWindowHandle stranger = bed.screen.CreateWindow(bed.screen.StartProcess(std::nullopt),
                                                           "stranger", 0, false, false, closed);
    bed.engine.DeskWins[0].Delete(bed.engine.DeskWins[0].IndexOf(HandleText(closed)));
    bed.engine.ExitShowWindows();
    EXPECT_TRUE(bed.Visible(kept));
    EXPECT_TRUE(bed.Visible(removed));
    EXPECT_FALSE(bed.Visible(stranger));
    EXPECT_TRUE(bed.engine.HiddenWindows().empty());
    bed.screen.ClearCalls();
    bed.engine.ExitShowWindows(); // the exit routine runs twice
    EXPECT_TRUE(bed.Visible(kept) && bed.Visible(removed));
}

TEST(ExitShowWindows, ShowsTheOtherDesktopsInOrderThenBringsTheActiveOnesWindowForward) {
    TEngineBed bed;
    const TWindowHandle first = bed.App("first");
    bed.Start();
    Handles perDesk{first};
    for (int desk = 1; desk < 4; ++desk) {
        bed.engine.MainProc(desk);
        perDesk.push_back(bed.App("w" + std::to_string(desk)));
    }
    bed.engine.MainProc(2);
    // As the band's window list does: the window to bring forward on the active desktop.
    bed.engine.DeskForegroundWin[2] = perDesk[2];
    bed.screen.ClearCalls();
    bed.engine.ExitShowWindows();
    using Kind = TFakeWindowSystem::CallKind;
    EXPECT_LT(bed.CallIndex(Kind::Show, perDesk[0]), bed.CallIndex(Kind::Show, perDesk[1]));
    EXPECT_LT(bed.CallIndex(Kind::Show, perDesk[1]), bed.CallIndex(Kind::Show, perDesk[3]));
    EXPECT_EQ(bed.screen.Calls().back().kind, Kind::SetForeground);
    EXPECT_EQ(bed.screen.Calls().back().window, perDesk[2]);
    EXPECT_EQ(bed.screen.Foreground(), perDesk[2]);
    for (TWindowHandle w : perDesk) {
        EXPECT_TRUE(bed.Visible(w));
    }
}

} // namespace
