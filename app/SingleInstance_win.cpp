#include "app/SingleInstance_win.h"

#include <cstdint>
#include <cstring>

bool TSingleInstance::Check(const std::string& name, HWND applicationWindow) {
    Close();
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1024,
                                        name.c_str());
    const DWORD error = GetLastError();
    if (mapping == nullptr)
        return false;
    void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
    const bool first = view != nullptr && error != ERROR_ALREADY_EXISTS;
    if (first) {
        const auto handle = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(applicationWindow));
        std::memcpy(view, &handle, sizeof handle);
    }
    if (view != nullptr)
        UnmapViewOfFile(view);
    if (!first) {
        CloseHandle(mapping);
        return false;
    }
    mapping_ = mapping;
    return true;
}

void TSingleInstance::Close() {
    if (mapping_ != nullptr) {
        CloseHandle(mapping_);
        mapping_ = nullptr;
    }
}
