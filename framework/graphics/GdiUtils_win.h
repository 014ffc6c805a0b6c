#pragma once

#include <windows.h>

#include "framework/core/Types.h"

// Small GDI helpers shared by the canvas and the graphic classes.

// The COLORREF of a TColor: system colours resolved, the top byte cleared.
inline COLORREF ColorRef(TColor color) noexcept {
    return static_cast<COLORREF>(static_cast<std::uint32_t>(ColorToRGB(color)) & 0x00FFFFFFu);
}

// Selects an object into a DC for the scope and puts the previous one back.
class TScopedSelect {
public:
    TScopedSelect(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~TScopedSelect() {
        if (old_ != nullptr) SelectObject(dc_, old_);
    }
    TScopedSelect(const TScopedSelect&) = delete;
    TScopedSelect& operator=(const TScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Saves a DC's state and restores it at scope end, also when a step raises.
class TScopedSaveDC {
public:
    explicit TScopedSaveDC(HDC dc) noexcept : dc_(dc), id_(dc != nullptr ? SaveDC(dc) : 0) {}
    ~TScopedSaveDC() {
        if (id_ != 0)
            RestoreDC(dc_, id_);
    }
    TScopedSaveDC(const TScopedSaveDC&) = delete;
    TScopedSaveDC& operator=(const TScopedSaveDC&) = delete;

private:
    HDC dc_;
    int id_;
};

// A memory DC compatible with the screen, deleted at scope end.
class TScopedMemoryDC {
public:
    TScopedMemoryDC() noexcept : dc_(CreateCompatibleDC(nullptr)) {}
    ~TScopedMemoryDC() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    TScopedMemoryDC(const TScopedMemoryDC&) = delete;
    TScopedMemoryDC& operator=(const TScopedMemoryDC&) = delete;
    HDC Get() const noexcept { return dc_; }

private:
    HDC dc_;
};

inline RECT ToRECT(const TRect& r) noexcept { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
