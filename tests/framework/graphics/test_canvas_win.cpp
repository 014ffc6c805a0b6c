// The canvas and its font, pen and brush on real GDI device contexts.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/core/Exceptions.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/ControlCanvas_win.h"

namespace {

// A 32-bit DIB section selected into a memory DC, standing for a foreign DC.
struct Surface {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    Surface(int w, int h) {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
        PatBlt(dc, 0, 0, w, h, WHITENESS);
    }
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

int Count(HDC dc, int w, int h, COLORREF c) {
    int n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) n += GetPixel(dc, x, y) == c;
    return n;
}

TEST(Canvas, ForeignDcGetsItsObjectsBackOnDetach) {
    Surface s(20, 20);
    const HGDIOBJ font = GetCurrentObject(s.dc, OBJ_FONT);
    const HGDIOBJ pen = GetCurrentObject(s.dc, OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(s.dc, OBJ_BRUSH);
    {
        TCanvas canvas;
        canvas.SetHandle(s.dc);
        canvas.Brush()->SetColor(clRed);
        canvas.Pen()->SetColor(clBlue);
        canvas.Rectangle(0, 0, 10, 10);
        canvas.TextOut(0, 0, "x");
        EXPECT_NE(GetCurrentObject(s.dc, OBJ_BRUSH), brush);
        canvas.SetHandle(nullptr);
        EXPECT_EQ(GetCurrentObject(s.dc, OBJ_FONT), font);
        EXPECT_EQ(GetCurrentObject(s.dc, OBJ_PEN), pen);
        EXPECT_EQ(GetCurrentObject(s.dc, OBJ_BRUSH), brush);
        canvas.SetHandle(s.dc);
        canvas.FillRect(Rect(0, 0, 2, 2));
    }
    // The destructor detached too, and the DC survived it.
    EXPECT_EQ(GetCurrentObject(s.dc, OBJ_BRUSH), brush);
    EXPECT_NE(GetObjectType(s.dc), 0u);
}

TEST(Canvas, ChangedObjectIsReselectedBeforeTheOldOneIsDeleted) {
    Surface s(10, 10);
    TCanvas canvas;
    canvas.SetHandle(s.dc);
    canvas.FillRect(Rect(0, 0, 1, 1));
    const HGDIOBJ first = GetCurrentObject(s.dc, OBJ_BRUSH);
    ASSERT_EQ(first, canvas.Brush()->Handle());
    canvas.Brush()->SetColor(clLime);
    const HGDIOBJ second = GetCurrentObject(s.dc, OBJ_BRUSH);
    EXPECT_NE(second, first);
    EXPECT_EQ(second, canvas.Brush()->Handle());
    EXPECT_EQ(GetObjectType(first), 0u) << "the retired brush was deleted";
    canvas.TextOut(0, 0, "a");
    const HGDIOBJ font = GetCurrentObject(s.dc, OBJ_FONT);
    canvas.Font()->SetHeight(-20);
    EXPECT_EQ(GetCurrentObject(s.dc, OBJ_FONT), canvas.Font()->Handle());
    EXPECT_EQ(GetObjectType(font), 0u);
    canvas.SetHandle(nullptr);
}

TEST(Canvas, DrawsWithBrushPenAndFontColours) {
    Surface s(40, 20);
    TCanvas canvas;
    canvas.SetHandle(s.dc);
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(Rect(0, 0, 5, 5));
    EXPECT_EQ(canvas.Pixel(4, 4), clRed);
    EXPECT_EQ(canvas.Pixel(5, 5), clWhite);
    canvas.Pen()->SetColor(clBlue);
    canvas.MoveTo(0, 10);
    canvas.LineTo(10, 10);
    EXPECT_EQ(canvas.Pixel(5, 10), clBlue);
    EXPECT_EQ(canvas.PenPos(), Point(10, 10));
    canvas.Brush()->SetStyle(bsClear);
    canvas.Font()->SetColor(clLime);
    canvas.TextOut(12, 0, "W");
    EXPECT_GT(Count(s.dc, 40, 20, RGB(0, 255, 0)), 3) << "text in the font colour";
    EXPECT_EQ(Count(s.dc, 40, 20, RGB(255, 0, 0)), 25) << "a clear brush paints no text background";
    EXPECT_EQ(canvas.Pixel(-1, 0), static_cast<TColor>(CLR_INVALID));
    EXPECT_EQ(canvas.Pixel(40, 0), static_cast<TColor>(CLR_INVALID));
    canvas.SetHandle(nullptr);
}

TEST(Canvas, TextMeasuresFollowTheFont) {
    Surface s(4, 4);
    TCanvas canvas;
    canvas.SetHandle(s.dc);
    const int one = canvas.TextWidth("M");
    EXPECT_GT(one, 0);
    EXPECT_GT(canvas.TextWidth("MMMM"), 3 * one);
    EXPECT_EQ(canvas.TextWidth(""), 0);
    const int small = canvas.TextHeight("Ag");
    canvas.Font()->SetSize(20);
    EXPECT_GT(canvas.TextHeight("Ag"), small);
    canvas.SetHandle(nullptr);
}

TEST(Canvas, HandleComesWithTheCanvasObjectsSelected) {
    Surface s(30, 16);
    TCanvas canvas;
    canvas.SetHandle(s.dc);
    canvas.Font()->SetColor(clRed);
    canvas.Brush()->SetStyle(bsClear);
    HDC dc = canvas.Handle();
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas.Font()->Handle());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), canvas.Pen()->Handle());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), canvas.Brush()->Handle());
    RECT r{0, 0, 30, 16};
    DrawTextA(dc, "W", 1, &r, DT_LEFT | DT_TOP | DT_SINGLELINE);  // what callers of Handle do
    EXPECT_GT(Count(s.dc, 30, 16, RGB(255, 0, 0)), 3);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    canvas.SetHandle(nullptr);
}

