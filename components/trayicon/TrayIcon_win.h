#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <string>

#include "components/iconlist/IconList_win.h"
#include "components/trayicon/TrayCallback.h"
#include "framework/core/Component.h"
#include "framework/core/Events.h"
#include "framework/graphics/Icon_win.h"
#include "framework/gui/Control_win.h"
#include "framework/gui/Message_win.h"

// The shell call, replaceable so that tests can record the records sent.
using TShellNotifyIconProc = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAA data);
// Shell_NotifyIconA unless a test has put another procedure here.
extern TShellNotifyIconProc QxShellNotifyIcon;

// One icon in the notification area, with its tip (the short part of Hint,
// at most 63 characters), the shell's mouse callbacks turned into events, a
// popup menu on a right click, the menu's default item on a double click,
// and an optional animation through Icons.
//
// The component owns a hidden top-level window (titled kTrayWindowTitle so
// that a driver can find it) that receives the callbacks (0xB054) and the
// shell's "TaskbarCreated" broadcast, which adds the icon again after the
// taskbar restarted. Animation ticks on that window's timer, on the GUI
// thread. Nothing is shown while the component loads; callbacks of unknown
// kinds do nothing and a click needs a press on the icon first.
class TQxTrayIcon : public TComponent {
    FW_CLASS(TQxTrayIcon, TComponent)
public:
    static constexpr const char* kTrayWindowTitle = "TQxTrayIcon";

    explicit TQxTrayIcon(TComponent* AOwner);
    ~TQxTrayIcon() override;
    void BeforeDestruction() override;

    bool Active() const noexcept { return active_; }
    // Shows (true) or hides (false) the icon at once, outside loading.
    void SetActive(bool Value);
    // While false the callbacks go to the default window procedure and no
    // event fires; the click flags are left alone.
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool Value) noexcept { enabled_ = Value; }
    const std::string& Hint() const noexcept { return hint_; }
    void SetHint(const std::string& Value);
    // The component's own icon; SetIcon copies Value into it.
    TIcon* Icon() const noexcept { return icon_; }
    void SetIcon(TIcon* Value);
    TIconList* Icons() const noexcept { return icons_; }
    void SetIcons(TIconList* Value);
    bool Animated() const noexcept { return animated_; }
    // Animation runs only with at least one entry in Icons.
    void SetAnimated(bool Value);
    std::uint16_t Interval() const noexcept { return interval_; }
    void SetInterval(std::uint16_t Value);
    // Any popup menu; a TPopupMenu brings its AutoPopup switch and its
    // top-level items (Default, Enabled) to the right and double clicks,
    // another kind counts as AutoPopup with no items.
    TPopupMenuBase* PopupMenu() const noexcept { return popupMenu_; }
    void SetPopupMenu(TPopupMenuBase* Value);
    // Design-time only; there is no designer, so it stays false.
    bool ShowDesign() const noexcept { return showDesign_; }
    void SetShowDesign(bool Value);

    TMouseEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    // Adds the icon (after removing it) when the current icon is not empty.
    void ShowIcon();
    // Removes the icon; harmless when it was never added.
    void HideIcon();
    // Re-sends the record after a change, or shows/hides as the state asks.
    void RefreshIcon();
    // One animation tick.
    void NextFrame();
    // The entry of Icons for the frame while animated, else Icon.
    TIcon* CurrentIcon() const;
    // Whether the shell accepted the icon.
    bool IconAdded() const noexcept { return added_; }
    TTrayClickFlags ClickFlags() const noexcept { return clickFlags_; }
    std::int32_t FrameIndex() const noexcept { return frame_; }
    // Whether the animation timer runs.
    bool AnimationTicking() const noexcept { return ticking_; }
    HWND WindowHandle() const noexcept { return window_; }
    const NOTIFYICONDATAA& IconData() const noexcept { return data_; }

    // Shows PopupMenu at (X, Y); false when there is none to show.
    bool ShowPopup(int X, int Y);
    // Clicks the first top-level item that is the default and enabled.
    bool ClickDefaultItem();

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void FillIconData();

    // Right button: the popup menu first; OnClick only when none was shown.
    virtual void Click(TMouseButton Button, TShiftState Shift, int X, int Y);
    // The default menu item, else OnDblClick.
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    void NotifyWndProc(TMessage& Message);
    void HandleCallback(std::uint32_t mouseMessage);
    void IconChanged(TObject* Sender);
    BOOL Send(DWORD message);
    void UpdateTimer();
    bool Loading() const noexcept { return ComponentState().Contains(csLoading); }
    bool Designing() const noexcept { return ComponentState().Contains(csDesigning); }
    // Not named Destroying: that name is the component's own marking step, which Teardown calls.
    bool IsDestroying() const noexcept { return ComponentState().Contains(csDestroying); }
    void Teardown() noexcept;

    HWND window_ = nullptr;
    bool added_ = false;
    bool animated_ = false;
    bool ticking_ = false;
    TTrayClickFlags clickFlags_;
    std::int32_t frame_ = -1;
    NOTIFYICONDATAA data_{};
    TIcon* icon_ = nullptr;
    TIconList* icons_ = nullptr;
    bool active_ = true;
    bool enabled_ = true;
    std::uint16_t interval_ = 150;
    bool showDesign_ = false;
    std::string hint_;
    TPopupMenuBase* popupMenu_ = nullptr;
    bool tornDown_ = false;
    // False once the component is gone; callbacks and the popup hold a copy.
    std::shared_ptr<bool> life_;
};
