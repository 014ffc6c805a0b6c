#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "framework/gui/Application_win.h"
#include "framework/gui/CustomControl_win.h"
#include "framework/gui/GraphicControl_win.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

// A form built from code with native and custom-drawn controls, shown on
// the desktop. QUORVANE_HOLD_MS=n keeps it up for n ms (for a screenshot).
namespace {

class TNative : public TWinControl {
    FW_CLASS(TNative, TWinControl)
public:
    TNative(TComponent* AOwner, const char* cls, DWORD style)
        : TWinControl(AOwner), cls_(cls), style_(style) {}
    explicit TNative(TComponent* AOwner) : TNative(AOwner, "STATIC", 0) {}

protected:
    void CreateParams(TCreateParams& P) override {
        TWinControl::CreateParams(P);
        P.WinClassName = cls_;
        P.Style |= style_;
        if (cls_ == std::string("EDIT"))
            P.ExStyle |= WS_EX_CLIENTEDGE;
    }

private:
    const char* cls_;
    DWORD style_;
};

class TLabelBox : public TGraphicControl {
    FW_CLASS(TLabelBox, TGraphicControl)
public:
    explicit TLabelBox(TComponent* AOwner) : TGraphicControl(AOwner) {}

protected:
    void Paint() override {
        TCanvas* c = Canvas();
        c->Brush()->SetColor(clInfoBk);
        c->FillRect(ClientRect());
        c->Font()->Assign(Font());
        c->TextOut(4, 4, Caption());
    }
};

class TSwatch : public TCustomControl {
    FW_CLASS(TSwatch, TCustomControl)
public:
    explicit TSwatch(TComponent* AOwner) : TCustomControl(AOwner) {}

protected:
    void Paint() override {
        TCanvas* c = Canvas();
        const TColor colors[] = {clRed, clLime, clBlue, clYellow};
        for (int i = 0; i < 4; ++i) {
            c->Brush()->SetColor(colors[i]);
            c->FillRect(Bounds(i * ClientWidth() / 4, 0, ClientWidth() / 4, ClientHeight()));
        }
        c->Brush()->SetStyle(bsClear);
        c->Font()->Assign(Font());
        c->Font()->SetStyle({fsBold});
        c->TextOut(6, 6, "Custom paint");
    }
};

class TShowcase : public TForm {
    FW_CLASS(TShowcase, TForm)
public:
    explicit TShowcase(TComponent* AOwner) : TForm(AOwner) {}
    TLabelBox* Label = nullptr;

protected:
    void CreateComponents() override {
        SetCaption("Quorvane framework showcase");
        SetBorderStyle(bsDialog);
        SetBorderWidth(4);
        SetClientWidth(360);
        SetClientHeight(200);
        Position = poScreenCenter;
        auto* top = Make<TLabelBox>(Bounds(0, 0, 100, 24));
        top->SetAlign(alTop);
        top->SetCaption("Tahoma 8: the quick brown fox jumps over the lazy dog");
        Label = top;
        auto* swatch = Make<TSwatch>(Bounds(0, 0, 100, 40));
        swatch->SetAlign(alBottom);
        auto* text = new TNative(this, "STATIC", SS_LEFT);
        text->SetBounds(12, 40, 200, 20);
        text->SetCaption("A native STATIC control");
        text->SetParent(this);
        auto* edit = new TNative(this, "EDIT", ES_AUTOHSCROLL);
        edit->SetBounds(12, 64, 200, 22);
        edit->SetCaption("An EDIT control");
        edit->SetTabStop(true);
        edit->SetParent(this);
        auto* button = new TNative(this, "BUTTON", BS_PUSHBUTTON);
        button->SetBounds(240, 62, 100, 26);
        button->SetCaption("OK");
        button->SetTabStop(true);
        button->SetParent(this);
        auto* check = new TNative(this, "BUTTON", BS_AUTOCHECKBOX);
        check->SetBounds(12, 100, 250, 20);
        check->SetCaption("Never show this hint again");
        check->SetParent(this);
    }

private:
    template <class T> T* Make(TRect r) {
        T* c = new T(this);
        CompleteConstruction(c);
        c->SetBoundsRect(r);
        c->SetParent(this);
        return c;
    }
};

using ShowcaseTest = GuiTest;

TEST_F(ShowcaseTest, FormWithControlsRendersText) {
    TShowcase* form = nullptr;
    Application->CreateForm(form);
    form->Show();
    PumpFor(100);
    UpdateWindow(form->Handle());
    EXPECT_EQ(form->Label->BoundsRect(), Rect(4, 4, 356, 28));
    // Text in the label: dark glyph pixels on the light info colour.
    HDC dc = GetDC(form->Handle());
    int dark = 0;
    for (int x = 8; x < 300; ++x)
        for (int y = 6; y < 22; ++y) {
            COLORREF c = GetPixel(dc, x, y);
            if (c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 200)
                ++dark;
        }
    ReleaseDC(form->Handle(), dc);
    EXPECT_GT(dark, 100);
    if (const char* hold = std::getenv("QUORVANE_HOLD_MS"))
        PumpFor(static_cast<DWORD>(std::atoi(hold)));
}

} // namespace
