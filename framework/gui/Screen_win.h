#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Types.h"

class TCustomForm;

// A display monitor: its whole area and its work area (without the taskbar and docked bars),
// in virtual-screen coordinates.
struct TMonitor {
    HMONITOR Handle = nullptr;
    TRect BoundsRect;
    TRect WorkareaRect;
    bool Primary = false;
};

// The screen: the program's forms, the active one, the cursor table and a
// global cursor override. Exists in library mode too.
class TScreen : public TComponent {
    FW_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    TCustomForm* ActiveForm() const noexcept { return activeForm_; }
    TCustomForm* ActiveCustomForm() const noexcept { return activeForm_; }
    int FormCount() const noexcept { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int Index) const { return forms_.at(static_cast<size_t>(Index)); }
    // Forms are not scaled: always 96.
    int PixelsPerInch() const noexcept { return 96; }
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }

    // The global cursor; crDefault = none. Setting the current value again
    // does nothing (it is set on every mouse move by some controls).
    TCursor Cursor() const noexcept { return cursor_; }
    void SetCursor(TCursor Value);
    // The cursor of an id: negative ids are system cursors, crDrag,
    // crMultiDrag and crNoDrop come from the exe's resources (the arrow when
    // missing); positive ids are application slots. Never 0: an unknown id
    // gives the arrow.
    HCURSOR Cursors(TCursor Id) const;
    // Fills a slot (the screen takes ownership of nothing).
    void SetCursors(TCursor Id, HCURSOR Cursor);

    // The monitor nearest to Window (the primary one for a null or foreign handle that the
    // system cannot place).
    TMonitor MonitorFromWindow(HWND Window) const;

    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void SetActiveForm(TCustomForm* Form);
    // Moves Form to the front of the list (most recently active first).
    void FormActivated(TCustomForm* Form);

private:
    void LoadDefaultCursors();

    std::vector<TCustomForm*> forms_;
    TCustomForm* activeForm_ = nullptr;
    TCursor cursor_ = crDefault;
    std::map<TCursor, HCURSOR> cursors_;
};

// The mouse: position, capture, drag threshold.
class TMouse {
public:
    TPoint CursorPos() const;
    void SetCursorPos(TPoint P);
    HWND Capture() const { return GetCapture(); }
    void SetCapture(HWND Window);
    int DragThreshold = 5;
};

extern TScreen* Screen;
extern TMouse* Mouse;
