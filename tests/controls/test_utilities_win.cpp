#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "controls/TkExControls_win.h"
#include "controls/TkUtils_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/gui/Screen_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

TBitmap* Solid(int w, int h, TColor fill) {
    auto* b = Create<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->Canvas()->Brush()->SetColor(fill);
    b->SetSize(w, h);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

TColor Rgb(TColor c) {
    return ColorFromRaw(static_cast<std::uint32_t>(ColorToRGB(c)) & 0xFFFFFF);
}

class UtilitiesTest : public ControlsTest {};

TEST_F(UtilitiesTest, LongAndShortNamesOfARealFile) {
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    const std::string folder = std::string(dir) + "quorvane toolkit names";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\a rather long file name.text";
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
    EXPECT_EQ(ExpandShortPathName(path), "a rather long file name.text");
    const std::string shortName = LongToShortFileName(path);
    EXPECT_FALSE(shortName.empty());
    EXPECT_LE(shortName.size(), 12u);
    EXPECT_EQ(ExpandShortPathName(folder + "\\" + shortName), "a rather long file name.text");
    EXPECT_EQ(ExpandShortPathName(folder + "\\missing.txt"), "");
    // A wildcard would find the other file: no name at all.
    EXPECT_EQ(ExpandShortPathName(folder + "\\*.text"), "");
    EXPECT_EQ(LongToShortFileName(folder + "\\a rather long file name.tex?"), "");
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(UtilitiesTest, ADiscardedQuitIsPostedAgain) {
    PostQuitMessage(7);
    DiscardPendingMessage(nullptr, WM_QUIT);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(m.wParam, 7u);
    // Other messages are simply dropped, one at a time.
    HWND window = form->Handle();
    PostMessageA(window, WM_USER + 77, 0, 0);
    PostMessageA(window, WM_USER + 77, 0, 0);
    DiscardPendingMessage(window, WM_USER + 77);
    EXPECT_TRUE(PeekMessageA(&m, window, WM_USER + 77, WM_USER + 77, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&m, window, WM_USER + 77, WM_USER + 77, PM_REMOVE));
}

TEST_F(UtilitiesTest, ToolkitCursorSlotsTakeTheDragCursors) {
    InitializeToolkitCursors();
    EXPECT_EQ(Screen->Cursors(100), Screen->Cursors(crMultiDrag));
    EXPECT_EQ(Screen->Cursors(101), Screen->Cursors(crDrag));
    EXPECT_EQ(Screen->Cursors(103), Screen->Cursors(crMultiDrag));
    EXPECT_NE(Screen->Cursors(101), nullptr);
}

TEST_F(UtilitiesTest, CheckerPixels) {
    TBitmap* b = MakeCheckerBitmap(clRed, clBlue);
    EXPECT_EQ(b->Width(), 8);
    EXPECT_EQ(b->Canvas()->Pixel(0, 0), clBlue);
    EXPECT_EQ(b->Canvas()->Pixel(1, 1), clBlue);
    EXPECT_EQ(b->Canvas()->Pixel(1, 0), clRed);
    EXPECT_EQ(b->Canvas()->Pixel(0, 1), clRed);
    b->Free();
}

TEST_F(UtilitiesTest, MaskedBlitMatchesTheSystemsTransparentBlit) {
    TBitmap* source = Solid(16, 16, clFuchsia);
    source->Canvas()->Brush()->SetColor(clBlue);
    source->Canvas()->FillRect(Rect(3, 3, 11, 9));
    TBitmap* ours = Solid(16, 16, clLime);
    TBitmap* theirs = Solid(16, 16, clLime);
    HDC sourceDC = source->Canvas()->Handle();
    SetMapMode(sourceDC, MM_TEXT);
    StretchBltMasked(ours->Canvas()->Handle(), 0, 0, 16, 16, sourceDC, 0, 0, 16, 16, clFuchsia,
                     nullptr);
    TransparentBlt(theirs->Canvas()->Handle(), 0, 0, 16, 16, sourceDC, 0, 0, 16, 16,
                   RGB(255, 0, 255));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(ours->Canvas()->Pixel(x, y), theirs->Canvas()->Pixel(x, y)) << x << "," << y;
    EXPECT_EQ(ours->Canvas()->Pixel(5, 5), clBlue);
    EXPECT_EQ(ours->Canvas()->Pixel(0, 0), clLime);
    // The caller's mapping mode is its own again.
    SetMapMode(sourceDC, MM_LOMETRIC);
    StretchBltMasked(ours->Canvas()->Handle(), 0, 0, 16, 16, sourceDC, 0, 0, 16, 16, clFuchsia,
                     nullptr);
    EXPECT_EQ(GetMapMode(sourceDC), MM_LOMETRIC);
    SetMapMode(sourceDC, MM_TEXT);
    for (TBitmap* b : {source, ours, theirs})
        b->Free();
}

// 16 x 16 fuchsia with a black square at (4, 4)-(8, 8).
TEST_F(UtilitiesTest, DisabledLooksShadowTheShapeAndLightItsOffset) {
    TBitmap* glyph = Solid(16, 16, clFuchsia);
    glyph->Canvas()->Brush()->SetColor(clBlack);
    glyph->Canvas()->FillRect(Rect(4, 4, 8, 8));
    struct Look {
        const char* name;
        TBitmap* bitmap;
        TColor background;
    };
    const Look looks[] = {{"embossed", MakeDisabledBitmap(glyph, clFuchsia), Rgb(clBtnFace)},
                          {"shaded", MakeDisabledBitmapShaded(glyph, clFuchsia), clFuchsia}};
    for (const Look& l : looks) {
        SCOPED_TRACE(l.name);
        TCanvas* c = l.bitmap->Canvas();
        EXPECT_EQ(c->Pixel(4, 4), Rgb(clBtnShadow));
        EXPECT_EQ(c->Pixel(7, 7), Rgb(clBtnShadow));
        EXPECT_EQ(c->Pixel(8, 8), Rgb(clBtnHighlight)); // the offset copy shows past the shape
        EXPECT_EQ(c->Pixel(8, 5), Rgb(clBtnHighlight));
        EXPECT_EQ(c->Pixel(0, 0), l.background);
        EXPECT_EQ(c->Pixel(12, 12), l.background);
        l.bitmap->Free();
    }
    glyph->Free();
}

// A parent with rows telling its position apart, and a sibling square under the control.
class Striped : public TTkExCustomControl {
public:
    using TTkExCustomControl::TTkExCustomControl;

protected:
    bool EraseBackground(TCanvas* canvas, LPARAM) override {
        for (int y = 0; y < 100; y += 10) {
            canvas->Brush()->SetColor((y / 10) % 2 == 0 ? clRed : clYellow);
            canvas->FillRect(Rect(0, y, 200, y + 10));
        }
        return true;
    }
};

class Square : public TTkGraphicControl {
public:
    using TTkGraphicControl::TTkGraphicControl;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    }
};

TEST_F(UtilitiesTest, UnderlyingImageLandsRightOnAMovedDC) {
    auto* parent = Create<Striped>(form);
    parent->SetBounds(0, 0, 200, 100);
    parent->SetParent(form);
    auto* sibling = Create<Square>(form);
    sibling->SetBounds(30, 30, 10, 10);
    sibling->SetParent(parent);
    auto* control = Create<TTkGraphicControl>(form);
    control->SetBounds(25, 25, 20, 20);
    control->SetParent(parent);
    // A buffer of the parent's size whose origin already stands on the control,
    // as the parent's own DC does while its window-less children paint.
    TBitmap* target = Solid(200, 100, clLime);
    HDC dc = target->Canvas()->Handle();
    const int level = SaveDC(dc);
    SetViewportOrgEx(dc, 25, 25, nullptr);
    IntersectClipRect(dc, 0, 0, 20, 20);
    PaintUnderlyingImage(control, target->Canvas());
    RestoreDC(dc, level);
    TCanvas* c = target->Canvas();
    EXPECT_EQ(c->Pixel(25, 25), clRed);    // parent row 25: band 2
    EXPECT_EQ(c->Pixel(25, 35), clYellow); // parent row 35: band 3
    EXPECT_EQ(c->Pixel(32, 32), clBlue);   // the sibling below the control
    EXPECT_EQ(c->Pixel(5, 5), clLime);     // nothing outside the control
    target->Free();
}

} // namespace

namespace {

TEST_F(UtilitiesTest, RepeatedDrawingLeavesGdiObjectsBalanced) {
    TBitmap* glyph = Solid(16, 16, clFuchsia);
    glyph->Canvas()->Brush()->SetColor(clBlack);
    glyph->Canvas()->FillRect(Rect(4, 4, 8, 8));
    TBitmap* target = Solid(32, 32, clWhite);
    auto once = [&] {
        MakeDisabledBitmap(glyph, clFuchsia)->Free();
        MakeDisabledBitmapShaded(glyph, clFuchsia)->Free();
        DrawBitmapMasked(target->Canvas(), 2, 2, glyph, clFuchsia);
        MakeCheckerBitmap(clRed, clBlue)->Free();
    };
    once(); // the first call may make lasting objects (stock brushes, caches)
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 1000; ++i)
        once();
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before + 2);
    glyph->Free();
    target->Free();
}

} // namespace