TEST(Canvas, WithoutDcDrawingRaises) {
    TCanvas canvas;
    EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
    EXPECT_FALSE(canvas.HandleAllocated());
}

TEST(Canvas, ChangeEventsBracketEachOperation) {
    Surface s(4, 4);
    TCanvas canvas;
    canvas.SetHandle(s.dc);
    struct Counter {
        int changing = 0, changed = 0;
        void Changing(TObject*) { ++changing; }
        void Changed(TObject*) { ++changed; }
    } counter;
    canvas.OnChanging = TNotifyEvent(&counter, &Counter::Changing);
    canvas.OnChange = TNotifyEvent(&counter, &Counter::Changed);
    canvas.FillRect(Rect(0, 0, 1, 1));
    canvas.SetPixel(1, 1, clBlack);
    EXPECT_EQ(counter.changing, 2);
    EXPECT_EQ(counter.changed, 2);
    (void)canvas.TextWidth("x");  // measuring changes nothing
    EXPECT_EQ(counter.changed, 2);
    canvas.Lock();
    canvas.Lock();
    EXPECT_EQ(canvas.LockCount(), 2);
    canvas.Unlock();
    canvas.Unlock();
    EXPECT_EQ(canvas.LockCount(), 0);
    canvas.SetHandle(nullptr);
}

TEST(Canvas, BrushBitmapPaintsAPattern) {
    TBitmap* pattern = Create<TBitmap>();
    pattern->SetPixelFormat(pf24bit);
    pattern->SetSize(8, 8);
    pattern->Canvas()->Brush()->SetColor(clBlack);
    pattern->Canvas()->FillRect(Rect(0, 0, 8, 8));
    pattern->Canvas()->SetPixel(0, 0, clYellow);
    Surface s(16, 16);
    {
        TCanvas canvas;
        canvas.SetHandle(s.dc);
        canvas.Brush()->SetBitmap(pattern);
        canvas.FillRect(Rect(0, 0, 16, 16));
        EXPECT_EQ(Count(s.dc, 16, 16, RGB(255, 255, 0)), 4);
        canvas.Brush()->SetBitmap(nullptr);
        canvas.SetHandle(nullptr);
    }
    pattern->Free();
}

