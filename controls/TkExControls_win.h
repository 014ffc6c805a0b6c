#pragma once

#include <windows.h>

#include <type_traits>

#include "controls/DialogCodes.h"
#include "framework/core/Events.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/GdiUtils_win.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/CustomControl_win.h"
#include "framework/gui/GraphicControl_win.h"
#include "framework/gui/HintWindow_win.h"
#include "framework/gui/MessageRules.h"
#include "framework/gui/Messages.h"

// The toolkit's interface query number: no control of the toolkit answers it.
inline constexpr UINT CM_TKINTERFACEQUERY = 0xB7D0;

// The hint colour rule: clNone takes the application's colour, clDefault
// asks the parent (which applies the same rule with its own colour), any
// other colour is used as it is.
void ResolveHintColor(THintInfo& HintInfo, TControl* Control, TColor HintColor);

// The toolkit's layer over a framework control class: the component
// notifications become overridable operations whose defaults hand the
// notification to the base class's handler directly (never through the
// control's own WindowProc, so a default cannot come back here). Windowed
// bases also get their size, focus, erase and dialog-code messages as
// operations, and keep the DC state across WM_PRINT and WM_PRINTCLIENT.
template <class Base> class TkExLayer : public Base {
public:
    static constexpr bool kWindowed = std::is_base_of_v<TWinControl, Base>;

    explicit TkExLayer(TComponent* AOwner) : Base(AOwner) {}

    // clDefault: the parent decides; clNone: the application's colour.
    TColor HintColor = clDefault;
    bool MouseOver() const noexcept { return mouseOver_; }
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnParentColorChange;

    void WndProc(TMessage& Message) override {
        switch (Message.Msg) {
        case CM_DIALOGCHAR: {
            const auto key = static_cast<std::uint16_t>(Message.WParam & 0xFFFF);
            const TShiftState shift =
                KeyDataToShiftState(static_cast<std::uint32_t>(Message.LParam),
                                    GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0);
            Message.Result =
                AcceptsDialogKey(key, shift, std::string(1, static_cast<char>(key))) ? 1 : 0;
            return;
        }
        case CM_FOCUSCHANGED:
            FocusChanged(reinterpret_cast<TWinControl*>(Message.LParam));
            return;
        case CM_PARENTFONTCHANGED:
            ParentFontChanged();
            return;
        case CM_PARENTCOLORCHANGED:
            ParentColorChanged();
            return;
        case CM_HITTEST: {
            const TPoint p = PointFromLParam(static_cast<std::uint32_t>(Message.LParam));
            Message.Result = HitTest(p.X, p.Y) ? 1 : 0;
            return;
        }
        case CM_VISIBLECHANGED:
            VisibleChanged();
            return;
        case CM_ENABLEDCHANGED:
            EnabledChanged();
            return;
        case CM_COLORCHANGED:
            ColorChanged();
            return;
        case CM_FONTCHANGED:
            FontChanged();
            return;
        case CM_TEXTCHANGED:
            TextChanged();
            return;
        case CM_MOUSEENTER:
            MouseEnter(reinterpret_cast<TControl*>(Message.LParam));
            return;
        case CM_MOUSELEAVE:
            MouseLeave(reinterpret_cast<TControl*>(Message.LParam));
            return;
        case CM_PARENTSHOWHINTCHANGED:
            ParentShowHintChanged();
            return;
        case CM_HINTSHOW:
            Message.Result = HintShow(*reinterpret_cast<THintInfo*>(Message.LParam)) ? 1 : 0;
            return;
        case CM_TKINTERFACEQUERY:
            Message.Result = 0;
            return;
        default:
            break;
        }
        if constexpr (kWindowed) {
            if (WindowedMessage(Message))
                return;
        }
        Base::WndProc(Message);
    }

protected:
    // The inherited handler, called directly.
    LRESULT Inherited(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) {
        TMessage m{Msg, WParam, LParam, 0};
        Base::WndProc(m);
        return m.Result;
    }

    virtual void TextChanged() { Inherited(CM_TEXTCHANGED); }
    virtual bool AcceptsDialogKey(std::uint16_t Key, TShiftState Shift, const std::string&) {
        return Inherited(CM_DIALOGCHAR, Key, static_cast<LPARAM>(ShiftStateToKeyData(Shift))) != 0;
    }
    virtual bool HitTest(int X, int Y) {
        return Inherited(CM_HITTEST, 0, static_cast<LPARAM>(PointToLParam({X, Y}))) != 0;
    }
    virtual void FocusChanged(TWinControl* Control) {
        Inherited(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    }
    virtual void VisibleChanged() { Inherited(CM_VISIBLECHANGED, this->Visible() ? 1 : 0); }
    virtual void EnabledChanged() { Inherited(CM_ENABLEDCHANGED); }
    virtual void ColorChanged() { Inherited(CM_COLORCHANGED); }
    virtual void FontChanged() { Inherited(CM_FONTCHANGED); }
    virtual void ParentFontChanged() { Inherited(CM_PARENTFONTCHANGED); }
    virtual void ParentColorChanged() {
        Inherited(CM_PARENTCOLORCHANGED);
        if (OnParentColorChange)
            OnParentColorChange(this);
    }
    virtual void ParentShowHintChanged() { Inherited(CM_PARENTSHOWHINTCHANGED); }
    virtual bool HintShow(THintInfo& HintInfo) {
        ResolveHintColor(HintInfo, this, HintColor);
        return Inherited(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&HintInfo)) != 0;
    }
    virtual void MouseEnter(TControl* Control) {
        mouseOver_ = true;
        if (OnMouseEnter)
            OnMouseEnter(this);
        Inherited(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Control));
    }
    virtual void MouseLeave(TControl* Control) {
        mouseOver_ = false;
        Inherited(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(Control));
        if (OnMouseLeave)
            OnMouseLeave(this);
    }

    // Windowed bases only.
    virtual void CursorChanged() { Inherited(CM_CURSORCHANGED); }
    virtual void ShowingChanged() { Inherited(CM_SHOWINGCHANGED); }
    virtual void ShowHintChanged() { Inherited(CM_SHOWHINTCHANGED); }
    // The defaults give the notification back in the form it came, to the
    // inherited handler: sent through Perform it would arrive here again.
    virtual void ControlsListChanging(TControl* Control, bool Inserting) {
        Inherited(Inserting ? CM_CONTROLLISTCHANGE : CM_CONTROLCHANGE,
                  reinterpret_cast<WPARAM>(Control), Inserting ? 1 : 0);
    }
    virtual void ControlsListChanged(TControl* Control, bool Inserting) {
        Inherited(Inserting ? CM_CONTROLCHANGE : CM_CONTROLLISTCHANGE,
                  reinterpret_cast<WPARAM>(Control), Inserting ? 1 : 0);
    }
    // After the size changed (the inherited handling has run).
    virtual void BoundsChanged() {}
    virtual void FocusSet(HWND PreviousWindow) {
        Inherited(WM_SETFOCUS, reinterpret_cast<WPARAM>(PreviousWindow), 0);
    }
    virtual void FocusKilled(HWND NextWindow) {
        Inherited(WM_KILLFOCUS, reinterpret_cast<WPARAM>(NextWindow), 0);
    }
    // Erases on Canvas (a borrowed DC whose state is restored afterwards).
    virtual bool EraseBackground(TCanvas* Canvas, LPARAM Param) {
        return Inherited(WM_ERASEBKGND, reinterpret_cast<WPARAM>(Canvas->Handle()), Param) != 0;
    }
    // Codes holds the inherited answer plus dcNative; removing dcNative
    // makes the set the answer.
    virtual void GetDlgCode(TTkDialogCodes& Codes) { (void)Codes; }

