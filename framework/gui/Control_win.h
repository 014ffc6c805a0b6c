#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/core/Component.h"
#include "framework/core/Events.h"
#include "framework/core/Types.h"
#include "framework/graphics/Font_win.h"
#include "framework/gui/Message_win.h"

class TAliveScope;
class TWinControl;
class TCustomForm;
class TPopupMenuBase;

// Behaviour flags of a control class; the bit of each member is fixed
// (csNeedsBorderPaint is 0x20000 and csParentBackground 0x40000 in Raw()).
enum TControlStyleFlag : std::uint8_t {
    csAcceptsControls, // may be a parent of other controls
    csCaptureMouse,    // a left press captures the mouse until release
    csDesignInteractive,
    csClickEvents, // a left press and release on the control is a Click
    csFramed,
    csSetCaption,
    csOpaque,       // paints its whole rectangle: no erase behind it
    csDoubleClicks, // double clicks become DblClick
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
    csNeedsBorderPaint, // 0x20000: the theme paints the non-client border
    csParentBackground  // 0x40000: paints the parent's background behind itself
};
using TControlStyle = TSet<TControlStyleFlag>;

// Transient state of a control.
enum TControlStateFlag : std::uint8_t {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,   // painting into a copy (WM_PRINTCLIENT, buffers)
    csCustomPaint, // inside the control's own WM_PAINT handling
    csDestroyingHandle,
    csDocking
};
using TControlState = TSet<TControlStateFlag>;

// Answers whether the new size may be taken; a handler may change it.
using TCanResizeEvent =
    TDelegate<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TContextPopupEvent = TDelegate<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// Size limits of a control; 0 means no limit.
struct TSizeConstraints {
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;
    int MaxHeight = 0;
};

// The popup-menu seam: menus (built on top of this library) derive from it.
// A control's PopupMenu is popped up on WM_CONTEXTMENU.
class TPopupMenuBase : public TComponent {
    FW_CLASS(TPopupMenuBase, TComponent)
public:
    explicit TPopupMenuBase(TComponent* AOwner) : TComponent(AOwner) {}
    // The component that the menu was last popped up for.
    TComponent* PopupComponent = nullptr;
    TNotifyEvent OnPopup;
    // Fires OnPopup, then shows the menu at screen point (X, Y), even when it
    // has no items.
    virtual void Popup(int X, int Y) = 0;
};

// A visual element: geometry, state, mouse handling and the message
// plumbing. Window-less controls (TGraphicControl) live on their parent's
// window; windowed ones (TWinControl) have their own.
//
// Messages: Perform calls WindowProc, which by default calls the virtual
// WndProc. Every class that handles messages overrides WndProc, handles
// what it knows and calls its base class's WndProc directly for the rest;
// the chain ends in DefaultHandler.
class TControl : public TComponent {
    FW_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    void BeforeDestruction() override;

    // --- messages ---
    // Sends a message to the control's WindowProc in this process and thread.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    // Replaceable: installed procedures chain to the one they replaced.
    TWndMethod WindowProc;
    // The message handling of the class; overrides end in Base::WndProc.
    virtual void WndProc(TMessage& Message);
    // Where unhandled messages go: nothing for window-less controls, the
    // window's original procedure for windowed ones.
    virtual void DefaultHandler(TMessage& Message);

