#include "controls/PageControlLogic.h"

#include <algorithm>

int GlobalTabTarget(std::span<const TPageState> pages, int active, bool shiftDown) noexcept {
    int first = -1;
    int page = active;
    while (true) {
        page = FindNextPageIndex(pages, page, shiftDown, true);
        if (page < 0 || page == active || page == first)
            return -1;
        if (pages[static_cast<std::size_t>(page)].Enabled)
            return page;
        if (first < 0)
            first = page;
    }
}

TRect PageAreaForBorder(const TRect& systemArea, int clientBorderWidth) noexcept {
    if (clientBorderWidth == 4)
        return systemArea;
    const int grow = 4 - clientBorderWidth;
    TRect r = Rect(systemArea.Left - grow, systemArea.Top - grow, systemArea.Right + grow,
                   systemArea.Bottom + grow);
    // A border wider than the area leaves an empty area at its centre, never a negative one.
    if (r.Right < r.Left)
        r.Left = r.Right = (systemArea.Left + systemArea.Right) / 2;
    if (r.Bottom < r.Top)
        r.Top = r.Bottom = (systemArea.Top + systemArea.Bottom) / 2;
    return r;
}

TTabHint ChooseTabHint(TTkHintSource source, const std::string& mainHint, bool pageFound,
                       const std::string& pageHint) noexcept {
    if (source == hsDefault)
        return TTabHint::Framework;
    if (source == hsForceMain || (source == hsPreferMain && !mainHint.empty()))
        return TTabHint::Main;
    if (pageFound &&
        (source == hsForceChildren || (source == hsPreferChildren && !pageHint.empty()) ||
         (source == hsPreferMain && mainHint.empty())))
        return TTabHint::Page;
    return TTabHint::Framework;
}
