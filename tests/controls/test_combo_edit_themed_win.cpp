// The button edit with visual styles (this program carries the common controls 6 manifest):
// the theme's one-pixel edit frame in place of the sunken edge, the button host placed for it,
// the border answer right of the button, and the themed drop-down button.

#include <gtest/gtest.h>
#include <windows.h>

#include "controls/TkToolEdit_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/ThemeServices_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

class ComboEditThemedTest : public ControlsTest {
protected:
    TTkComboEdit* Edit() {
        auto* e = Create<TTkComboEdit>(form);
        e->SetBounds(20, 20, 150, 21);
        e->SetText("themed");
        e->SetParent(form);
        return e;
    }
};

TEST_F(ComboEditThemedTest, TheFrameIsTheThemesOnePixelEdge) {
    ASSERT_TRUE(ThemeServices()->ThemesEnabled());
    auto* e = Edit();
    ShowForm();
    RECT client{};
    GetClientRect(e->Handle(), &client);
    EXPECT_EQ(client.right, 150 - 2);
    EXPECT_EQ(client.bottom, 21 - 2);
    const TRect host = e->ButtonHost()->BoundsRect();
    EXPECT_EQ(host, Bounds(150 - 21 - 2, 0, 21, 21 - 2));
    EXPECT_EQ(host.Right, client.right) << "the button ends at the frame";

    // The frame's pixels are the theme's edit frame.
    RedrawWindow(e->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpFor(50);
    HDC dc = GetWindowDC(e->Handle());
    const COLORREF drawn = GetPixel(dc, 0, 10);
    ReleaseDC(e->Handle(), dc);
    const std::vector<COLORREF> theme = DrawnPixels(
        [&](HDC m) {
            ThemeServices()->DrawElement(m, {tcEdit, 1, 1}, Rect(0, 0, 150, 21));
        },
        150, 21);
    EXPECT_EQ(drawn, theme[10 * 150 + 0]);
}

TEST_F(ComboEditThemedTest, RightOfTheButtonsLeftEdgeIsBorder) {
    auto* e = Edit();
    ShowForm();
    auto hit = [&](int x) {
        const TPoint p = e->ClientToScreen(Point(x, 5));
        return SendMessageA(e->Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.X, p.Y));
    };
    EXPECT_EQ(hit(10), HTCLIENT);
    EXPECT_EQ(hit(e->ButtonHost()->Left() + 2), HTBORDER);
    e->SetShowButton(false);
    EXPECT_EQ(hit(e->ButtonHost()->Left() + 2), HTCLIENT) << "no button, no border there";
}

TEST_F(ComboEditThemedTest, TheDropDownButtonIsTheThemesOwn) {
    auto* e = Edit();
    e->SetImageKind(ikDropDown);
    EXPECT_TRUE(e->Button()->DrawThemedDropDown);
    EXPECT_TRUE(e->Button()->Glyph()->Empty()) << "no arrow bitmap under the theme's button";
    e->SetButtonFlat(true);
    EXPECT_FALSE(e->Button()->Glyph()->Empty()) << "a flat button draws the arrow bitmap";
}

} // namespace
