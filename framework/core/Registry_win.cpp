#include "framework/core/Registry_win.h"

#include <vector>

#include "framework/core/Exceptions.h"

namespace {

// No value this library reads comes near this; bigger ones are garbage.
constexpr DWORD kMaxStringBytes = 1024 * 1024;

bool HasNul(const std::string& text) { return text.find('\0') != std::string::npos; }

}  // namespace

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY rootKey) {
    if (rootKey == rootKey_)
        return;
    CloseKey();
    rootKey_ = rootKey;
}

HKEY TRegistry::BaseFor(const std::string& key, std::string& path) const {
    if (!key.empty() && key[0] == '\\') {
        path = key.substr(1);
        return rootKey_;
    }
    path = key;
    return currentKey_ != nullptr ? currentKey_ : rootKey_;
}

bool TRegistry::Open(const std::string& key, bool canCreate, REGSAM access) {
    if (HasNul(key))
        return false;
    std::string path;
    HKEY base = BaseFor(key, path);
    HKEY opened = nullptr;
    LONG status;
    if (canCreate) {
        DWORD disposition = 0;
        status = RegCreateKeyExA(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                 nullptr, &opened, &disposition);
    } else {
        status = RegOpenKeyExA(base, path.c_str(), 0, access, &opened);
    }
    if (status != ERROR_SUCCESS)
        return false;
    const bool relative = base == currentKey_ && currentKey_ != nullptr;
    std::string newPath = relative ? currentPath_ + "\\" + path : path;
    CloseKey();
    currentKey_ = opened;
    currentPath_ = std::move(newPath);
    return true;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    return Open(key, canCreate, access_);
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) { return Open(key, false, KEY_READ); }

void TRegistry::CloseKey() {
    if (currentKey_ == nullptr)
        return;
    if (!lazyWrite_)
        RegFlushKey(currentKey_);
    RegCloseKey(currentKey_);
    currentKey_ = nullptr;
    currentPath_.clear();
}

bool TRegistry::KeyExists(const std::string& key) {
    if (HasNul(key))
        return false;
    std::string path;
    HKEY base = BaseFor(key, path);
    HKEY opened = nullptr;
    if (RegOpenKeyExA(base, path.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

bool TRegistry::ValueExists(const std::string& name) {
    if (currentKey_ == nullptr || HasNul(name))
        return false;
    return RegQueryValueExA(currentKey_, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& name) {
    if (currentKey_ == nullptr || HasNul(name))
        return {};
    // The value may change between the size query and the read: retry a few
    // times on ERROR_MORE_DATA, then give up.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        LONG status = RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND)
            return {};
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
            throw ERegistryException("Failed to get data for '%s'", {name});
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw ERegistryException("Invalid data type for '%s'", {name});
        if (size > kMaxStringBytes)
            throw ERegistryException("Failed to get data for '%s'", {name});
        // One spare byte so a value stored without its terminator still fits.
        std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
        DWORD length = size;
        status = RegQueryValueExA(currentKey_, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(buffer.data()), &length);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status == ERROR_FILE_NOT_FOUND)
            return {};
        if (status != ERROR_SUCCESS)
            throw ERegistryException("Failed to get data for '%s'", {name});
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw ERegistryException("Invalid data type for '%s'", {name});
        const std::size_t count = length < size ? length : size;
        std::size_t end = 0;
        while (end < count && buffer[end] != '\0')
            ++end;
        return std::string(buffer.data(), end);
    }
    throw ERegistryException("Failed to get data for '%s'", {name});
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    if (currentKey_ == nullptr || HasNul(name) || value.size() >= kMaxStringBytes)
        throw ERegistryException::FailedToSetData(name);
    const LONG status =
        RegSetValueExA(currentKey_, name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    if (status != ERROR_SUCCESS)
        throw ERegistryException::FailedToSetData(name);
}

bool TRegistry::DeleteValue(const std::string& name) {
    if (currentKey_ == nullptr || HasNul(name))
        return false;
    return RegDeleteValueA(currentKey_, name.c_str()) == ERROR_SUCCESS;
}
