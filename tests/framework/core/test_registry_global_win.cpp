#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/core/Exceptions.h"
#include "framework/core/Registry_win.h"

namespace {

// A key of the test's own under HKCU, removed (with its one level of
// subkeys) before and after each test.
class RegistryTest : public testing::Test {
protected:
    const std::string parent = "Software\\QuorvaneTests";
    const std::string key = parent + "\\Registry" + std::to_string(GetCurrentProcessId());

    void SetUp() override { Remove(); }
    void TearDown() override { Remove(); }

    void Remove() {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &handle) ==
            ERROR_SUCCESS) {
            char name[256];
            while (RegEnumKeyA(handle, 0, name, sizeof name) == ERROR_SUCCESS)
                RegDeleteKeyA(handle, name);
            RegCloseKey(handle);
            RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
        }
        RegDeleteKeyA(HKEY_CURRENT_USER, parent.c_str());  // only when empty
    }

    // Stores raw bytes of any type, as another program might.
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &handle, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(handle);
    }
};

}  // namespace

TEST_F(RegistryTest, DefaultsAndOpening) {
    TRegistry registry;
    EXPECT_EQ(registry.RootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(registry.CurrentKey(), nullptr);
    EXPECT_FALSE(registry.KeyExists(key));
    EXPECT_FALSE(registry.OpenKey(key, false));
    EXPECT_FALSE(registry.OpenKeyReadOnly(key));
    ASSERT_TRUE(registry.OpenKey(key, true));
    EXPECT_NE(registry.CurrentKey(), nullptr);
    EXPECT_EQ(registry.CurrentPath(), key);
    EXPECT_TRUE(registry.KeyExists("\\" + key));
    // Relative to the current key, and back to the root with "\".
    ASSERT_TRUE(registry.OpenKey("Sub", true));
    EXPECT_EQ(registry.CurrentPath(), key + "\\Sub");
    ASSERT_TRUE(registry.OpenKey("\\" + key, false));
    EXPECT_EQ(registry.CurrentPath(), key);
    EXPECT_TRUE(registry.KeyExists("Sub"));
    registry.CloseKey();
    EXPECT_EQ(registry.CurrentKey(), nullptr);
    registry.CloseKey();
}

TEST_F(RegistryTest, StringsRoundTripAndMissingValuesReadEmpty) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(key, true));
    EXPECT_EQ(registry.ReadString("NumDesks"), "");
    EXPECT_FALSE(registry.ValueExists("NumDesks"));
    registry.WriteString("NumDesks", "4");
    registry.WriteString("Empty", "");
    EXPECT_TRUE(registry.ValueExists("NumDesks"));
    EXPECT_EQ(registry.ReadString("NumDesks"), "4");
    EXPECT_EQ(registry.ReadString("Empty"), "");
    EXPECT_TRUE(registry.DeleteValue("NumDesks"));
    EXPECT_FALSE(registry.DeleteValue("NumDesks"));
    EXPECT_EQ(registry.ReadString("NumDesks"), "");
}

TEST_F(RegistryTest, ValuesWrittenByOthersAreReadSafely) {
    SetRaw("Expand", REG_EXPAND_SZ, "%WINDIR%\\web.bmp", 17);
    SetRaw("NoTerminator", REG_SZ, "abc", 3);  // stored without its NUL
    SetRaw("InnerNul", REG_SZ, "ab\0cd", 6);
    SetRaw("ZeroSize", REG_SZ, "", 0);
    const DWORD number = 4;
    SetRaw("Dword", REG_DWORD, &number, sizeof number);
    SetRaw("Binary", REG_BINARY, "\x01\x02", 2);
    const std::string huge(2 * 1024 * 1024, 'x');
    SetRaw("Huge", REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() + 1));

    TRegistry registry(KEY_READ);
    ASSERT_TRUE(registry.OpenKeyReadOnly(key));
    EXPECT_EQ(registry.ReadString("Expand"), "%WINDIR%\\web.bmp");  // not expanded
    EXPECT_EQ(registry.ReadString("NoTerminator"), "abc");
    EXPECT_EQ(registry.ReadString("InnerNul"), "ab");
    EXPECT_EQ(registry.ReadString("ZeroSize"), "");
    for (const char* name : {"Dword", "Binary"}) {
        try {
            registry.ReadString(name);
            ADD_FAILURE() << name;
        } catch (const ERegistryException& e) {
            EXPECT_EQ(e.Message(), std::string("Invalid data type for '") + name + "'");
        }
    }
    EXPECT_THROW(registry.ReadString("Huge"), ERegistryException);
}

TEST_F(RegistryTest, FailedWritesRaiseWithTheValueName) {
    {
        TRegistry setup;
        ASSERT_TRUE(setup.OpenKey(key, true));
    }
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(key));
    try {
        registry.WriteString("SwitchHotKey", "1");
        FAIL() << "wrote through a read-only key";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "Failed to set data for 'SwitchHotKey'");
    }
    registry.CloseKey();
    EXPECT_THROW(registry.WriteString("NumDesks", "2"), ERegistryException);
}

TEST_F(RegistryTest, ImmediateWritesAreThereAfterClose) {
    {
        TRegistry registry;
        registry.SetLazyWrite(false);
        ASSERT_TRUE(registry.OpenKey(key, true));
        registry.WriteString("TBHandle", "2147483648");
    }  // the destructor closes (and flushes) the key
    HKEY handle = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle), ERROR_SUCCESS);
    char buffer[32] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(handle, "TBHandle", nullptr, &type,
                               reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_SUCCESS);
    RegCloseKey(handle);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(buffer, "2147483648");
}
