#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "desktops/Settings.h"
#include "framework/core/Exceptions.h"

// The current user's registry in memory, with values of other types, keys that cannot be opened,
// writes that fail, and a log of every write and delete in order.
class TFakeSettingsStore : public TSettingsStore {
public:
    struct Value {
        bool isString = true;
        std::string text;
    };
    std::map<std::string, std::map<std::string, Value>> keys;
    std::set<std::string> failingWrites;  // value names whose write raises
    std::set<std::string> lockedKeys;     // keys that cannot be opened
    std::vector<std::string> log;         // "set Name=Value", "delete Name"

    void Put(const std::string& key, const std::string& name, const std::string& text) {
        keys[key][name] = {true, text};
    }
    void PutNumber(const std::string& key, const std::string& name) { keys[key][name] = {false, {}}; }
    const std::string* Get(const std::string& key, const std::string& name) const {
        auto k = keys.find(key);
        if (k == keys.end())
            return nullptr;
        auto v = k->second.find(name);
        return v == k->second.end() ? nullptr : &v->second.text;
    }

    bool OpenKey(const std::string& path, TAccess access) override {
        open_.clear();
        if (lockedKeys.count(path) != 0)
            return false;
        if (keys.count(path) == 0) {
            if (access != TAccess::WriteCreate)
                return false;
            keys[path];
        }
        open_ = path;
        return true;
    }
    void CloseKey() override { open_.clear(); }
    std::string ReadString(const std::string& name) override {
        if (open_.empty())
            throw ERegistryException("Failed to get data for '" + name + "'");
        auto& values = keys[open_];
        auto v = values.find(name);
        if (v == values.end())
            return {};
        if (!v->second.isString)
            throw ERegistryException("Invalid data type for '" + name + "'");
        return v->second.text;
    }
    void WriteString(const std::string& name, const std::string& value) override {
        if (open_.empty() || failingWrites.count(name) != 0)
            throw ERegistryException::FailedToSetData(name);
        keys[open_][name] = {true, value};
        log.push_back("set " + name + "=" + value);
    }
    bool DeleteValue(const std::string& name) override {
        log.push_back("delete " + name);
        return open_.empty() ? false : keys[open_].erase(name) != 0;
    }

private:
    std::string open_;
};
