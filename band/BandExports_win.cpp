// The band library's four exports (ordinals in QuorvaneBand.def).
#include <windows.h>

#include "band/BandFactory_win.h"
#include "framework/gui/Application_win.h"
#include "raster/ThemeNexus_win.h"

extern "C" {

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    return BandServer().GetClassObject(rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
    const HRESULT hr = BandServer().CanUnloadNow();
    // Nothing of the band is alive: the theme hold (a window of this module) and the class
    // library go before the module does, so no window or window class of an unloaded module is
    // left behind.
    if (hr == S_OK) {
        FreeThemeNexus();
        if (IsStarted())
            Shutdown();
    }
    return hr;
}

STDAPI DllRegisterServer() {
    return BandServer().RegisterServer();
}

STDAPI DllUnregisterServer() {
    return BandServer().UnregisterServer();
}

} // extern "C"
