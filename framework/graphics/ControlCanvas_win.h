#pragma once

#include <windows.h>

#include "framework/graphics/Canvas_win.h"

// A canvas on a control's device context, obtained when first needed and
// given back by FreeHandle.
//
// The graphics layer does not know the control classes; the GUI layer tells
// it how a control's DC is had through SetDeviceContextHooks: Acquire returns
// the DC for the control (for a window-less control, the parent's DC with its
// origin and clipping set) and Release gives it back. Without hooks (or for a
// canvas given a window by SetWindow) the canvas uses GetDC/ReleaseDC on that
// window. During WM_PAINT the GUI layer may instead lend the BeginPaint DC
// through SetHandle and take it back with SetHandle(nullptr).
class TControlCanvas : public TCanvas {
    FW_CLASS(TControlCanvas, TCanvas)
public:
    struct TDeviceContextHooks {
        HDC (*Acquire)(TObject* control) = nullptr;
        void (*Release)(TObject* control, HDC dc) = nullptr;
    };
    // Installs the hooks for every control canvas (nullptr members: none).
    static void SetDeviceContextHooks(const TDeviceContextHooks& hooks) noexcept;

    TControlCanvas() = default;
    ~TControlCanvas() override;

    // The control whose DC the canvas draws on (any object the hooks understand).
    TObject* Control() const noexcept { return control_; }
    // Changing the control gives back a DC obtained for the previous one.
    void SetControl(TObject* control);
    // A plain window instead of a control (GetDC/ReleaseDC).
    void SetWindow(HWND window);

    // Gives back an obtained DC (a lent one is only detached).
    void FreeHandle();

protected:
    void CreateHandle() override;

private:
    TObject* control_ = nullptr;
    HWND window_ = nullptr;
    HDC acquired_ = nullptr;
    bool fromHook_ = false;
};
