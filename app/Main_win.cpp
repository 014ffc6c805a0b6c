// The program's entry: one instance per program file, the manager window hidden, the message loop,
// and every hidden window back on the screen however the program ends.
#include <windows.h>

#include "app/InstanceName.h"
#include "app/SingleInstance_win.h"
#include "components/gif/ClipIcon_win.h"
#include "components/gif/GIFImage_win.h"
#include "components/trayicon/QXConst_win.h"
#include "framework/graphics/JPEGImage_win.h"
#include "framework/graphics/ThemeServices_win.h"
#include "framework/gui/Application_win.h"
#include "manager_ui/Form1_win.h"
#include "raster/Startup.h"

namespace {

// A fault nothing else caught: the process is about to end, so the windows on other desktops
// must come back now or stay hidden until their programs end.
LONG WINAPI RestoreOnFault(EXCEPTION_POINTERS*) {
    if (Form1 != nullptr)
        Form1->RestoreOnAbnormalEnd();
    return EXCEPTION_CONTINUE_SEARCH;
}

void RegisterStartupWork() {
    AddStartupHook(TStartupStage::Graphics, [] { raster::Startup(); }, [] { FreeThemeServices(); });
    AddStartupHook(TStartupStage::ImageFormats, &RegisterGIFImage, &UnregisterGIFImage);
    AddStartupHook(TStartupStage::ImageFormats, &RegisterClipIcon, [] {});
    AddStartupHook(TStartupStage::Jpeg, &RegisterJPEGImage, &UnregisterJPEGImage);
    RegisterQxConstStartup();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RegisterStartupWork();
    Startup();
    TSingleInstance instance;
    if (!instance.Check(InstanceName(Application->ExeName()), Application->Handle())) {
        Shutdown();
        return 0;
    }
    SetUnhandledExceptionFilter(&RestoreOnFault);
    try {
        Application->Initialize();
        Application->SetTitle("Quorvane");
        Application->CreateForm(Form1);
        Application->ShowMainForm = false;
        Application->Run();
    } catch (...) {
        if (Form1 != nullptr)
            Form1->RestoreOnAbnormalEnd();
    }
    instance.Close();
    Shutdown();
    return 0;
}
