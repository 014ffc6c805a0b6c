#include <gtest/gtest.h>
#include <windows.h>

#include "components/trayicon/QXConst_win.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/Screen_win.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

// This program links the cursor resources; the component test's program
// does not and checks that the slots then keep the arrow.
namespace {

struct TCursorShape {
    bool IsIcon = true;
    DWORD HotX = 0;
    DWORD HotY = 0;
};

TCursorShape ShapeOf(HCURSOR cursor) {
    ICONINFO info{};
    if (!GetIconInfo(cursor, &info))
        return {};
    if (info.hbmColor != nullptr)
        DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr)
        DeleteObject(info.hbmMask);
    return {info.fIcon != FALSE, info.xHotspot, info.yHotspot};
}

class QxCursorsTest : public GuiTest {};

TEST_F(QxCursorsTest, StartUpPutsTheProgramsCursorsIntoTheirSlots) {
    Shutdown();
    RegisterQxConstStartup();
    Startup();
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR hand = Screen->Cursors(crQxHand);
    const HCURSOR drag = Screen->Cursors(crQxDrag);
    ASSERT_NE(hand, nullptr);
    ASSERT_NE(drag, nullptr);
    EXPECT_NE(hand, arrow);
    EXPECT_NE(drag, arrow);
    EXPECT_NE(hand, drag);
    // The hot spots where they were drawn: the hand's fingertip, the
    // drag arrow's point.
    const TCursorShape handShape = ShapeOf(hand);
    EXPECT_FALSE(handShape.IsIcon);
    EXPECT_EQ(handShape.HotX, 5u);
    EXPECT_EQ(handShape.HotY, 0u);
    const TCursorShape dragShape = ShapeOf(drag);
    EXPECT_FALSE(dragShape.IsIcon);
    EXPECT_EQ(dragShape.HotX, 0u);
    EXPECT_EQ(dragShape.HotY, 0u);
}

} // namespace
