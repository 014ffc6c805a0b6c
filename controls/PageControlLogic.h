#pragma once

// The toolkit page control's decisions apart from any window: the page Ctrl+Tab goes to and the
// page area for a client border width.

#include <cstdint>
#include <string>

#include "framework/controls/PageRules.h"
#include "framework/core/Types.h"

enum TTkHintSource : std::uint8_t {
    hsDefault,
    hsForceMain,
    hsForceChildren,
    hsPreferMain,
    hsPreferChildren
};

// Whose hint shows over a tab: the control's, the page's (over its tab), or the framework's
// unchanged answer.
enum class TTabHint : std::uint8_t { Framework, Main, Page };

// MainHint and PageHint are the short hints of the control and of the page under the cursor
// (PageFound false when there is none).
TTabHint ChooseTabHint(TTkHintSource source, const std::string& mainHint, bool pageFound,
                       const std::string& pageHint) noexcept;

// The page Ctrl+Tab (or Ctrl+Shift+Tab) moves to from Active: the cyclic search over pages with a
// visible tab, forwards when Shift is down, backwards when it is not, passing disabled pages.
// -1 when no enabled page other than Active is found: the search also stops when it comes back
// to Active or to the first page it found.
int GlobalTabTarget(std::span<const TPageState> pages, int active, bool shiftDown) noexcept;

// The page area the system answered, enlarged by 4 - ClientBorderWidth on every side (the
// system's border is 4); never below an empty rectangle.
TRect PageAreaForBorder(const TRect& systemArea, int clientBorderWidth) noexcept;
