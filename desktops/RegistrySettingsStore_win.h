#pragma once

#include <memory>
#include <string>

#include "desktops/Settings.h"

class TRegistry;

// The settings store over the current user's registry (the framework's registry class), writing
// through at once rather than lazily.
class TRegistrySettingsStore : public TSettingsStore {
public:
    TRegistrySettingsStore();
    ~TRegistrySettingsStore() override;

    bool OpenKey(const std::string& path, TAccess access) override;
    void CloseKey() override;
    std::string ReadString(const std::string& name) override;
    void WriteString(const std::string& name, const std::string& value) override;
    bool DeleteValue(const std::string& name) override;

private:
    std::unique_ptr<TRegistry> registry_;
};
