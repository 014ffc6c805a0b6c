#include "desktops/RegistrySettingsStore_win.h"

#include <windows.h>

#include "framework/core/Exceptions.h"
#include "framework/core/Registry_win.h"

TRegistrySettingsStore::TRegistrySettingsStore() : registry_(std::make_unique<TRegistry>()) {
    registry_->SetRootKey(HKEY_CURRENT_USER);
    registry_->SetLazyWrite(false);
}

TRegistrySettingsStore::~TRegistrySettingsStore() {
    try {
        registry_->CloseKey();
    } catch (...) {
    }
}

bool TRegistrySettingsStore::OpenKey(const std::string& path, TAccess access) {
    registry_->CloseKey();
    const std::string absolute = "\\" + path;
    if (access == TAccess::Read)
        return registry_->OpenKeyReadOnly(absolute);
    registry_->SetAccess(KEY_ALL_ACCESS);
    return registry_->OpenKey(absolute, access == TAccess::WriteCreate);
}

void TRegistrySettingsStore::CloseKey() {
    registry_->CloseKey();
}

std::string TRegistrySettingsStore::ReadString(const std::string& name) {
    if (registry_->CurrentKey() == nullptr)
        throw ERegistryException("Failed to get data for '" + name + "'");
    return registry_->ReadString(name);
}

void TRegistrySettingsStore::WriteString(const std::string& name, const std::string& value) {
    registry_->WriteString(name, value);
}

bool TRegistrySettingsStore::DeleteValue(const std::string& name) {
    return registry_->DeleteValue(name);
}
