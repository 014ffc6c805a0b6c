#include "manager_ui/ProgramIcons_win.h"

#include <windows.h>

#include "framework/graphics/Icon_win.h"

bool LoadProgramIcon(TIcon* icon, const std::string& name) noexcept {
    try {
        icon->LoadFromResourceName(GetModuleHandleA(nullptr), name);
        return true;
    } catch (...) {
        return false;
    }
}
