#include "manager_ui/ProgramIcons_win.h"

#include <windows.h>

#include "framework/controls/ImageList_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Icon_win.h"

bool LoadProgramIcon(TIcon* icon, const std::string& name) noexcept {
    try {
        icon->LoadFromResourceName(GetModuleHandleA(nullptr), name);
        return true;
    } catch (...) {
        return false;
    }
}

void AddDrawnImage(TCustomImageList* list, TColor mask, const std::function<void(TCanvas*)>& draw) {
    TBitmap bitmap;
    bitmap.SetSize(list->Width(), list->Height());
    bitmap.Canvas()->Brush()->SetColor(mask);
    bitmap.Canvas()->FillRect(TRect{0, 0, list->Width(), list->Height()});
    draw(bitmap.Canvas());
    list->AddMasked(&bitmap, mask);
}
