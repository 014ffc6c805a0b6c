#pragma once

#include <windows.h>

#include <string>

// The registry as COM registration sees it: keys below HKEY_CLASSES_ROOT. A seam, so that a
// refused write can be shown without taking rights away from the test's user.
class TComRegistry {
public:
    virtual ~TComRegistry() = default;
    // Opens Key, creating it when missing; false when the system refuses.
    virtual bool OpenOrCreate(const std::string& Key) = 0;
    // Writes the text value Name ("" is the default value) of Key, creating the key first.
    // Raises EOleRegistrationError when the key cannot be made or the write is refused.
    virtual void WriteString(const std::string& Key, const std::string& Name,
                             const std::string& Value) = 0;
    // Deletes Key alone; a refusal (subkeys left, no rights, missing key) is ignored.
    virtual void DeleteKey(const std::string& Key) noexcept = 0;
    // Deletes Key with everything below it; a missing key is ignored.
    virtual void DeleteTree(const std::string& Key) noexcept = 0;
};

// HKEY_CLASSES_ROOT itself.
TComRegistry& ClassesRootRegistry();
