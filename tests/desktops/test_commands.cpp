// The decisions of the window commands, the tree's drops and the band's requests, over the fake
// screen: which requests switch, which items show, what each drop does to the lists and the screen.
#include <gtest/gtest.h>

#include "desktops/WindowCommands.h"
#include "tests/desktops/EngineTestBed.h"

namespace {

using Handles = std::vector<TWindowHandle>;

TEST(BandProtocol, SwitchRequestGuard) {
    struct Case {
        int desk, active, numDesks;
        bool allowed, expected;
    };
    const Case cases[] = {
        {1, 0, 4, true, true},   // an ordinary request
        {0, 0, 4, true, false},  // the active desktop
        {1, 0, 4, false, false}, // a switch is running
        {2, 0, 2, true, false},  // desktop 3 of two
        {2, 0, 3, true, true},   // desktop 3 of three
        {3, 1, 3, true, false},  // desktop 4 of three
        {3, 1, 4, true, true},   // desktop 4 of four
        {1, 3, 2, true, true},   // desktop 2 exists with any count
        {-1, 0, 4, true, false}, // no desktop
        {4, 0, 4, true, false},  // beyond the four
    };
    for (const Case& c : cases)
        EXPECT_EQ(SwitchRequestAllowed(c.desk, c.active, c.numDesks, c.allowed), c.expected)
            << "desk " << c.desk << " active " << c.active << " of " << c.numDesks
            << (c.allowed ? "" : " while switching");
}

TEST(BandProtocol, MessageNumbersAndDesktops) {
    struct Case {
        unsigned message, first;
        int desk;
    };
    const Case cases[] = {
        {0x401, kMsgSwitchDesk1, 0},  {0x404, kMsgSwitchDesk1, 3}, {0x405, kMsgSwitchDesk1, -1},
        {0x400, kMsgSwitchDesk1, -1}, {0x408, kMsgDeskMenu1, 0},   {0x40B, kMsgDeskMenu1, 3},
        {0x40C, kMsgDeskMenu1, -1},   {0x407, kMsgDeskMenu1, -1},  {0, kMsgDeskMenu1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DeskOfMessage(c.message, c.first), c.desk) << std::hex << c.message;
        if (c.desk >= 0)
            EXPECT_EQ(MessageOfDesk(c.desk, c.first), c.message);
    }
    EXPECT_EQ(MessageOfDesk(4, kMsgActiveDesk1), 0u);
    EXPECT_EQ(MessageOfDesk(-1, kMsgActiveDesk1), 0u);
}

// Desktop 0 active with `a` (owning `dialog`), `b` and `c`; desktop 1 holds `there`.
struct CommandBed : TEngineBed {
    TWindowHandle a = 0, dialog = 0, b = 0, c = 0, there = 0;

