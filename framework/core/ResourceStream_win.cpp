#include "framework/core/ResourceStream.h"

#include <windows.h>

namespace {

LPCSTR Win32Name(const TResourceName& name) {
    return name.IsId() ? MAKEINTRESOURCEA(name.Id()) : name.Name().c_str();
}

}  // namespace

bool fw_detail::FindModuleResource(TInstanceHandle instance, const TResourceName& name,
                                   const TResourceName& type, const void*& data,
                                   std::size_t& size) {
    // A NUL inside a text name would look up a shorter name.
    for (const TResourceName* n : {&name, &type})
        if (!n->IsId() && (n->Name().empty() || n->Name().find('\0') != std::string::npos))
            return false;
    const auto module = reinterpret_cast<HMODULE>(instance);
    HRSRC info = FindResourceA(module, Win32Name(name), Win32Name(type));
    if (info == nullptr)
        return false;
    HGLOBAL handle = LoadResource(module, info);
    if (handle == nullptr)
        return false;
    const void* bytes = LockResource(handle);
    const DWORD length = SizeofResource(module, info);
    if (bytes == nullptr && length != 0)
        return false;
    data = bytes;
    size = length;
    return true;
}
