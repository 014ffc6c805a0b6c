// The real Quorvane.exe, driven as a user would drive it: started and started again, its hot keys
// pressed through the input system, other programs' windows from winfarm, and every way it ends.
#include <gtest/gtest.h>

#include <cctype>
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

// The dialog's picture: a 302 x 201 image control at (248, 8) of the client area, showing the
// illustration stored with the program (read off the screen at a few of its pixels).
void ExpectTheHelpPicture(HWND dialog) {
    HWND picture = FindWindowExA(dialog, nullptr, "TImage32", nullptr);
    ASSERT_NE(picture, nullptr);
    RECT r{};
    GetWindowRect(picture, &r);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    EXPECT_EQ(r.left - origin.x, 248);
    EXPECT_EQ(r.top - origin.y, 8);
    EXPECT_EQ(r.right - r.left, 302);
    EXPECT_EQ(r.bottom - r.top, 201);
    RedrawWindow(picture, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    winfarm::PumpUntil([] { return false; }, 200);
    HDC screen = GetDC(nullptr);
    auto at = [&](int x, int y) { return GetPixel(screen, r.left + x, r.top + y); };
    EXPECT_EQ(at(5, 5), RGB(0x3A, 0x6E, 0xA5)) << "the desktop";
    EXPECT_EQ(at(200, 190), RGB(0xD4, 0xD0, 0xC8)) << "the taskbar";
    EXPECT_EQ(at(75, 100), RGB(0x31, 0x6A, 0xC5)) << "the Toolbars item, highlighted";
    EXPECT_EQ(at(80, 99), RGB(0xFF, 0xFF, 0xFF)) << "its caption";
    EXPECT_EQ(at(141, 189), RGB(0xD0, 0x40, 0x30)) << "the first step's mark";
    ReleaseDC(nullptr, screen);
}

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
        ExpectTheHelpPicture(dialog);
        SendMessageA(ChildWithText(dialog, "Never show this hint again"), BM_CLICK, 0, 0);
        SendMessageA(ChildWithText(dialog, "OK"), BM_CLICK, 0, 0);
        ASSERT_TRUE(winfarm::PumpUntil([&] { return GetSetting("ShowDeskbandHelp") == "FALSE"; }));
        PostMessageA(second.Manager(), WM_CLOSE, 0, 0);
        EXPECT_EQ(second.WaitExit(10000), 0u);
    }
    // The first idle moment may come before the dialog would: it is watched for a while.
    Program third;
    ASSERT_TRUE(third.WaitReady());
    EXPECT_FALSE(winfarm::PumpUntil([&] { return third.HelpDialog() != nullptr; }, 2000));
}

