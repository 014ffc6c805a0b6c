// The band link end to end: this test process plays the band (a window of the band's class
// whose handle it stores as "TBHandle"), starts the real program and talks to it only through
// posted messages, as the band does.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/app/QuorvaneDriver_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/fixtures/WinFarmClient_win.h"

namespace {

using namespace quorvane_test;

constexpr UINT kSwitchDesk1 = WM_USER + 1;
constexpr UINT kActiveDesk1 = WM_USER + 1;
constexpr UINT kBandHandle = WM_USER + 5;
constexpr UINT kDeskMenu1 = WM_USER + 8;
constexpr UINT kShowBand = WM_USER + 13;

int IndexIn(const std::vector<UINT>& log, UINT message) {
    auto it = std::find(log.begin(), log.end(), message);
    return it == log.end() ? -1 : static_cast<int>(it - log.begin());
}

void Pump(int ms) {
    winfarm::PumpUntil([] { return false; }, ms);
}

class BandLinkE2E : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteSettings();
        PutSetting("ShowDeskbandHelp", "TRUE"); // a known band must keep the help away
        PutSetting("NumDesks", "2");
        PutSetting("TBHandle", band.HandleText());
    }
    void TearDown() override { DeleteSettings(); }
    FakeBand band;
};

TEST_F(BandLinkE2E, TheProgramAnswersTheBandsRequests) {
    winfarm::Farm farm;
    const std::vector<HWND> mine = farm.Spawn("Desk1", {.windows = 2}).Of("main");
    Program program;
    ASSERT_TRUE(program.WaitReady());
    ASSERT_TRUE(winfarm::PumpUntil([&] { return band.Received(kActiveDesk1); }));
    const std::vector<UINT> start = BandLog();
    ASSERT_GE(IndexIn(start, kShowBand), 0);
    EXPECT_LT(IndexIn(start, kShowBand), IndexIn(start, kActiveDesk1)) << "shown, then told";
    EXPECT_EQ(program.HelpDialog(), nullptr);
    const HWND manager = program.Manager();

    // Desktop 2 on request: answered, and desktop 1's windows go.
    BandLog().clear();
    PostMessageA(manager, kSwitchDesk1 + 1, 0, 0);
    ASSERT_TRUE(winfarm::PumpUntil([&] { return band.Received(kActiveDesk1 + 1); }));
    EXPECT_FALSE(IsWindowVisible(mine[0]));
    EXPECT_FALSE(IsWindowVisible(mine[1]));

    // Desktop 3 does not exist with two desktops: nothing.
    BandLog().clear();
    PostMessageA(manager, kSwitchDesk1 + 2, 0, 0);
    Pump(500);
    EXPECT_TRUE(BandLog().empty());

    // The window list of desktop 1 opens a menu; Escape closes it.
    PostMessageA(manager, kDeskMenu1, 0, 0);
    ASSERT_TRUE(winfarm::PumpUntil(
        [] {
            HWND menu = FindWindowA("#32768", nullptr);
            return menu != nullptr && IsWindowVisible(menu);
        },
        5000));
    Pump(150);
    mouse_input::Key(VK_ESCAPE);
    ASSERT_TRUE(winfarm::PumpUntil(
        [] {
            HWND menu = FindWindowA("#32768", nullptr);
            return menu == nullptr || !IsWindowVisible(menu);
        },
        5000));

    // The band goes away: no more posts to it, even after a switch.
    PostMessageA(manager, kBandHandle, 0, 0);
    Pump(200);
    BandLog().clear();
    PostMessageA(manager, kSwitchDesk1, 0, 0);
    ASSERT_TRUE(winfarm::PumpUntil([&] { return IsWindowVisible(mine[0]) != FALSE; }));
    Pump(300);
    EXPECT_TRUE(BandLog().empty());

    PostMessageA(manager, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitExit(10000), 0u);
}

} // namespace
