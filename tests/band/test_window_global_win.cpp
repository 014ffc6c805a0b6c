// The band window in-process, where its state can be read: the stored desktop count, the
// looks per active desktop, a vertical taskbar (through the edge seam) and band messages
// from anywhere.
#include <gtest/gtest.h>
#include <windows.h>

#include "band/QuorvaneTB_win.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Registry_win.h"
#include "raster/Bitmap32.h"
#include "raster/Bitmap32List.h"
#include "raster/Image32_win.h"
#include "raster/Startup.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

namespace {

band::TEdge gEdge = band::TEdge::Bottom;
band::TEdge TestEdge() {
    return gEdge;
}

void WriteSetting(const char* name, const char* value) {
    TRegistry reg;
    reg.SetLazyWrite(false);
    ASSERT_TRUE(reg.OpenKey("Software\\Quorvane", true));
    reg.WriteString(name, value);
}

class BandWindow : public GuiTest {
protected:
    void SetUp() override {
        raster::Startup();
        GuiTest::SetUp();
        gEdge = band::TEdge::Bottom;
        TQuorvaneTB::TaskbarEdge = &TestEdge;
        host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 50, 50, 200, 80, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override {
        if (tb != nullptr)
            tb->Free();
        DestroyWindow(host);
        TQuorvaneTB::TaskbarEdge = &ShellTaskbarEdge;
        GuiTest::TearDown();
    }
    TQuorvaneTB* Make() {
        tb = TWinControl::CreateParented<TQuorvaneTB>(host);
        return tb;
    }
    // The image of the list that button n shows, or -1.
    int ImageOn(int n) {
        for (int i = 0; i < 8; ++i)
            if (tb->Button(n)->Bitmap()->Equal(tb->Bitmap32List1->Bitmap(i)))
                return i;
        return -1;
    }
    HWND host = nullptr;
    TQuorvaneTB* tb = nullptr;
};

TEST_F(BandWindow, StoredDesktopCountDecidesTheButtons) {
    struct Case {
        const char* stored;
        bool third, fourth;
        int width;
    } cases[] = {{"3", true, false, 50},
                 {"2", false, false, 33},
                 {"4", true, true, 67},
                 {"7", true, true, 67},
                 {"x", true, true, 67}};
    for (const Case& c : cases) {
        WriteSetting("NumDesks", c.stored);
        Make();
        EXPECT_EQ(tb->TBBtn3->Visible(), c.third) << c.stored;
        EXPECT_EQ(tb->TBBtn4->Visible(), c.fourth) << c.stored;
        EXPECT_EQ(tb->BandWidth(), c.width) << c.stored;
        tb->Free();
        tb = nullptr;
    }
}

TEST_F(BandWindow, EightLooksAndTheActiveDesktop) {
    WriteSetting("NumDesks", "4");
    Make();
    ASSERT_EQ(tb->Bitmap32List1->Bitmaps()->Count(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(tb->Bitmap32List1->Bitmap(i)->Width(), 16);
        EXPECT_EQ(tb->Bitmap32List1->Bitmap(i)->Height(), 16);
    }
    EXPECT_THROW(tb->Bitmap32List1->Bitmap(8), EListError);
    // Desktop 2 reported active: images 1, 2, 5, 7.
    PostMessageA(tb->Handle(), WM_USER + 2, 0, 0);
    PumpUntil([&] { return tb->ActiveButton() == 2; });
    EXPECT_EQ(ImageOn(1), 1);
    EXPECT_EQ(ImageOn(2), 2);
    EXPECT_EQ(ImageOn(3), 5);
    EXPECT_EQ(ImageOn(4), 7);
    // The buttons keep copies: the list's images stay as they were.
    tb->Button(2)->Bitmap()->Clear(0);
    EXPECT_NE(tb->Bitmap32List1->Bitmap(2)->Pixel(2, 2), 0u);
}

TEST_F(BandWindow, AVerticalTaskbarStacksTheButtons) {
    WriteSetting("NumDesks", "3");
    gEdge = band::TEdge::Left;
    Make();
    EXPECT_TRUE(tb->Vertical());
    EXPECT_EQ(tb->BandWidth(), 24);
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(tb->Button(n)->Top(), (n - 1) * 17) << n;
        EXPECT_LE(tb->Button(n)->Left() + tb->Button(n)->Width(), 24) << n;
    }
    // Back on a horizontal taskbar the buttons line up again.
    gEdge = band::TEdge::Bottom;
    PostMessageA(tb->Handle(), WM_USER + 6, 4, 0);
    PumpUntil([&] { return !tb->Vertical(); });
    EXPECT_EQ(tb->BandWidth(), 67);
    EXPECT_EQ(tb->Button(3)->Left(), 34);
    EXPECT_EQ(tb->Button(3)->Top(), 8);
}

TEST_F(BandWindow, MessagesFromAnyProcessAreHarmless) {
    WriteSetting("NumDesks", "4");
    Make();
    for (WPARAM bad : {WPARAM{0}, WPARAM{1}, WPARAM{5}, WPARAM{0xFFFFFFFF}})
        PostMessageA(tb->Handle(), WM_USER + 6, bad, 0);
    PostMessageA(tb->Handle(), WM_USER + 3, 0, 0);
    PumpFor(100);
    EXPECT_TRUE(tb->TBBtn4->Visible());
    EXPECT_EQ(tb->BandWidth(), 67);
    EXPECT_EQ(tb->ActiveButton(), 3);
    tb->SetActiveBtn(0);
    tb->SetActiveBtn(9);
    EXPECT_EQ(tb->ActiveButton(), 3);
    // No rebar here: the band commands do nothing.
    tb->DeskBandAct("ResizeBand");
    tb->DeskBandAct(nullptr);
}

} // namespace
