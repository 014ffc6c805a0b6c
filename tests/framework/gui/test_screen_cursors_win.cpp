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
    struct Case {
        TCursor Id;
        LPCSTR System;
    };
    for (const Case& c : {Case{crMultiDrag, IDC_ARROW}, Case{crNoDrop, IDC_NO},
                          Case{crHSplit, IDC_SIZEWE}, Case{crVSplit, IDC_SIZENS}}) {
        SCOPED_TRACE(c.Id);
        EXPECT_EQ(Screen->Cursors(c.Id), LoadCursorA(nullptr, c.System));
    }
}

} // namespace
