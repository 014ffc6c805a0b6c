#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/ToolkitText.h"
#include "framework/core/Types.h"

// The arithmetic of the button glyph drawer: where glyph and caption go,
// how the caption is prepared, how many sub-images a glyph bitmap holds,
// the grey of the inactive look, the drop-down mark and the slot book of a
// shared glyph list. No window system here.

enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Button states; inactive is a drawing state only.
enum TTkButtonState : std::uint8_t { bsUp, bsDisabled, bsDown, bsExclusive, bsInactive };
inline constexpr int kButtonStateCount = 5;

// The width the drop-down mark takes beside a caption, and beside a glyph.
inline constexpr int kMarkTextRoom = 9;
inline constexpr int kMarkGlyphRoom = 6;

// The room left for the caption: the face less the glyph, and less margin
// and spacing where they are fixed (-1 is automatic) and the mark; never
// below 0.
TSize GlyphCaptionRoom(const TRect& client, TSize glyph, TButtonLayout layout, int margin,
                       int spacing, bool showMark);

struct TGlyphLayoutResult {
    TPoint GlyphPos;
    TRect TextRect;
};

// Places a glyph of size glyph and a caption of the measured size text
// (already capped to the room) in client. The offset moves the glyph, and
// the caption too when themes are off (a themed face keeps its text still).
TGlyphLayoutResult LayoutGlyphAndCaption(const TRect& client, TSize glyph, TSize text,
                                         TButtonLayout layout, int margin, int spacing,
                                         bool showMark, TPoint offset, bool themesEnabled);

// The caption as drawn: at most 255 characters; without word wrap each line
// is shortened to roomWidth, and trailing blanks and line breaks go.
std::string PrepareCaption(std::string_view caption, int roomWidth, bool wordWrap,
                           const TTextMeasurer& measure, const TLeadBytePredicate& isLeadByte = {});

// The sub-image count a glyph bitmap of width x height implies: width/height
// when width is an exact multiple of the height (1 when that is above 5);
// current otherwise.
int DetectNumGlyphs(int width, int height, int current) noexcept;

// The grey of the inactive look for an 0x00BBGGRR colour.
constexpr TColor GreyPixel(TColor color) noexcept {
    const auto raw = static_cast<std::uint32_t>(color);
    const std::uint32_t r = raw & 0xFF, g = (raw >> 8) & 0xFF, b = (raw >> 16) & 0xFF;
    const std::uint32_t level = (77 * r + 150 * g + 29 * b) >> 8;
    return ColorFromRaw(level | (level << 8) | (level << 16));
}

// The pixels of the 7-pixel-wide downward mark whose top row is y - 1.
std::vector<TPoint> DropDownMarkPixels(int x, int y);

// The used slots of a glyph list: a freed slot is taken again first.
class TTkSlotSet {
public:
    // A free slot, marked used; appended (grows the set) is true when the
    // slot is new and its image must be appended first.
    int Acquire(bool& appended);
    // Frees a used slot; a slot that is not in use is left alone, so a
    // second release cannot take the count below the slots in use.
    void Release(int slot) noexcept;
    bool InUse(int slot) const noexcept {
        return slot >= 0 && static_cast<std::size_t>(slot) < used_.size() &&
               used_[static_cast<std::size_t>(slot)];
    }
    int UsedCount() const noexcept { return usedCount_; }
    int Size() const noexcept { return static_cast<int>(used_.size()); }

private:
    std::vector<bool> used_;
    int usedCount_ = 0;
};

// The lists of a glyph cache, one per image size. List is constructed from
// (width, height) and answers Width(), Height() and UsedCount().
template <class List> class TTkGlyphListCache {
public:
    // The list of that size, the last made first; made and appended when none fits.
    List* Acquire(int width, int height) {
        for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
            if ((*it)->Width() == width && (*it)->Height() == height)
                return it->get();
        lists_.push_back(std::make_unique<List>(width, height));
        return lists_.back().get();
    }
    // Hands a list back: one with no used slot left is removed and freed.
    void Return(List* list) {
        if (list == nullptr || list->UsedCount() > 0)
            return;
        std::erase_if(lists_, [list](const std::unique_ptr<List>& p) { return p.get() == list; });
    }
    int Count() const noexcept { return static_cast<int>(lists_.size()); }
    bool Empty() const noexcept { return lists_.empty(); }

private:
    std::vector<std::unique_ptr<List>> lists_;
};