TEST(PenAndBrush, StylesMapToTheirGdiObjects) {
    TBrush brush;
    brush.SetStyle(bsClear);
    EXPECT_EQ(brush.Handle(), GetStockObject(NULL_BRUSH));
    brush.SetColor(clRed);  // a colour brings a clear brush back to solid
    EXPECT_EQ(brush.Style(), bsSolid);
    EXPECT_NE(GetObjectType(GetStockObject(NULL_BRUSH)), 0u) << "the stock brush was not deleted";
    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectA(brush.Handle(), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, RGB(255, 0, 0));
    brush.SetStyle(bsCross);
    ASSERT_EQ(GetObjectA(brush.Handle(), sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HATCHED));
    EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_CROSS));

    TPen pen;
    pen.SetWidth(0);
    EXPECT_EQ(pen.Width(), 1);
    pen.SetStyle(psClear);
    LOGPEN lp{};
    ASSERT_EQ(GetObjectA(pen.Handle(), sizeof lp, &lp), static_cast<int>(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_NULL));
    pen.SetMode(pmXor);
    EXPECT_EQ(pen.Rop2(), R2_XORPEN);
    TPen copy;
    copy.Assign(&pen);
    EXPECT_EQ(copy.Style(), psClear);
    EXPECT_EQ(copy.Mode(), pmXor);
}

struct FontCase {
    int size;
    int height;
};

TEST(Font, SizeAndHeightConvertAtNinetySixPixelsPerInch) {
    TFont font;
    EXPECT_EQ(font.Name(), "Tahoma");
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.Size(), 8);
    for (FontCase c : {FontCase{8, -11}, FontCase{9, -12}, FontCase{10, -13}, FontCase{12, -16}, FontCase{20, -27}}) {
        font.SetSize(c.size);
        EXPECT_EQ(font.Height(), c.height) << c.size;
        EXPECT_EQ(font.Size(), c.size);
    }
}

TEST(Font, ChangesNotifyOnceAndAssignCopiesEverything) {
    struct Counter {
        int n = 0;
        void Changed(TObject*) { ++n; }
    } counter;
    TFont a;
    a.OnChange = TNotifyEvent(&counter, &Counter::Changed);
    a.SetName("Tahoma");  // unchanged: no event
    a.SetColor(clRed);    // colour keeps the handle
    const HFONT h = a.Handle();
    a.SetColor(clBlue);
    EXPECT_EQ(a.Handle(), h);
    a.SetStyle({fsBold, fsItalic});
    EXPECT_NE(a.Handle(), h);
    EXPECT_EQ(counter.n, 3);
    TFont b;
    b.Assign(&a);
    EXPECT_TRUE(b.SameAs(a));
    LOGFONTA lf{};
    ASSERT_EQ(GetObjectA(b.Handle(), sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_EQ(lf.lfHeight, -11);
    TFont c;
    c.SetHandle(CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 1, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Courier New"));
    EXPECT_EQ(c.Name(), "Courier New");
    EXPECT_EQ(c.Height(), -20);
    EXPECT_EQ(c.Style(), (TFontStyles{fsBold, fsUnderline}));
}

TEST(ControlCanvas, WindowDcIsObtainedLazilyAndGivenBack) {
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 30, 30, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    {
        TControlCanvas canvas;
        canvas.SetWindow(w);
        EXPECT_FALSE(canvas.HandleAllocated());
        canvas.Brush()->SetColor(clRed);
        canvas.FillRect(Rect(0, 0, 5, 5));
        EXPECT_TRUE(canvas.HandleAllocated());
        canvas.FreeHandle();
        EXPECT_FALSE(canvas.HandleAllocated());
    }
    static TObject* seen = nullptr;
    static int released = 0;
    TControlCanvas::TDeviceContextHooks hooks;
    hooks.Acquire = [](TObject* control) -> HDC {
        seen = control;
        return CreateCompatibleDC(nullptr);
    };
    hooks.Release = [](TObject*, HDC dc) {
        ++released;
        DeleteDC(dc);
    };
    TControlCanvas::SetDeviceContextHooks(hooks);
    TObject control;
    {
        TControlCanvas canvas;
        canvas.SetControl(&control);
        (void)canvas.TextWidth("x");
        EXPECT_EQ(seen, &control);
    }
    EXPECT_EQ(released, 1);
    TControlCanvas::SetDeviceContextHooks({});
    DestroyWindow(w);
}

}  // namespace
