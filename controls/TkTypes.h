#pragma once

#include <cstdint>

#include "framework/core/Exceptions.h"
#include "framework/core/Types.h"

// Root of the toolkit's errors.
FW_DECLARE_EXCEPTION(ETkException, Exception);

// Clipboard commands an edit control offers.
enum TTkClipboardCommand : std::uint8_t { caCopy, caCut, caPaste, caClear, caUndo };
using TTkClipboardCommands = TSet<TTkClipboardCommand>;

// How a control's font follows another font: nothing unless hoFollowFont;
// each hoPreserve* keeps one attribute of the control's own font.
enum TTkTrackFontOption : std::uint8_t {
    hoFollowFont,
    hoPreserveCharSet,
    hoPreserveColor,
    hoPreserveHeight,
    hoPreserveName,
    hoPreservePitch,
    hoPreserveStyle
};
using TTkTrackFontOptions = TSet<TTkTrackFontOption>;
