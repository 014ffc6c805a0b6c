#include <gtest/gtest.h>

#include "app/InstanceName.h"

namespace {

TEST(InstanceName, OneNamePerProgramFileWhateverItsSpelling) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\Quorvane\\Quorvane.exe", "QUORVANE.EXE"},
        {"c:\\program files\\quorvane\\quorvane.EXE", "QUORVANE.EXE"},
        {"Z:\\tmp\\Copy of Quorvane.exe", "COPY OF QUORVANE.EXE"},
        {"Quorvane2.exe", "QUORVANE2.EXE"},
        {"C:\\dir.with.dots\\q", "Q"},
        {"", ""},
    };
    for (const auto& [path, name] : cases)
        EXPECT_EQ(InstanceName(path), name) << path;
}

}  // namespace
