// Painting with the visual style in force (test_themed_painting_win.rc holds
// the common controls 6 manifest): the themed border of controls that ask
// for it, and a themed parent's background behind a child.
#include <gtest/gtest.h>
#include <windows.h>

#include <uxtheme.h>
#include <vssym32.h>

#include <cstdint>
#include <string>

#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/ThemeServices_win.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/CustomControl_win.h"
#include "framework/gui/GraphicControl_win.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

namespace {

// A 32-bit top-down DIB to print or draw into, filled with a marker colour.
class TSurface {
public:
    TSurface(int width, int height) : width_(width), height_(height) {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        HBRUSH marker = CreateSolidBrush(kMarker);
        RECT all{0, 0, width, height};
        FillRect(dc_, &all, marker);
        DeleteObject(marker);
    }
    ~TSurface() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;
    HDC DC() const { return dc_; }
    // The pixel as a COLORREF (0x00BBGGRR).
    COLORREF At(int x, int y) const {
        const std::uint32_t p = static_cast<const std::uint32_t*>(bits_)[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    static constexpr COLORREF kMarker = RGB(255, 0, 255);

private:
    int width_, height_;
    HDC dc_ = CreateCompatibleDC(nullptr);
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

class TThemedForm : public TForm {
    FW_CLASS(TThemedForm, TForm)
public:
    explicit TThemedForm(TComponent* AOwner) : TForm(AOwner) {}
};

// A control with a sunken client edge and, optionally, a vertical scroll bar.
class TEdged : public TCustomControl {
    FW_CLASS(TEdged, TCustomControl)
public:
    explicit TEdged(TComponent* AOwner) : TCustomControl(AOwner) {}
    bool ScrollBar = false;

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomControl::CreateParams(Params);
        Params.ExStyle |= WS_EX_CLIENTEDGE;
        if (ScrollBar)
            Params.Style |= WS_VSCROLL;
    }
};

// A blue square at (20, 10) on the form.
class TSquare : public TGraphicControl {
    FW_CLASS(TSquare, TGraphicControl)
public:
    explicit TSquare(TComponent* AOwner) : TGraphicControl(AOwner) {}

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    }
};

class ThemedPainting : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(ThemeServices()->ThemesEnabled()) << "the manifest puts themes in force";
        Application->CreateForm(form);
        form->SetBorderStyle(bsNone);
        form->SetBounds(100, 100, 200, 120);
        form->SetColor(clRed);
    }
    template <class T> T* Add(int left, int top, int width, int height) {
        T* control = new T(form);
        CompleteConstruction(control);
        control->SetBounds(left, top, width, height);
        control->SetParent(form);
        return control;
    }
    TEdged* AddEdged(bool needsBorderPaint, bool scrollBar = false) {
        auto* c = new TEdged(form);
        c->ScrollBar = scrollBar;
        if (needsBorderPaint)
            c->ControlStyle.Include(csNeedsBorderPaint);
        CompleteConstruction(c);
        c->SetBounds(10, 10, 60, 40);
        c->SetColor(clWhite);
        c->SetParent(form);
        return c;
    }
    TThemedForm* form = nullptr;
};

// The whole window, frame included, as WM_PRINT renders it.
void Print(TWinControl* control, TSurface& into) {
    SendMessageA(control->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(into.DC()),
                 PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
}

// The theme's edit border in a state, drawn alone at the control's size.
COLORREF ThemedEdgeAt(int state, int x, int y) {
    TSurface s(60, 40);
    EXPECT_TRUE(
        ThemeServices()->DrawElement(s.DC(), {tcEdit, EP_EDITTEXT, state}, Rect(0, 0, 60, 40)));
    return s.At(x, y);
}

TEST_F(ThemedPainting, BorderFollowsTheStyleFlagAndTheEnabledState) {
    // Wine's light theme draws both states of the edit border alike; a
    // theme that does not still finds each state compared with its own.
    struct Case {
        bool NeedsBorderPaint;
        bool Enabled;
    };
    for (const Case& c : {Case{true, true}, Case{true, false}, Case{false, true}}) {
        SCOPED_TRACE(std::string(c.NeedsBorderPaint ? "themed" : "plain") +
                     (c.Enabled ? " enabled" : " disabled"));
        TEdged* edged = AddEdged(c.NeedsBorderPaint);
        edged->SetEnabled(c.Enabled);
        TSurface s(60, 40);
        Print(edged, s);
        const int state = c.Enabled ? ETS_NORMAL : ETS_DISABLED;
        // Corners and the middle of each side.
        for (const POINT p :
             {POINT{0, 0}, POINT{30, 0}, POINT{0, 20}, POINT{59, 39}, POINT{30, 39}}) {
            if (c.NeedsBorderPaint)
                EXPECT_EQ(s.At(p.x, p.y), ThemedEdgeAt(state, p.x, p.y)) << p.x << "," << p.y;
            else
                EXPECT_NE(s.At(p.x, p.y), ThemedEdgeAt(state, p.x, p.y)) << p.x << "," << p.y;
        }
        EXPECT_EQ(s.At(30, 20), RGB(255, 255, 255)) << "the client area keeps its own colour";
        edged->Free();
    }
}

TEST_F(ThemedPainting, BorderLeavesTheScrollBarAsTheDefaultDrawsIt) {
    TSurface plain(60, 40), themed(60, 40);
    TEdged* a = AddEdged(false, true);
    Print(a, plain);
    a->Free();
    TEdged* b = AddEdged(true, true);
    Print(b, themed);
    const int x = 60 - GetSystemMetrics(SM_CXEDGE) - GetSystemMetrics(SM_CXVSCROLL) / 2;
    for (int y : {5, 20, 34})
        EXPECT_EQ(themed.At(x, y), plain.At(x, y)) << "scroll bar at " << x << "," << y;
    EXPECT_EQ(themed.At(0, 0), ThemedEdgeAt(ETS_NORMAL, 0, 0));
}

TEST_F(ThemedPainting, ParentBackgroundShowsTheParentBehindTheChild) {
    Add<TSquare>(20, 10, 10, 10);
    TEdged* child = AddEdged(false);
    child->SetBounds(15, 5, 40, 30); // client (2, 2) inside: the square's corner at (3, 3)
    TSurface s(36, 26);
    ASSERT_TRUE(ThemeServices()->DrawParentBackground(child->Handle(), s.DC(), nullptr));
    EXPECT_EQ(s.At(0, 0), RGB(255, 0, 0)) << "the form's colour";
    EXPECT_EQ(s.At(3, 3), RGB(0, 0, 255)) << "the square, moved by the child's position";
    EXPECT_EQ(s.At(12, 12), RGB(0, 0, 255));
    EXPECT_EQ(s.At(13, 13), RGB(255, 0, 0));
    // A part of the background only.
    TSurface part(36, 26);
    const TRect r = Rect(0, 0, 2, 2);
    ASSERT_TRUE(ThemeServices()->DrawParentBackground(child->Handle(), part.DC(), &r));
    EXPECT_EQ(part.At(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(part.At(3, 3), TSurface::kMarker) << "outside the rectangle nothing is drawn";
}

} // namespace
