#pragma once

#include <windows.h>

#include <string>

#include "framework/core/Object.h"

// The class library's registry key wrapper: one open key below a root key.
// Values are outside input (another program may write anything there): reads
// size their buffer from the query, accept strings without a terminator, never
// read past the returned length and refuse absurd sizes.
class TRegistry : public TObject {
    FW_CLASS(TRegistry, TObject)
public:
    // Root HKEY_CURRENT_USER; keys are opened with access (KEY_ALL_ACCESS by
    // default); LazyWrite on.
    TRegistry();
    explicit TRegistry(REGSAM access);
    // Closes the current key.
    ~TRegistry() override;

    HKEY RootKey() const { return rootKey_; }
    // Closes the current key first.
    void SetRootKey(HKEY rootKey);
    REGSAM Access() const { return access_; }
    void SetAccess(REGSAM access) { access_ = access; }
    // Off: CloseKey flushes the key (RegFlushKey), so the writes are on disk.
    bool LazyWrite() const { return lazyWrite_; }
    void SetLazyWrite(bool lazyWrite) { lazyWrite_ = lazyWrite; }
    HKEY CurrentKey() const { return currentKey_; }
    const std::string& CurrentPath() const { return currentPath_; }

    // Opens key (below the current key, or below the root when there is none
    // or key starts with "\") with Access; creates it when canCreate. On
    // success the previous key is closed and key becomes current.
    bool OpenKey(const std::string& key, bool canCreate);
    // As OpenKey without creating, with KEY_READ (0x20019) access.
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();
    // Whether key (as OpenKey resolves it) exists.
    bool KeyExists(const std::string& key);
    bool ValueExists(const std::string& name);

    // The value name of the current key: REG_SZ or REG_EXPAND_SZ (not
    // expanded), cut at its first NUL; "" when the value is missing. Raises
    // ERegistryException for another type ("Invalid data type for '%s'"), a
    // value above 1 MiB or a failed query ("Failed to get data for '%s'").
    std::string ReadString(const std::string& name);
    // Stores value as REG_SZ; raises ERegistryException "Failed to set data
    // for '%s'" when the system refuses (no key open, read-only key...).
    void WriteString(const std::string& name, const std::string& value);
    // False when the value is missing (no error).
    bool DeleteValue(const std::string& name);

private:
    // The parent and relative path for key; rootKey_ for absolute paths.
    HKEY BaseFor(const std::string& key, std::string& path) const;
    bool Open(const std::string& key, bool canCreate, REGSAM access);

    HKEY rootKey_ = HKEY_CURRENT_USER;
    REGSAM access_ = KEY_ALL_ACCESS;
    bool lazyWrite_ = true;
    HKEY currentKey_ = nullptr;
    std::string currentPath_;
};
