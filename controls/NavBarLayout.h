#pragma once

// The navigation side bar's layout apart from any window: where the page headers, the active
// page's area and its buttons (with their frames and captions) lie, the row height, and which
// button a point hits. Rectangles are in client pixels, right and bottom exclusive; division
// rounds towards zero.

#include <cstdint>

#include "framework/core/Types.h"

enum TTkBarButtonSize : std::uint8_t { olbsLarge, olbsSmall };

struct TNavBarGeometry {
    int ClientWidth = 0;
    int ClientHeight = 0;
    int PageButtonHeight = 19; // H; 0 hides the headers
    int PageCount = 0;         // N
    int ActivePage = 0;        // A
};

// What the layout needs of one page.
struct TNavPageGeometry {
    TTkBarButtonSize Size = olbsLarge;
    bool HasImages = false; // the image list of its size is set
    int ImageWidth = 0, ImageHeight = 0;
    int FontHeight = 0; // F: the absolute height of the page's font
    int TopButtonIndex = 0;
    int ButtonCount = 0;
};

TRect NavPageButtonRect(const TNavBarGeometry& bar, int page) noexcept;
TRect NavPageRect(const TNavBarGeometry& bar, int page) noexcept;
// The row height; TextHeight is the bar font's text height plus its external leading. Valid is
// false for a page that does not exist.
int NavButtonHeight(bool valid, const TNavPageGeometry& page, int textHeight) noexcept;
// Button b of the page (at index Page) with a caption CaptionWidth wide.
TRect NavButtonRect(const TNavBarGeometry& bar, int pageIndex, const TNavPageGeometry& page,
                    int textHeight, int button, int captionWidth) noexcept;
TRect NavButtonFrameRect(const TNavBarGeometry& bar, int pageIndex, const TNavPageGeometry& page,
                         int textHeight, int button) noexcept;
TRect NavButtonTextRect(const TNavBarGeometry& bar, int pageIndex, const TNavPageGeometry& page,
                        int textHeight, int button, int captionWidth) noexcept;
// The button of the active page under P, -1 for none: only inside the page area and only from
// TopButtonIndex on; every row is tested with button 0's horizontal extent (FirstCaptionWidth is
// its caption's width).
int NavButtonAtPos(const TNavBarGeometry& bar, const TNavPageGeometry& page, int textHeight,
                   TPoint p, int firstCaptionWidth) noexcept;