    CommandBed() {
        Start();
        engine.MainProc(1);
        there = App("there");
        engine.MainProc(0);
        a = App("a");
        // Owned but not a popup: listed beside its owner, as dialogs of many programs are.
        dialog = screen.CreateWindow(screen.ProcessOf(a), "dialog", a, false);
        b = App("b");
        c = App("c");
        engine.RefreshListWins();
        // Windows of one process may come in either order: the list is set as the tests read it.
        engine.DeskWins[0].Clear();
        for (TWindowHandle w : {a, dialog, b, c})
            engine.DeskWins[0].Add(HandleText(w));
    }
};

TEST(WindowFilter, AnOwnedWindowIsShownOnlyWhereItsOwnerIsNot) {
    CommandBed bed;
    ASSERT_EQ(bed.Desk(0), (Handles{bed.a, bed.dialog, bed.b, bed.c}));
    EXPECT_EQ(TopWindowsOf(bed.engine.DeskWins[0], bed.screen), (Handles{bed.a, bed.b, bed.c}));
    // The dialog alone on desktop 1, without its owner: listed there.
    bed.engine.DeskWins[1].Add(HandleText(bed.dialog));
    EXPECT_EQ(TopWindowsOf(bed.engine.DeskWins[1], bed.screen), (Handles{bed.there, bed.dialog}));
    EXPECT_TRUE(OwnerInList(bed.engine.DeskWins[0], bed.dialog, bed.screen));
    EXPECT_FALSE(OwnerInList(bed.engine.DeskWins[1], bed.dialog, bed.screen));
}

TEST(WindowCommands, TargetItemsAreTheOtherExistingDesktops) {
    using V = std::array<bool, 4>;
    struct Case {
        int numDesks, desk;
        V visible;
    };
    const Case cases[] = {
        {4, 2, V{true, true, false, true}}, // a window of desktop 3: desktops 1, 2 and 4
        {4, 0, V{false, true, true, true}},
        {2, 0, V{false, true, false, false}}, // never a desktop that does not exist
        {3, 1, V{true, false, true, false}},
        {2, 3, V{true, true, false, false}}, // a window left on a removed desktop
    };
    for (const Case& c : cases)
        EXPECT_EQ(TargetItemsVisible(c.numDesks, c.desk), c.visible)
            << c.numDesks << " desktops, window on " << c.desk;
}

TEST(WindowCommands, RemoveOnlyFromADesktopThatIsNotTheLast) {
    CommandBed bed;
    EXPECT_FALSE(CanRemove(bed.engine.DeskWins, 0, bed.b));
    EXPECT_FALSE(RemoveFromDesktop(bed.engine, 0, bed.b));
    EXPECT_EQ(bed.Desk(0), (Handles{bed.a, bed.dialog, bed.b, bed.c}));
    EXPECT_TRUE(bed.Visible(bed.b));
    // Also on desktop 4, beyond a count of two: that list counts too.
    bed.engine.NumDesks = 2;
    bed.engine.DeskWins[3].Add(HandleText(bed.b));
    EXPECT_TRUE(CanRemove(bed.engine.DeskWins, 0, bed.b));
    EXPECT_TRUE(RemoveFromDesktop(bed.engine, 0, bed.b));
    EXPECT_EQ(bed.Desk(0), (Handles{bed.a, bed.dialog, bed.c}));
    EXPECT_FALSE(bed.Visible(bed.b));
}

TEST(WindowCommands, AddToAllReachesOnlyExistingDesktopsThatLackTheWindow) {
    CommandBed bed;
    bed.engine.NumDesks = 2;
    EXPECT_EQ(AddToAllDesktops(bed.engine, 0, bed.a), (std::vector<int>{1}));
    EXPECT_EQ(bed.Desk(1), (Handles{bed.there, bed.dialog, bed.a}));
    EXPECT_TRUE(bed.Desk(2).empty());
    EXPECT_TRUE(bed.Visible(bed.a)) << "still on the active desktop";
    EXPECT_TRUE(AddToAllDesktops(bed.engine, 0, bed.a).empty()) << "already everywhere";
    bed.engine.NumDesks = 4;
    EXPECT_EQ(AddToAllDesktops(bed.engine, 1, bed.there), (std::vector<int>{0, 2, 3}));
    EXPECT_TRUE(bed.Visible(bed.there)) << "shown on the active desktop";
}

TEST(WindowCommands, MoveAndCopyIgnoreADesktopBeyondTheCount) {
    CommandBed bed;
    bed.engine.NumDesks = 2;
    bed.view.selected = bed.b;
    bed.engine.MoveAppWin(0, 2);
    bed.engine.CopyAppWin(0, 3);
    EXPECT_EQ(bed.Desk(0), (Handles{bed.a, bed.dialog, bed.b, bed.c}));
    EXPECT_TRUE(bed.Desk(2).empty());
    EXPECT_TRUE(bed.Desk(3).empty());
    EXPECT_TRUE(bed.Visible(bed.b)) << "a window moved nowhere would stay hidden until exit";
    EXPECT_EQ(bed.view.treeRefreshes, 0);
}

TEST(TreeDrops, WhichNodesAcceptADrag) {
    using L = TTreeLevel;
    struct Case {
        L dragged, target;
        bool accept;
    };
    const Case cases[] = {
        {L::Window, L::Desk, true},  {L::Window, L::Window, true}, {L::Window, L::Root, false},
        {L::Window, L::None, false}, {L::Desk, L::Desk, false},    {L::Desk, L::Window, false},
        {L::Root, L::Desk, false},   {L::None, L::Window, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AcceptDrop(c.dragged, c.target), c.accept)
            << static_cast<int>(c.dragged) << " onto " << static_cast<int>(c.target);
}

TEST(TreeDrops, ReorderWithinADesktop) {
    struct Case {
        int dragged, target;
        std::vector<int> order;
    };
    const Case cases[] = {
        {0, 2, {1, 2, 0}}, // first onto third: lands behind it
        {2, 0, {2, 0, 1}}, // third onto first: lands in front of it
        {1, 1, {0, 1, 2}}, // onto itself
        {0, 1, {1, 0, 2}},
    };
    for (const Case& c : cases) {
        CommandBed bed;
        const Handles w{bed.a, bed.b, bed.c};
        bed.engine.DeskWins[0].Delete(1); // the dialog out, for three plain windows
        const TDropResult result =
            DropOnWindow(bed.engine, 0, 0, w[c.dragged], w[c.target], c.target);
        EXPECT_EQ(result, TDropResult::Changed);
        Handles expected;
        for (int i : c.order)
            expected.push_back(w[i]);
        EXPECT_EQ(bed.Desk(0), expected) << c.dragged << " onto " << c.target;
        // Restacked in the new order: the last one on top.
        EXPECT_TRUE(bed.screen.IsAbove(expected[2], expected[1]));
        EXPECT_TRUE(bed.screen.IsAbove(expected[1], expected[0]));
    }
}

TEST(TreeDrops, AStaleReorderChangesNothingAndAsksForANewTree) {
    CommandBed bed;
    const TWindowHandle gone = bed.App("gone"); // in the tree, but not in the list any more
    EXPECT_EQ(DropOnWindow(bed.engine, 0, 0, gone, bed.b, 1), TDropResult::Stale);
    EXPECT_EQ(bed.Desk(0), (Handles{bed.a, bed.dialog, bed.b, bed.c}));
    // A target that is gone from the list: the dragged window goes to the end.
    EXPECT_EQ(DropOnWindow(bed.engine, 0, 0, bed.a, gone, 0), TDropResult::Changed);
    EXPECT_EQ(bed.Desk(0), (Handles{bed.dialog, bed.b, bed.c, bed.a}));
}

TEST(TreeDrops, OntoADesktopNode) {
    CommandBed bed;
    // Its own desktop, and a desktop that already holds it: nothing.
    EXPECT_EQ(DropOnDesk(bed.engine, 0, 0, bed.a), TDropResult::None);
    bed.engine.DeskWins[2].Add(HandleText(bed.b));
    EXPECT_EQ(DropOnDesk(bed.engine, 0, 2, bed.b), TDropResult::None);
    EXPECT_TRUE(bed.Visible(bed.b));
    // Beyond the count: nothing.
    bed.engine.NumDesks = 2;
    EXPECT_EQ(DropOnDesk(bed.engine, 0, 3, bed.c), TDropResult::None);
    EXPECT_TRUE(bed.Visible(bed.c));
    // Another desktop: moved there with its dialog, hidden at once.
    EXPECT_EQ(DropOnDesk(bed.engine, 0, 1, bed.a), TDropResult::Changed);
    EXPECT_EQ(bed.Desk(0), (Handles{bed.b, bed.c}));
    EXPECT_EQ(bed.Desk(1), (Handles{bed.there, bed.dialog, bed.a}));
    EXPECT_FALSE(bed.Visible(bed.a));
    EXPECT_FALSE(bed.Visible(bed.dialog));
    bed.engine.MainProc(1);
    EXPECT_TRUE(bed.Visible(bed.a));
    EXPECT_TRUE(bed.Visible(bed.dialog));
}

TEST(TreeDrops, OntoAWindowOfAnotherDesktopInsertsAtTheTreeIndex) {
    CommandBed bed;
    // Desktop 1: there, x, y. Dropping c on y (tree index 2) puts it before y.
    bed.engine.MainProc(1);
    const TWindowHandle x = bed.App("x"), y = bed.App("y");
    bed.engine.MainProc(0);
    ASSERT_EQ(bed.Desk(1), (Handles{bed.there, x, y}));
    EXPECT_EQ(DropOnWindow(bed.engine, 0, 1, bed.c, y, 2), TDropResult::Changed);
    EXPECT_EQ(bed.Desk(1), (Handles{bed.there, x, bed.c, y}));
    EXPECT_EQ(bed.Desk(0), (Handles{bed.a, bed.dialog, bed.b}));
    EXPECT_FALSE(bed.Visible(bed.c));
    // Already there: nothing.
    bed.engine.DeskWins[1].Add(HandleText(bed.b));
    EXPECT_EQ(DropOnWindow(bed.engine, 0, 1, bed.b, x, 1), TDropResult::None);
    EXPECT_TRUE(bed.Visible(bed.b));
}

} // namespace
