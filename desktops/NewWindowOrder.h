#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktops/WindowSystem.h"

// The order in which windows that appeared on a desktop join its list: by the start time of their
// process, earliest first.

// A process creation time, or nothing when it could not be read.
using TProcessTime = std::optional<std::uint64_t>;

// A total order on process times: known times ascending, and every unreadable time after all
// known ones. Returns below 0, 0 or above 0. Equal results mean "same time" or "both unreadable",
// so this is a strict weak ordering and safe for any sort (unlike answering 0 for every pair with
// one unreadable side, which orders nothing consistently).
int CompareWinProcessTime(const TProcessTime& first, const TProcessTime& second) noexcept;

// Stable-sorts window entries (handle text) with CompareWinProcessTime, so windows of one process
// and windows whose times cannot be read keep their order of discovery. Each process is asked for
// its time once, however many of its windows the list holds.
void SortByProcessTime(std::vector<std::string>& entries, TWindowSystem& system);
