#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktops/DesktopCount.h"
#include "tests/desktops/EngineTestBed.h"

namespace {

using Log = std::vector<std::string>;

// Records every step; MainProc and MoveAllWins go on to a real engine when one is given.
struct RecordingSteps : TDesktopCountSteps {
    Log log;
    int active = 0;
    TDesktopEngine* engine = nullptr;
    static std::string N(int v) { return std::to_string(v); }
    void SetCopyMoveVisible(int d, bool v) override { log.push_back("copymove " + N(d) + (v ? " on" : " off")); }
    void SetDeskActionAvailable(int d, bool v) override { log.push_back("act " + N(d) + (v ? " on" : " off")); }
    void SetTrayItemVisible(int d, bool v) override { log.push_back("tray " + N(d) + (v ? " on" : " off")); }
    void AddDeskNode(int k) override { log.push_back("AddDeskNode(" + N(k) + ")"); }
    void DeleteDeskNode(int i) override { log.push_back("DeleteDeskNode(" + N(i) + ")"); }
    void MainProc(int d) override {
        log.push_back("MainProc(" + N(d) + ")");
        if (engine)
            engine->MainProc(d);
        active = d;
    }
    void MoveAllWins(int f, int t) override {
        log.push_back("MoveAllWins(" + N(f) + "," + N(t) + ")");
        if (engine)
            engine->MoveAllWins(f, t);
    }
    int ActiveDesk() override { return engine ? engine->ActiveDesk : active; }
};

struct CountCase {
    const char* name;
    int from, to, active;
    Log steps;  // every step, menu toggles included, in one order
};

// The copy/move commands and desktop actions of the new count first, then the switch and the
// windows and nodes, the notification-menu items last.
Log Steps(const Log& menus, const Log& structural, const Log& tray) {
    Log out = menus;
    out.insert(out.end(), structural.begin(), structural.end());
    out.insert(out.end(), tray.begin(), tray.end());
    return out;
}
const Log kTwoMenus{"copymove 2 off", "copymove 3 off", "act 2 off", "act 3 off"};
const Log kThreeMenus{"copymove 2 on", "copymove 3 off", "act 2 on", "act 3 off"};
const Log kFourMenus{"copymove 2 on", "copymove 3 on", "act 2 on", "act 3 on"};
const Log kTwoTray{"tray 2 off", "tray 3 off"};
const Log kThreeTray{"tray 2 on", "tray 3 off"};
const Log kFourTray{"tray 2 on", "tray 3 on"};

const CountCase kCases[] = {
    {"4 to 2 with desktop 4 active", 4, 2, 3,
     Steps(kTwoMenus,
           {"MainProc(1)", "MoveAllWins(2,1)", "MoveAllWins(3,1)", "DeleteDeskNode(3)",
            "DeleteDeskNode(2)"},
           kTwoTray)},
    {"4 to 2 with desktop 1 active", 4, 2, 0,
     Steps(kTwoMenus,
           {"MoveAllWins(2,1)", "MoveAllWins(3,1)", "DeleteDeskNode(3)", "DeleteDeskNode(2)"},
           kTwoTray)},
    {"3 to 2 with desktop 3 active", 3, 2, 2,
     Steps(kTwoMenus, {"MainProc(1)", "MoveAllWins(2,1)", "DeleteDeskNode(2)"}, kTwoTray)},
    {"4 to 3 with desktop 4 active", 4, 3, 3,
     Steps(kThreeMenus, {"MainProc(2)", "MoveAllWins(3,2)", "DeleteDeskNode(3)"}, kThreeTray)},
    {"4 to 3 with desktop 3 active", 4, 3, 2,
     Steps(kThreeMenus, {"MoveAllWins(3,2)", "DeleteDeskNode(3)"}, kThreeTray)},
    {"2 to 3", 2, 3, 0, Steps(kThreeMenus, {"AddDeskNode(2)"}, kThreeTray)},
    {"2 to 4", 2, 4, 1, Steps(kFourMenus, {"AddDeskNode(2)", "AddDeskNode(3)"}, kFourTray)},
    {"3 to 4", 3, 4, 0, Steps(kFourMenus, {"AddDeskNode(3)"}, kFourTray)},
    {"4 to 4", 4, 4, 0, Steps(kFourMenus, {}, kFourTray)},
    {"to 5", 4, 5, 3, {}},
    {"to 1", 4, 1, 3, {}},
};

TEST(ChangeDesktopNum, StepsInOrder) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        RecordingSteps steps;
        steps.active = c.active;
        ChangeDesktopNum(steps, c.from, c.to);
        EXPECT_EQ(steps.log, c.steps);
    }
}

// Over the real engine: leaving desktop 4 for desktop 2 first, then a window on desktops 3 and
// 4 lands once on desktop 2, and all of it stays visible.
TEST(ChangeDesktopNum, FourToTwoOverTheEngineGivesASharedWindowOnce) {
    TEngineBed bed;
    bed.Start();
    bed.engine.MainProc(2);
    const TWindowHandle three = bed.App("three");
    const TWindowHandle shared = bed.App("shared");
    bed.engine.MainProc(3);
    const TWindowHandle four = bed.App("four");
    bed.engine.MainProc(1);
    bed.engine.DeskWins[3].Add(HandleText(shared));
    bed.engine.MainProc(3);
    ASSERT_EQ(bed.Desk(3), (std::vector<TWindowHandle>{four, shared}));
    RecordingSteps steps;
    steps.engine = &bed.engine;
    ChangeDesktopNum(steps, 4, 2);
    EXPECT_EQ(bed.engine.ActiveDesk, 1);
    EXPECT_EQ(bed.Desk(1), (std::vector<TWindowHandle>{three, shared, four}));
    EXPECT_TRUE(bed.Visible(three) && bed.Visible(shared) && bed.Visible(four));
    EXPECT_TRUE(bed.Desk(2).empty() && bed.Desk(3).empty());
}

}  // namespace
