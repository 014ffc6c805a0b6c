#include "framework/core/SysUtils.h"

#include <windows.h>

int Win32Platform() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info))
        return VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
    return static_cast<int>(info.dwPlatformId);
}
