#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "framework/core/Types.h"

// The arithmetic of align layout, without windows: a container's client
// rectangle and its children's current bounds in, the aligned bounds out.
//
// Order: every alTop child, then alBottom, alLeft, alRight and alClient.
// Within one kind the current position decides (alTop by Top ascending,
// alBottom by Bottom descending, alLeft by Left ascending, alRight by Right
// descending, alClient keeps list order); equal positions keep the list
// (z-) order. alTop and alBottom children keep their height and take the
// remaining width; alLeft and alRight keep their width and take the
// remaining height; alClient takes what remains. Sizes are limited by the
// child's constraints (0 = no limit); a size never goes below 0.

struct TAlignEntry {
    TAlign Align = alNone;
    TRect Bounds;        // current bounds, in the container's client coordinates
    bool Visible = true; // invisible children take no room and keep their bounds
    std::int32_t MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
};

// Answers one rectangle per entry, in the entries' order. Entries that are
// invisible, alNone or alCustom keep their bounds. borderWidth insets the
// client rectangle on all four sides.
std::vector<TRect> AlignLayout(const TRect& clientRect, std::int32_t borderWidth,
                               std::span<const TAlignEntry> entries);

// size limited by a minimum and a maximum (0 = no limit) and by 0 from below.
std::int32_t ConstrainSize(std::int32_t size, std::int32_t minSize, std::int32_t maxSize) noexcept;
