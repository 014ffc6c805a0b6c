#include "framework/com/ComRegistry_win.h"

#include "framework/com/ComServer_win.h"

namespace {

class TClassesRoot final : public TComRegistry {
public:
    bool OpenOrCreate(const std::string& Key) override {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, Key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    void WriteString(const std::string& Key, const std::string& Name,
                     const std::string& Value) override {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, Key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            throw EOleRegistrationError("Error creating system registry entry");
        const LONG rc = RegSetValueExA(key, Name.empty() ? nullptr : Name.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(Value.c_str()),
                                       static_cast<DWORD>(Value.size() + 1));
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS)
            throw EOleRegistrationError("Error creating system registry entry");
    }

    void DeleteKey(const std::string& Key) noexcept override {
        RegDeleteKeyA(HKEY_CLASSES_ROOT, Key.c_str());
    }

    void DeleteTree(const std::string& Key) noexcept override {
        DeleteBelow(HKEY_CLASSES_ROOT, Key);
    }

private:
    // Depth-first; the depth is that of the registry's own key tree, which the system bounds.
    static void DeleteBelow(HKEY root, const std::string& path) noexcept {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
            return;
        for (;;) {
            char name[256];
            DWORD len = sizeof name;
            if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            const std::string child(name, len);
            DeleteBelow(key, child);
            // A child that would not go would be enumerated again for ever.
            HKEY probe = nullptr;
            if (RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
                RegCloseKey(probe);
                break;
            }
        }
        RegCloseKey(key);
        RegDeleteKeyA(root, path.c_str());
    }
};

} // namespace

TComRegistry& ClassesRootRegistry() {
    static TClassesRoot root;
    return root;
}
