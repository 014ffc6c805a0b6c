#pragma once

#include <string>
#include <string_view>

// The name of the single-instance mapping for the program at `exePath`: its file name (folder
// removed, extension kept) in upper case. Kernel object names are case-sensitive while file names
// are not, so the same program started as "quorvane.exe" and "Quorvane.EXE" must meet one name;
// programs with different file names still run side by side.
std::string InstanceName(std::string_view exePath);
