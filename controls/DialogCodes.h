#pragma once

#include <cstdint>

#include "framework/core/Types.h"

// The keys a control asks its dialog for, as the operation GetDlgCode sees
// them, and their window-system flags (WM_GETDLGCODE answers).
enum TTkDialogCode : std::uint8_t {
    dcWantAllKeys, // DLGC_WANTALLKEYS 0x0004
    dcWantArrows,  // DLGC_WANTARROWS 0x0001
    dcWantChars,   // DLGC_WANTCHARS 0x0080
    dcButton,      // DLGC_BUTTON 0x2000
    dcHasSetSel,   // DLGC_HASSETSEL 0x0008
    dcWantTab,     // DLGC_WANTTAB 0x0002
    dcNative       // keep the window system's answer as it is
};
using TTkDialogCodes = TSet<TTkDialogCode>;

// The members for the flags of an answer (flags outside the table are dropped).
TTkDialogCodes DialogCodesFromFlags(std::uint32_t flags) noexcept;
// The flags of a set (dcNative has none).
std::uint32_t FlagsFromDialogCodes(TTkDialogCodes codes) noexcept;
