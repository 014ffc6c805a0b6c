#pragma once

// The toolkit page control's decisions apart from any window: the page Ctrl+Tab goes to and the
// page area for a client border width.

#include "framework/controls/PageRules.h"
#include "framework/core/Types.h"

// The page Ctrl+Tab (or Ctrl+Shift+Tab) moves to from Active: the cyclic search over pages with a
// visible tab, forwards when Shift is down, backwards when it is not, passing disabled pages.
// -1 when no enabled page other than Active is found: the search also stops when it comes back
// to Active or to the first page it found.
int GlobalTabTarget(std::span<const TPageState> pages, int active, bool shiftDown) noexcept;

// The page area the system answered, enlarged by 4 - ClientBorderWidth on every side (the
// system's border is 4); never below an empty rectangle.
TRect PageAreaForBorder(const TRect& systemArea, int clientBorderWidth) noexcept;
