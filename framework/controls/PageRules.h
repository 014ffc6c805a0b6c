#pragma once

// The page control's page arithmetic apart from the system's tab control: which page a tab
// shows (pages with a hidden tab have none) and the next page in a cyclic search.

#include <span>

struct TPageState {
    bool TabVisible = true;
    bool Enabled = true;
};

// The page of tab TabIndex (counting only pages with a visible tab), -1 when there is none.
int PageIndexOfTab(std::span<const TPageState> pages, int tabIndex) noexcept;
// The tab of page PageIndex, -1 when its tab is hidden or the page does not exist.
int TabIndexOfPage(std::span<const TPageState> pages, int pageIndex) noexcept;

// The page after (or before) Current, wrapping at the ends; with CheckTabVisible only pages whose
// tab is visible. Current -1 starts before the first (or after the last) page. -1 when no page
// qualifies; Current itself when it is the only one.
int FindNextPageIndex(std::span<const TPageState> pages, int current, bool goForward,
                      bool checkTabVisible) noexcept;
