#include "components/gif/ClipIcon_win.h"

#include <windows.h>

#include "framework/graphics/Icon_win.h"
#include "framework/graphics/Picture_win.h"

namespace {
std::uint32_t gFormat = 0;
}

void RegisterClipIcon() {
    gFormat = RegisterClipboardFormatA("Quorvane Icon");
    if (gFormat != 0) {
        TPicture::RegisterClipboardFormat(gFormat, TGraphicClass::Of<TIcon>());
    }
}

std::uint32_t ClipIconFormat() {
    return gFormat;
}
