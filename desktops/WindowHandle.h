#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A top-level window as the desktop lists know it: the system's 32-bit handle value. Handles are
// 32 bits wide on every Windows the program runs on (64-bit Windows keeps them so for interop),
// so the value is unsigned and one at or above 2^31 is an ordinary handle, not a negative one.
using TWindowHandle = std::uint32_t;

// A process id as the system reports it; 0 names no process.
using TProcessId = std::uint32_t;

// The canonical entry text of a handle: unsigned decimal, no sign, no leading zeros, no padding.
// Entries are compared as text, so this one spelling is the only one the lists may hold.
std::string HandleText(TWindowHandle handle);

// The handle an entry names. Anything but canonical text (empty, a sign, leading zeros, other
// characters, a value above 2^32 - 1) names no window and gives 0, so a damaged entry is passed
// over like a window that has gone.
TWindowHandle ParseHandle(std::string_view text) noexcept;
