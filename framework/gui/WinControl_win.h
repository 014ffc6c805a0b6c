#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/gui/Control_win.h"

// What CreateWnd passes to CreateWindowExA. CreateParams overrides change
// it; WinClassName names our own class (registered on demand with the
// library's window procedure) or a native class (BUTTON, EDIT, ...), whose
// windows are subclassed.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    std::string WinClassName;
    UINT ClassStyle = CS_DBLCLKS; // for our own classes; never a background brush
};

// A control with its own window, created on demand (Handle). Parent of
// other controls; keyboard focus; align layout of its children.
class TWinControl : public TControl {
    FW_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    void BeforeDestruction() override;

    // Creates a control whose parent is a foreign window (WS_CHILD of it);
    // ParentWindow is set before the construction completes, so OnCreate can
    // use the handle.
    template <class T> static T* CreateParented(HWND ParentWindow) {
        T* control = new T(nullptr);
        control->parentWindow_ = ParentWindow;
        CompleteConstruction(control);
        return control;
    }

    // The window, created now when it does not exist yet, except while the
    // control is being destroyed (then 0 may be answered).
    HWND Handle();
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }
    void HandleNeeded();
    HWND ParentWindow() const noexcept { return parentWindow_; }
    void SetParentWindow(HWND Value);
    // Destroys and creates the window again (keeps the object's state).
    void RecreateWnd();

    // --- children ---
    int ControlCount() const noexcept { return static_cast<int>(controls_.size()); }
    TControl* Controls(int Index) const { return controls_.at(static_cast<size_t>(Index)); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    // The deepest-first child under P (client coordinates), window-less or
    // windowed, visible, enabled unless AllowDisabled; the topmost in z-order
    // wins. CM_HITTEST decides the exact shape.
    TControl* ControlAtPos(TPoint P, bool AllowDisabled, bool AllowWinControls = true) const;
    // Sends Message to every child until one sets a result.
    void Broadcast(TMessage& Message);
    bool ContainsControl(const TControl* Control) const;
    // Lays out the children by their Align; alCustom children are placed by
    // CustomAlignPosition.
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    void Realign();
    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();
    int BorderWidth() const noexcept { return borderWidth_; }
    void SetBorderWidth(int Value);

    // --- focus ---
    bool TabStop() const noexcept { return tabStop_; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    // Visible and enabled up to the form.
    virtual bool CanFocus() const;
    bool Focused() const;
    // Moves the focus here; nothing when the control cannot take it.
    virtual void SetFocus();
    // The controls below this one in tab order (depth first).
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    // The next (or previous) focusable control after CurControl.
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent) const;
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    bool DoubleBuffered = false;
    bool Ctl3D = true;
    bool Showing() const override;

    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    TRect ClientRect() const override;
    TPoint ClientOrigin() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetText(const std::string& Value) override;
    void Invalidate() override;
    void Repaint() override;
    void Update() override;

    // A solid brush of Color, owned by the control (for WM_CTLCOLOR*).
    HBRUSH BrushHandle();

    // True for windows of a system class (BUTTON, EDIT, ...).
    bool IsNativeClass() const noexcept { return native_; }

    // The object of a window made by this library, or nullptr.
    static TWinControl* FindControl(HWND Window) noexcept;

protected:
    virtual void CreateParams(TCreateParams& Params);
    // Creates the window and then the windows of the children; ends with
    // the first size notification.
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    // Overrides run their own before-destroy work, then the base.
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    // The bounds of an alCustom child; the default keeps them.
    virtual void CustomAlignPosition(TControl* Control, int& NewLeft, int& NewTop, int& NewWidth,
                                     int& NewHeight, const TRect& AlignRect);
    virtual void KeyDown(std::uint16_t& Key, TShiftState Shift);
    virtual void KeyUp(std::uint16_t& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    // WM_PAINT: the frame's own painting into DC (the default does nothing
    // for our classes and lets a native class paint).
    virtual void PaintWindow(HDC DC);
    // Paints the window-less children in z-order into DC (client coordinates).
    void PaintControls(HDC DC, TControl* First);
    void PaintHandler(TMessage& Message);

public:
    void UpdateBoundsFromWindow();

protected:
    void UpdateShowing();
    void AlignChildren();

private:
    friend class TControl;
    friend struct TWindowPlumbing;
    void CreateHandle();
    void HandleSize();
    void DetachHandle();
    bool DoKeyDown(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    bool DoKeyPress(TMessage& Message);
    void SetFocusedHere();
    bool EraseBackground(TMessage& Message);
    // csNeedsBorderPaint: the theme's border over the default frame
    // (WM_NCPAINT on the window, WM_PRINT into its DC).
    void PaintThemedBorder(const TMessage& Message);

    HWND handle_ = nullptr;
    HWND parentWindow_ = nullptr;
    WNDPROC defWndProc_ = nullptr;
    bool native_ = false;
    std::vector<TControl*> controls_; // window-less and windowed, in z-order (bottom first)
    std::vector<TWinControl*> tabList_;
    int borderWidth_ = 0;
    int alignDisabled_ = 0;
    bool aligning_ = false;
    bool tabStop_ = false;
    HBRUSH brush_ = nullptr;
    TColor brushColor_ = clNone;
    int lastClientWidth_ = -1, lastClientHeight_ = -1;
};
