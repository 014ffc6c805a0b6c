#include "components/trayicon/QXConst_win.h"

#include <windows.h>

#include "framework/gui/Application_win.h"
#include "framework/gui/Screen_win.h"

void InstallQxCursors() {
    if (Screen == nullptr)
        return;
    HINSTANCE module = GetModuleHandleA(nullptr);
    if (HCURSOR hand = LoadCursorA(module, "QX_HANDCUR"))
        Screen->SetCursors(crQxHand, hand);
    if (HCURSOR drag = LoadCursorA(module, "QX_DRAGCUR"))
        Screen->SetCursors(crQxDrag, drag);
}

void RegisterQxConstStartup() {
    AddStartupHook(TStartupStage::Components, &InstallQxCursors, nullptr);
}