TEST_F(QuorvaneE2E, ASecondStartEndsAtOnceAndARenamedCopyRunsBeside) {
    Program first;
    ASSERT_TRUE(first.WaitReady());
    const HWND manager = first.Manager();
    // The file system does not tell the file name's case apart, so neither does the guard.
    std::string lower = QUORVANE_EXE;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string& path : {std::string(QUORVANE_EXE), lower}) {
        SCOPED_TRACE(path);
        Program second(path);
        ASSERT_TRUE(second.Started());
        // Watched while it runs: it makes no manager window at any moment.
        bool sawManager = false;
        EXPECT_TRUE(winfarm::PumpUntil(
            [&] {
                sawManager = sawManager || second.Manager() != nullptr;
                return !second.Running();
            },
            10000));
        EXPECT_FALSE(sawManager);
        EXPECT_EQ(second.WaitExit(1000), 0u);
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
    WatchedWindow watched;
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
    EXPECT_TRUE(winfarm::PumpUntil([&] {
        return winfarm::StackedTopFirst({second, first});
    })) << "desktop 1 comes back in its stacking order";

    ASSERT_TRUE(winfarm::PumpUntil([&] { return IsWindowVisible(watched.Handle()) != FALSE; }));

    // The hot key of the active desktop does nothing: not even a hide and show of its windows.
    const int shows = ShowWindowCount();
    ASSERT_GE(shows, 2) << "the watched window was hidden and shown with desktop 1";
    ASSERT_EQ(winfarm::SendKeys("Alt+1"), 0u);
    winfarm::PumpUntil([] { return false; }, 700);
    EXPECT_EQ(ShowWindowCount(), shows);
    EXPECT_TRUE(AllVisible(desk1));
    EXPECT_TRUE(NoneVisible(desk2));

    PostMessageA(program.Manager(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(10000), 0u);
    EXPECT_TRUE(AllVisible(desk1) && AllVisible(desk2)) << "no window stays hidden after exit";
}

// Fewer desktops than four: the last one's key switches, the first one's comes back, the key of
// a desktop beyond the count and the default scheme's keys (under another scheme) are not the
// program's.
struct CountCase {
    const char* numDesks;
    const char* scheme;
    const char* lastKey;
    const char* firstKey;
    std::vector<const char*> foreignKeys;
};

const CountCase kCounts[] = {
    {"3", "4", "Ctrl+F3", "Ctrl+F1", {"Ctrl+F4", "Alt+2"}},
    {"2", "0", "Alt+2", "Alt+1", {"Alt+3", "Alt+4"}},
};

TEST_F(QuorvaneE2E, FewerDesktopsRegisterOnlyTheirKeys) {
    for (const CountCase& c : kCounts) {
        SCOPED_TRACE(std::string(c.numDesks) + " desktops, scheme " + c.scheme);
        PutSetting("NumDesks", c.numDesks);
        PutSetting("SwitchHotKey", c.scheme);
        winfarm::Farm farm;
        const auto one = farm.Spawn("One");
        Program program;
        ASSERT_TRUE(program.WaitReady());
        const std::vector<HWND> desk1 = one.Of("main");

        ASSERT_EQ(winfarm::SendKeys(c.lastKey), 0u);
        ASSERT_TRUE(winfarm::PumpUntil([&] { return NoneVisible(desk1); }));
        ASSERT_EQ(winfarm::SendKeys(c.firstKey), 0u);
        ASSERT_TRUE(winfarm::PumpUntil([&] { return AllVisible(desk1); }));
        for (const char* key : c.foreignKeys) {
            SCOPED_TRACE(key);
            ASSERT_EQ(winfarm::SendKeys(key), 0u);
            winfarm::PumpUntil([] { return false; }, 700);
            EXPECT_TRUE(AllVisible(desk1));
        }

        PostMessageA(program.Manager(), WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitExit(10000), 0u);
    }
}

// The show/hide key stored in the settings is registered at start: it shows the manager in
// front, and hides it while it is in front.
TEST_F(QuorvaneE2E, TheStoredShowHideKeyShowsAndHidesTheManager) {
    PutSetting("AppHotKey", "Shift+Ctrl+Q");
    winfarm::Farm farm;
    const auto other = farm.Spawn("Other");
    Program program;
    ASSERT_TRUE(program.WaitReady());
    const HWND manager = program.Manager();
    ASSERT_FALSE(IsWindowVisible(manager));
    auto inFront = [&] {
        DWORD pid = 0;
        GetWindowThreadProcessId(GetForegroundWindow(), &pid);
        return pid == program.Pid();
    };

    ASSERT_EQ(winfarm::SendKeys("Ctrl+Shift+Q"), 0u);
    ASSERT_TRUE(winfarm::PumpUntil([&] { return IsWindowVisible(manager) && inFront(); }));

    // Shown but behind another program's window: the key brings it forward, it does not hide it.
    const HWND front = other.Of("main")[0];
    // Asked again until the other program has taken the request: its window may be busy.
    ASSERT_TRUE(winfarm::PumpUntil([&] {
        SetForegroundWindow(front);
        return GetForegroundWindow() == front;
    }));
    ASSERT_EQ(winfarm::SendKeys("Ctrl+Shift+Q"), 0u);
    EXPECT_TRUE(winfarm::PumpUntil([&] { return inFront(); }));
    winfarm::PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(IsWindowVisible(manager));
    EXPECT_TRUE(inFront());

    ASSERT_EQ(winfarm::SendKeys("Ctrl+Shift+Q"), 0u);
    EXPECT_TRUE(winfarm::PumpUntil([&] { return !IsWindowVisible(manager); }));

    PostMessageA(manager, WM_CLOSE, 0, 0);
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
        const HWND tray = TrayWindowOf(program);
        ASSERT_NE(tray, nullptr);
        ASSERT_TRUE(winfarm::PumpUntil([&] { return TrayHoldsIcon(tray); }))
            << "the icon is in the notification area while the program runs";
        ASSERT_EQ(winfarm::SendKeys("Alt+3"), 0u);
        ASSERT_TRUE(winfarm::PumpUntil([&] { return NoneVisible(one.Of("main")); }));

        c.end(program);
        EXPECT_EQ(program.WaitExit(10000), 0u);
        EXPECT_TRUE(AllVisible(one.Of("main")));
        EXPECT_TRUE(winfarm::PumpUntil([&] { return band.Received(kHideBand); }));
        EXPECT_FALSE(TrayHoldsIcon(tray)) << "the program took its icon away";
    }
}

