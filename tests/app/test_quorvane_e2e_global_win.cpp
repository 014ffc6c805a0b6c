// The real Quorvane.exe, driven as a user would drive it: started and started again, its hot keys
// pressed through the input system, other programs' windows from winfarm, and every way it ends.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/app/QuorvaneDriver_win.h"
#include "tests/fixtures/WinFarmClient_win.h"

namespace {

using namespace quorvane_test;

constexpr UINT kTrayCallback = 0xB054;
constexpr UINT kHideBand = WM_USER + 12;
constexpr UINT kShowBand = WM_USER + 13;
constexpr UINT kActiveDesk1 = WM_USER + 1;

bool AllVisible(const std::vector<HWND>& windows) {
    for (HWND w : windows)
        if (!IsWindowVisible(w))
            return false;
    return true;
}

bool NoneVisible(const std::vector<HWND>& windows) {
    for (HWND w : windows)
        if (IsWindowVisible(w))
            return false;
    return true;
}

struct ChildSearch {
    std::string text;
    HWND found = nullptr;
};

BOOL CALLBACK FindChildByText(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<ChildSearch*>(lp);
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (s->text == text) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND ChildWithText(HWND parent, const std::string& text) {
    ChildSearch s{text};
    EnumChildWindows(parent, FindChildByText, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Each test starts from a settings key that shows no help dialog, unless it says otherwise.
class QuorvaneE2E : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettings();
        PutSetting("ShowDeskbandHelp", "FALSE");
    }
    void TearDown() override { DeleteSettings(); }
};

TEST_F(QuorvaneE2E, FirstStartShowsTheBandHelpUntilOKWithTheBoxTicked) {
    DeleteSettings();
    {
        // The close box leaves the reminder unstored, ticked or not.
        Program first;
        ASSERT_TRUE(winfarm::PumpUntil([&] { return first.HelpDialog() != nullptr; }, 15000));
        HWND dialog = first.HelpDialog();
        ASSERT_TRUE(winfarm::PumpUntil([&] { return IsWindowVisible(dialog) != FALSE; }));
        HWND manager = first.Manager();
        ASSERT_NE(manager, nullptr);
        EXPECT_FALSE(IsWindowVisible(manager)) << "the manager window stays hidden";
        EXPECT_FALSE(IsWindowEnabled(manager)) << "and disabled while the dialog is up";
        HWND box = ChildWithText(dialog, "Never show this hint again");
        ASSERT_NE(box, nullptr);
        SendMessageA(box, BM_CLICK, 0, 0);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        ASSERT_TRUE(winfarm::PumpUntil([&] { return IsWindowEnabled(manager) != FALSE; }));
        EXPECT_EQ(GetSetting("ShowDeskbandHelp"), "<missing>");
        PostMessageA(manager, WM_CLOSE, 0, 0);
        EXPECT_EQ(first.WaitExit(10000), 0u);
    }
    {
        Program second;
        ASSERT_TRUE(winfarm::PumpUntil([&] { return second.HelpDialog() != nullptr; }, 15000));
        HWND dialog = second.HelpDialog();
        ASSERT_TRUE(winfarm::PumpUntil([&] { return IsWindowVisible(dialog) != FALSE; }));
        SendMessageA(ChildWithText(dialog, "Never show this hint again"), BM_CLICK, 0, 0);
        SendMessageA(ChildWithText(dialog, "OK"), BM_CLICK, 0, 0);
        ASSERT_TRUE(
            winfarm::PumpUntil([&] { return GetSetting("ShowDeskbandHelp") == "FALSE"; }));
        PostMessageA(second.Manager(), WM_CLOSE, 0, 0);
        EXPECT_EQ(second.WaitExit(10000), 0u);
    }
    Program third;
    ASSERT_TRUE(third.WaitReady());
    EXPECT_EQ(third.HelpDialog(), nullptr);
}

TEST_F(QuorvaneE2E, ASecondStartEndsAtOnceAndARenamedCopyRunsBeside) {
    Program first;
    ASSERT_TRUE(first.WaitReady());
    const HWND manager = first.Manager();
    {
        Program second;
        ASSERT_TRUE(second.Started());
        EXPECT_EQ(second.WaitExit(10000), 0u);
        EXPECT_EQ(second.Manager(), nullptr);
    }
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(first.Manager(), manager);

    // The same program under another file name is another program for the guard.
    std::string copy = QUORVANE_EXE;
    copy.replace(copy.rfind('\\') + 1, std::string::npos, "QuorvaneCopy.exe");
    ASSERT_TRUE(CopyFileA(QUORVANE_EXE, copy.c_str(), FALSE));
    {
        Program renamed(copy);
        ASSERT_TRUE(renamed.WaitReady());
        EXPECT_TRUE(renamed.Running());
        PostMessageA(renamed.Manager(), WM_CLOSE, 0, 0);
        EXPECT_EQ(renamed.WaitExit(10000), 0u);
    }
    DeleteFileA(copy.c_str());
}

TEST_F(QuorvaneE2E, HotKeysSwitchDesktopsOfOtherProgramsWindows) {
    winfarm::Farm farm;
    // Two programs started one after the other: the later one's window lies on top.
    const HWND first = farm.Spawn("First").Of("main")[0];
    const HWND second = farm.Spawn("Second").Of("main")[0];
    const std::vector<HWND> desk1{first, second};
    Program program;
    ASSERT_TRUE(program.WaitReady());
    ASSERT_TRUE(AllVisible(desk1));
    ASSERT_TRUE(winfarm::PumpUntil([&] { return winfarm::StackedTopFirst({second, first}); }));

    ASSERT_EQ(winfarm::SendKeys("Alt+2"), 0u);
    ASSERT_TRUE(winfarm::PumpUntil([&] { return NoneVisible(desk1); }));

    // A program started on desktop 2 belongs to it.
    const auto two = farm.Spawn("Two");
    const std::vector<HWND> desk2 = two.Of("main");
    ASSERT_TRUE(AllVisible(desk2));

    ASSERT_EQ(winfarm::SendKeys("Alt+1"), 0u);
    ASSERT_TRUE(winfarm::PumpUntil([&] { return AllVisible(desk1) && NoneVisible(desk2); }));
    EXPECT_TRUE(winfarm::PumpUntil([&] { return winfarm::StackedTopFirst({second, first}); }))
        << "desktop 1 comes back in its stacking order";

    // The hot key of the active desktop does nothing.
    ASSERT_EQ(winfarm::SendKeys("Alt+1"), 0u);
    winfarm::PumpUntil([] { return false; }, 700);
    EXPECT_TRUE(AllVisible(desk1));
    EXPECT_TRUE(NoneVisible(desk2));

    PostMessageA(program.Manager(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(10000), 0u);
    EXPECT_TRUE(AllVisible(desk1) && AllVisible(desk2)) << "no window stays hidden after exit";
}

TEST_F(QuorvaneE2E, ThreeDesktopsWithTheCtrlFunctionKeyScheme) {
    PutSetting("NumDesks", "3");
    PutSetting("SwitchHotKey", "4");
    winfarm::Farm farm;
    const auto one = farm.Spawn("One");
    Program program;
    ASSERT_TRUE(program.WaitReady());
    const std::vector<HWND> desk1 = one.Of("main");

    ASSERT_EQ(winfarm::SendKeys("Ctrl+F3"), 0u);
    ASSERT_TRUE(winfarm::PumpUntil([&] { return NoneVisible(desk1); }));
    ASSERT_EQ(winfarm::SendKeys("Ctrl+F1"), 0u);
    ASSERT_TRUE(winfarm::PumpUntil([&] { return AllVisible(desk1); }));
    // Desktop 4 does not exist: its key is not even registered.
    ASSERT_EQ(winfarm::SendKeys("Ctrl+F4"), 0u);
    winfarm::PumpUntil([] { return false; }, 700);
    EXPECT_TRUE(AllVisible(desk1));
    // The digits of the default scheme are not this program's now.
    ASSERT_EQ(winfarm::SendKeys("Alt+2"), 0u);
    winfarm::PumpUntil([] { return false; }, 700);
    EXPECT_TRUE(AllVisible(desk1));

    PostMessageA(program.Manager(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(10000), 0u);
}

// Every way the program ends puts every window back, tells the band and ends with code 0.
struct EndCase {
    const char* name;
    std::function<void(Program&)> end;
};

// The notification icon's hidden window, found by its title.
HWND TrayWindowOf(const Program& program) {
    for (HWND w : program.Windows()) {
        char text[64] = {};
        GetWindowTextA(w, text, sizeof text);
        if (lstrcmpA(text, "TQxTrayIcon") == 0)
            return w;
    }
    return nullptr;
}

const EndCase kEnds[] = {
    {"Exit from the notification menu",
     [](Program& p) {
         HWND tray = TrayWindowOf(p);
         ASSERT_NE(tray, nullptr);
         PostMessageA(tray, kTrayCallback, 0, WM_RBUTTONDOWN);
         PostMessageA(tray, kTrayCallback, 0, WM_RBUTTONUP);
         // The menu's last item is Exit: Up from no selection lands on it.
         winfarm::PumpUntil([] { return false; }, 700);
         winfarm::SendKeys("Up");
         winfarm::SendKeys("Enter");
     }},
    {"WM_CLOSE to the manager window",
     [](Program& p) { PostMessageA(p.Manager(), WM_CLOSE, 0, 0); }},
    {"the session ends",
     [](Program& p) {
         for (HWND w : p.Windows()) {
             DWORD_PTR answer = 0;
             SendMessageTimeoutA(w, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 2000, &answer);
         }
         for (HWND w : p.Windows()) {
             DWORD_PTR answer = 0;
             SendMessageTimeoutA(w, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 2000, &answer);
         }
     }},
};

TEST_F(QuorvaneE2E, EveryEndPutsTheWindowsBackAndTellsTheBand) {
    for (const EndCase& c : kEnds) {
        SCOPED_TRACE(c.name);
        winfarm::Farm farm;
        const auto one = farm.Spawn("One");
        FakeBand band;
        PutSetting("TBHandle", band.HandleText());
        Program program;
        ASSERT_TRUE(program.WaitReady());
        ASSERT_TRUE(winfarm::PumpUntil([&] { return band.Received(kActiveDesk1); }));
        EXPECT_TRUE(band.Received(kShowBand));
        EXPECT_EQ(program.HelpDialog(), nullptr) << "no help while a band is known";
        ASSERT_EQ(winfarm::SendKeys("Alt+3"), 0u);
        ASSERT_TRUE(winfarm::PumpUntil([&] { return NoneVisible(one.Of("main")); }));

        c.end(program);
        EXPECT_EQ(program.WaitExit(10000), 0u);
        EXPECT_TRUE(AllVisible(one.Of("main")));
        EXPECT_TRUE(winfarm::PumpUntil([&] { return band.Received(kHideBand); }));
        EXPECT_EQ(TrayWindowOf(program), nullptr);
    }
}

// A handle in "TBHandle" that names no band window is not the band's: nothing is posted to it,
// and the help dialog still appears.
TEST_F(QuorvaneE2E, AStaleBandHandleIsIgnored) {
    winfarm::Farm farm;
    const auto other = farm.Spawn("Other");
    DeleteSettings();
    PutSetting("TBHandle", std::to_string(static_cast<std::uint32_t>(
                               reinterpret_cast<std::uintptr_t>(other.Of("main")[0]))));
    Program program;
    ASSERT_TRUE(winfarm::PumpUntil([&] { return program.HelpDialog() != nullptr; }, 15000));
    PostMessageA(program.HelpDialog(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(winfarm::PumpUntil([&] { return program.HelpDialog() == nullptr; }));
    PostMessageA(program.Manager(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(10000), 0u);
}

}  // namespace
