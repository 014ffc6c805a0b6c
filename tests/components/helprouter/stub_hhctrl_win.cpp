// A stand-in for the HTML help viewer's library: it records every call (file, command, data
// and, for text popups, the record's fields) and answers with a window handle of its own.

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

struct TCall {
    char file[512];
    UINT command;
    DWORD_PTR data;
    HWND caller;
    UINT popupId;
    POINT popupAt;
};
TCall gCalls[64];
int gCount = 0;

} // namespace

extern "C" __declspec(dllexport) HWND WINAPI
    HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
    if (gCount < 64) {
        TCall& c = gCalls[gCount++];
        std::snprintf(c.file, sizeof(c.file), "%s", file != nullptr ? file : "(none)");
        c.command = command;
        c.data = data;
        c.caller = caller;
        c.popupId = 0;
        c.popupAt = {};
        if (command == 0x0E && data != 0) {
            // cbStruct, hinst, idString, pszText, pt.
            const auto* bytes = reinterpret_cast<const unsigned char*>(data);
            std::memcpy(&c.popupId, bytes + 2 * sizeof(void*), sizeof(UINT));
            std::memcpy(&c.popupAt, bytes + 4 * sizeof(void*), sizeof(POINT));
        }
    }
    return GetDesktopWindow();
}

extern "C" __declspec(dllexport) int WINAPI StubCallCount() {
    return gCount;
}

extern "C" __declspec(dllexport) void WINAPI
    StubCall(int index, char* file, int size, UINT* command, DWORD_PTR* data, UINT* popupId,
             POINT* at) {
    if (index < 0 || index >= gCount)
        return;
    std::snprintf(file, static_cast<std::size_t>(size), "%s", gCalls[index].file);
    *command = gCalls[index].command;
    *data = gCalls[index].data;
    *popupId = gCalls[index].popupId;
    *at = gCalls[index].popupAt;
}

extern "C" __declspec(dllexport) void WINAPI StubReset() {
    gCount = 0;
}