private:
    // A canvas lent a DC for one call: detached before it is freed.
    class TLentCanvas {
    public:
        explicit TLentCanvas(HDC dc) { canvas_.SetHandle(dc); }
        ~TLentCanvas() { canvas_.SetHandle(nullptr); }
        TLentCanvas(const TLentCanvas&) = delete;
        TLentCanvas& operator=(const TLentCanvas&) = delete;
        TCanvas* Get() noexcept { return &canvas_; }

    private:
        TCanvas canvas_;
    };

    bool WindowedMessage(TMessage& Message) {
        switch (Message.Msg) {
        case CM_CURSORCHANGED:
            CursorChanged();
            return true;
        case CM_SHOWINGCHANGED:
            ShowingChanged();
            return true;
        case CM_SHOWHINTCHANGED:
            ShowHintChanged();
            return true;
        case CM_CONTROLLISTCHANGE: {
            auto* control = reinterpret_cast<TControl*>(Message.WParam);
            if (Message.LParam != 0)
                ControlsListChanging(control, true);
            else
                ControlsListChanged(control, false);
            return true;
        }
        case CM_CONTROLCHANGE: {
            auto* control = reinterpret_cast<TControl*>(Message.WParam);
            if (Message.LParam != 0)
                ControlsListChanged(control, true);
            else
                ControlsListChanging(control, false);
            return true;
        }
        case WM_SIZE:
            Base::WndProc(Message);
            BoundsChanged();
            return true;
        case WM_SETFOCUS:
            FocusSet(reinterpret_cast<HWND>(Message.WParam));
            return true;
        case WM_KILLFOCUS:
            FocusKilled(reinterpret_cast<HWND>(Message.WParam));
            return true;
        case WM_ERASEBKGND: {
            HDC dc = reinterpret_cast<HDC>(Message.WParam);
            TScopedSaveDC state(dc);
            TLentCanvas canvas(dc);
            Message.Result = EraseBackground(canvas.Get(), Message.LParam) ? 1 : 0;
            return true;
        }
        case WM_GETDLGCODE: {
            Base::WndProc(Message);
            TTkDialogCodes codes =
                DialogCodesFromFlags(static_cast<std::uint32_t>(Message.Result)) | dcNative;
            GetDlgCode(codes);
            if (!codes.Contains(dcNative))
                Message.Result = static_cast<LRESULT>(FlagsFromDialogCodes(codes));
            return true;
        }
        case WM_PRINT:
        case WM_PRINTCLIENT: {
            TScopedSaveDC state(reinterpret_cast<HDC>(Message.WParam));
            Base::WndProc(Message);
            return true;
        }
        default:
            return false;
        }
    }

    bool mouseOver_ = false;
};

// The layer's copies over the framework's window-less and windowed controls.
class TTkExGraphicControl : public TkExLayer<TGraphicControl> {
    FW_CLASS(TTkExGraphicControl, TGraphicControl)
public:
    explicit TTkExGraphicControl(TComponent* AOwner) : TkExLayer<TGraphicControl>(AOwner) {}
};

class TTkExCustomControl : public TkExLayer<TCustomControl> {
    FW_CLASS(TTkExCustomControl, TCustomControl)
public:
    explicit TTkExCustomControl(TComponent* AOwner) : TkExLayer<TCustomControl>(AOwner) {}
};

// The bases the toolkit's controls and components derive from.
class TTkGraphicControl : public TTkExGraphicControl {
    FW_CLASS(TTkGraphicControl, TTkExGraphicControl)
public:
    using TTkExGraphicControl::TTkExGraphicControl;
};

class TTkCustomControl : public TTkExCustomControl {
    FW_CLASS(TTkCustomControl, TTkExCustomControl)
public:
    using TTkExCustomControl::TTkExCustomControl;
};

class TTkComponent : public TComponent {
    FW_CLASS(TTkComponent, TComponent)
public:
    using TComponent::TComponent;
};
