// The band library's four exports (ordinals in QuorvaneBand.def).
#include <windows.h>

#include "band/BandFactory_win.h"
#include "framework/gui/Application_win.h"

extern "C" {

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    return BandServer().GetClassObject(rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
    const HRESULT hr = BandServer().CanUnloadNow();
    // Nothing of the band is alive: the class library goes before the module does, so no
    // window class of an unloaded module is left registered.
    if (hr == S_OK && IsStarted())
        Shutdown();
    return hr;
}

STDAPI DllRegisterServer() {
    return BandServer().RegisterServer();
}

STDAPI DllUnregisterServer() {
    return BandServer().UnregisterServer();
}

} // extern "C"