    // --- geometry (parent's client coordinates) ---
    TWinControl* Parent() const noexcept { return parent_; }
    // Moves the control to another parent (nullptr removes it), with the
    // control-list notifications on both sides.
    virtual void SetParent(TWinControl* AParent);
    int Left() const noexcept { return left_; }
    int Top() const noexcept { return top_; }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void SetLeft(int Value) { SetBounds(Value, top_, width_, height_); }
    void SetTop(int Value) { SetBounds(left_, Value, width_, height_); }
    void SetWidth(int Value) { SetBounds(left_, top_, Value, height_); }
    void SetHeight(int Value) { SetBounds(left_, top_, width_, Value); }
    // Applies the constraints and OnCanResize, moves the control, realigns
    // the parent and calls Resize after a size change.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const noexcept { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    // (0, 0, client width, client height).
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }
    void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
    void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }
    virtual void SetClientSize(int AWidth, int AHeight);
    // The screen position of the client area's top-left corner.
    virtual TPoint ClientOrigin() const;
    TPoint ClientToScreen(TPoint P) const;
    TPoint ScreenToClient(TPoint P) const;
    TAlign Align() const noexcept { return align_; }
    void SetAlign(TAlign Value);
    const TSizeConstraints& Constraints() const noexcept { return constraints_; }
    void SetConstraints(const TSizeConstraints& Value);
    bool AutoSize() const noexcept { return autoSize_; }
    void SetAutoSize(bool Value);
    // Asks for the size AutoSize would give; false keeps the current size.
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);

    // --- state ---
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool Value);
    // Visible here and in every parent up to a window that is shown.
    virtual bool Showing() const;
    const std::string& Caption() const noexcept { return text_; }
    const std::string& Text() const noexcept { return text_; }
    void SetCaption(const std::string& Value) { SetText(Value); }
    virtual void SetText(const std::string& Value);
    TColor Color() const noexcept { return color_; }
    // Clears ParentColor.
    void SetColor(TColor Value);
    bool ParentColor() const noexcept { return parentColor_; }
    void SetParentColor(bool Value);
    // The control's font; changing its contents clears ParentFont, except
    // when the parent pushes its font down.
    TFont* Font() const noexcept { return font_; }
    void SetFont(TFont* Value) { font_->Assign(Value); }
    bool ParentFont() const noexcept { return parentFont_; }
    void SetParentFont(bool Value);
    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& Value) { hint_ = Value; }
    bool ShowHint() const noexcept { return showHint_; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const noexcept { return parentShowHint_; }
    void SetParentShowHint(bool Value);
    TPopupMenuBase* PopupMenu() const noexcept { return popupMenu_; }
    void SetPopupMenu(TPopupMenuBase* Value);
    TCursor Cursor() const noexcept { return cursor_; }
    void SetCursor(TCursor Value);
    int HelpContext() const noexcept { return helpContext_; }
    void SetHelpContext(int Value) { helpContext_ = Value; }
    TComponent* Action() const noexcept { return action_; }
    void SetAction(TComponent* Value) { action_ = Value; }
    TControlStyle ControlStyle;
    TControlState ControlState;

    // --- events ---
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;
    TContextPopupEvent OnContextPopup;

    // --- painting ---
    // Marks the control's area for repainting.
    virtual void Invalidate();
    // Paints the control now.
    virtual void Repaint();
    // Paints pending invalid areas now.
    virtual void Update();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();

    // The form that contains the control (walks the parents), or nullptr.
    TCustomForm* GetParentForm() const;
    // Mouse capture for this control (parent's capture for window-less ones).
    bool MouseCapture() const;
    void SetMouseCapture(bool Value);

    // Clicks the control as a user would (fires OnClick).
    virtual void Click();

protected:
    // The slot a TAliveScope opens on around handlers that may free the control; the
    // destructor marks the innermost open scope.
    bool*& DestroyedSlot() noexcept { return destroyedFlag_; }
    virtual void DblClick();
    // Fire the mouse events; overrides call the base first.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // After every size change, the first one at window creation included.
    virtual void Resize();
    virtual bool CanResize(int& NewWidth, int& NewHeight);
    // Applies the constraints and CanResize to a requested size.
    void ConstrainRequestedSize(int& AWidth, int& AHeight);
    // Window-less controls: the parent's window repaints this rectangle.
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    // Changes the stored bounds only (no window update, no realign).
    void UpdateBoundsRect(const TRect& R);
    virtual void VisibleChanging() {}
    // The default handling of component notifications.
    void DefaultNotification(TMessage& Message);
    // Asks the parent to lay out its children again.
    void RequestAlign();

    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Pushed-down parent state; does not clear ParentColor/ParentFont.
    void SetColorFromParent(TColor Value);

private:
    friend class TWinControl;
    friend class TCustomForm;
    friend class THintWindow;
    void HandleMouseMessage(TMessage& Message);
    void DispatchMouse(TMessage& Message, TPoint p, TShiftState keys, bool ownCapture,
                       const TAliveScope& alive);
    void HandleContextMenu(TMessage& Message);
    void CallWndProc(TMessage& Message) { WndProc(Message); }
    void FontChanged(TObject* Sender);

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = alNone;
    TSizeConstraints constraints_;
    bool autoSize_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    std::string text_;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    bool parentFont_ = true;
    bool pushingFont_ = false;
    TFont* font_ = nullptr;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TPopupMenuBase* popupMenu_ = nullptr;
    TCursor cursor_ = crDefault;
    int helpContext_ = 0;
    TComponent* action_ = nullptr;
    bool* destroyedFlag_ = nullptr; // see DestroyedSlot
};

// The control the mouse is over (window-less ones included), tracked for
// the enter/leave notifications; nullptr when none.
TControl* MouseControl() noexcept;
// Re-evaluates the control under the mouse; sends CM_MOUSELEAVE to the old
// and CM_MOUSEENTER to the new one when it changed.
void SetMouseControl(TControl* Control);
// The window-less control holding the mouse capture of its parent window.
TControl* CaptureControl() noexcept;
