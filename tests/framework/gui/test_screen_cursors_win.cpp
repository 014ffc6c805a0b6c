// The screen's resource cursors from the program's own resources
// (test_screen_cursors_win.rc links DRAGCUR only): a linked one is used, a
// missing one falls back to a system cursor, never to nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include "framework/gui/Screen_win.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

namespace {

using ScreenCursors = GuiTest;

TEST_F(ScreenCursors, LinkedResourceCursorIsUsedAndMissingOnesFallBack) {
    HCURSOR linked = LoadCursorA(GetModuleHandleA(nullptr), "DRAGCUR");
    ASSERT_NE(linked, nullptr);
    EXPECT_EQ(Screen->Cursors(crDrag), linked);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(Screen->Cursors(crDrag), &info));
    EXPECT_EQ(info.xHotspot, 3u) << "the resource's own hot spot";
    EXPECT_EQ(info.yHotspot, 5u);
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr)
        DeleteObject(info.hbmColor);
    // Missing: the multi-drag cursor (which the toolkit copies into its own
    // slots) is the arrow; every other resource cursor is some system cursor.
    EXPECT_EQ(Screen->Cursors(crMultiDrag), LoadCursorA(nullptr, IDC_ARROW));
    for (TCursor id : {crNoDrop, crHSplit, crVSplit, crSQLWait}) {
        EXPECT_NE(Screen->Cursors(id), nullptr) << id;
        EXPECT_NE(Screen->Cursors(id), linked) << id;
    }
}

} // namespace
