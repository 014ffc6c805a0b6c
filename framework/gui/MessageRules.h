#pragma once

#include <cstdint>

#include "framework/core/Types.h"

// Pure rules of the message plumbing, shared by the Windows layer and its
// native tests. Parameters are the raw 32-bit values a window procedure gets.

// Answers whether a message that arrived through the window system (posted,
// or sent from another thread or process) may reach a control or form. The
// library's private range 0xB000-0xBFFF is refused: its notifications carry
// object pointers, and any process may post to our windows. Exempt is the
// pointer-free number the edit control posts to itself (0xB300).
bool IsForeignMessageAllowed(std::uint32_t msg) noexcept;

// The point of a mouse message or of CM_HITTEST: two signed 16-bit halves,
// x in the low one. Under capture the values are negative left of or above
// the window, so they must be sign-extended.
constexpr TPoint PointFromLParam(std::uint32_t lParam) noexcept {
    return {static_cast<std::int16_t>(lParam & 0xFFFF),
            static_cast<std::int16_t>((lParam >> 16) & 0xFFFF)};
}

// The inverse of PointFromLParam; coordinates are truncated to 16 bits.
constexpr std::uint32_t PointToLParam(TPoint p) noexcept {
    return (static_cast<std::uint32_t>(p.X) & 0xFFFF) |
           ((static_cast<std::uint32_t>(p.Y) & 0xFFFF) << 16);
}

// Mouse-message key flags (MK_*) as a shift state: MK_LBUTTON 1 → ssLeft,
// MK_RBUTTON 2 → ssRight, MK_SHIFT 4 → ssShift, MK_CONTROL 8 → ssCtrl,
// MK_MBUTTON 0x10 → ssMiddle. altDown adds ssAlt (the flags lack it).
TShiftState KeysToShiftState(std::uint32_t keys, bool altDown = false) noexcept;

// Key-message key data as a shift state: Alt from bit 29 (the context code),
// Shift and Ctrl from the keyboard state the caller reads.
TShiftState KeyDataToShiftState(std::uint32_t keyData, bool shiftDown, bool ctrlDown) noexcept;

// Key data built from a shift state: Alt bit 29, Ctrl bit 28, Shift bit 27;
// nothing else is set.
std::uint32_t ShiftStateToKeyData(TShiftState shift) noexcept;
