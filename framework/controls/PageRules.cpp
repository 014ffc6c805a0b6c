#include "framework/controls/PageRules.h"

int PageIndexOfTab(std::span<const TPageState> pages, int tabIndex) noexcept {
    if (tabIndex < 0)
        return -1;
    int tab = -1;
    for (int i = 0; i < static_cast<int>(pages.size()); ++i)
        if (pages[static_cast<std::size_t>(i)].TabVisible && ++tab == tabIndex)
            return i;
    return -1;
}

int TabIndexOfPage(std::span<const TPageState> pages, int pageIndex) noexcept {
    if (pageIndex < 0 || pageIndex >= static_cast<int>(pages.size()) ||
        !pages[static_cast<std::size_t>(pageIndex)].TabVisible)
        return -1;
    int tab = 0;
    for (int i = 0; i < pageIndex; ++i)
        if (pages[static_cast<std::size_t>(i)].TabVisible)
            ++tab;
    return tab;
}

int FindNextPageIndex(std::span<const TPageState> pages, int current, bool goForward,
                      bool checkTabVisible) noexcept {
    const int count = static_cast<int>(pages.size());
    if (count == 0)
        return -1;
    int start = current;
    if (start < 0 || start >= count)
        start = goForward ? count - 1 : 0;
    int i = start;
    for (int step = 0; step < count; ++step) {
        i = goForward ? (i + 1) % count : (i + count - 1) % count;
        if (!checkTabVisible || pages[static_cast<std::size_t>(i)].TabVisible)
            return i;
    }
    return -1;
}