// A fault on the program's own thread that nothing handles still puts every hidden window back
// and tells the band before the process ends.
TEST_F(QuorvaneE2E, AFaultOnTheWindowThreadPutsTheWindowsBack) {
    winfarm::Farm farm;
    const auto one = farm.Spawn("One");
    const auto two = farm.Spawn("Two");
    FakeBand band;
    PutSetting("TBHandle", band.HandleText());
    Program program;
    ASSERT_TRUE(program.WaitReady());
    ASSERT_TRUE(winfarm::PumpUntil([&] { return band.Received(kActiveDesk1); }));
    ASSERT_EQ(winfarm::SendKeys("Alt+2"), 0u);
    ASSERT_TRUE(winfarm::PumpUntil([&] { return NoneVisible(one.Of("main")); }));
    const auto three = farm.Spawn("Three");
    ASSERT_EQ(winfarm::SendKeys("Alt+3"), 0u);
    ASSERT_TRUE(winfarm::PumpUntil([&] { return NoneVisible(three.Of("main")); }));
    ASSERT_TRUE(NoneVisible(two.Of("main")));

    ASSERT_TRUE(FaultThreadOf(program, program.Manager()));
    EXPECT_NE(program.WaitExit(20000), static_cast<DWORD>(STILL_ACTIVE)) << "the program ended";
    EXPECT_TRUE(AllVisible(one.Of("main")));
    EXPECT_TRUE(AllVisible(two.Of("main")));
    EXPECT_TRUE(AllVisible(three.Of("main")));
    EXPECT_TRUE(winfarm::PumpUntil([&] { return band.Received(kHideBand); }));
}

// A handle in "TBHandle" that names no band window is not the band's: the window it names hears
// nothing from the program, at start, at a switch or at exit, and the help dialog still appears.
TEST_F(QuorvaneE2E, AStaleBandHandleIsIgnored) {
    winfarm::Farm farm;
    const auto one = farm.Spawn("One");
    FakeBand stranger("QuorvaneTestStranger");
    DeleteSettings();
    PutSetting("TBHandle", stranger.HandleText());
    Program program;
    ASSERT_TRUE(winfarm::PumpUntil([&] { return program.HelpDialog() != nullptr; }, 15000));
    PostMessageA(program.HelpDialog(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(winfarm::PumpUntil([&] { return program.HelpDialog() == nullptr; }));
    ASSERT_EQ(winfarm::SendKeys("Alt+2"), 0u);
    ASSERT_TRUE(winfarm::PumpUntil([&] { return NoneVisible(one.Of("main")); }));
    PostMessageA(program.Manager(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(10000), 0u);
    winfarm::PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(BandLog().empty()) << BandLog().size() << " messages, the first " << std::hex
                                   << (BandLog().empty() ? 0u : BandLog()[0]);
}

} // namespace
