#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/Types.h"

// The shell's callback for the notification icon, decoded without the
// platform. The callback's lParam is the mouse message that happened over the
// icon; any process can post it, so unknown values decode to nothing and a
// click is reported only after a press on the icon.

// The private callback number the shell posts to the icon's hidden window.
inline constexpr std::uint32_t kTrayCallbackMessage = 0xB054;

// Which buttons went down on the icon and have not come up yet.
enum TTrayClickFlag : std::uint8_t { cfLeft, cfRight };
using TTrayClickFlags = TSet<TTrayClickFlag>;

enum class TTrayOpKind : std::uint8_t {
    MouseMove,
    MouseDown,
    MouseUp,
    Click,
    DblClick,
    SetClickFlag,   // Flag joins the click flags
    ClearClickFlag, // Flag leaves the click flags
};

// One step of handling a callback. Button and Shift matter for the mouse
// operations, Flag for the flag steps.
struct TTrayOp {
    TTrayOpKind Kind = TTrayOpKind::MouseMove;
    TMouseButton Button = mbLeft;
    TShiftState Shift;
    TTrayClickFlag Flag = cfLeft;

    friend bool operator==(const TTrayOp&, const TTrayOp&) = default;
};

// The steps for one callback, in the order they are to run. mouseMessage is
// the callback's lParam (only the low 32 bits are looked at by the caller);
// keys holds ssShift, ssCtrl and ssAlt as the keyboard has them; flags are
// the click flags before the callback. The flag steps sit where the state
// changes (after MouseDown, before Click), so a handler that clears the
// flags in between (hiding the icon) sees the same order as the shell does.
std::vector<TTrayOp> DecodeTrayCallback(std::uint32_t mouseMessage, TShiftState keys,
                                        TTrayClickFlags flags);

// Applies a flag step to flags; other steps leave them alone.
void ApplyTrayOp(const TTrayOp& op, TTrayClickFlags& flags) noexcept;
