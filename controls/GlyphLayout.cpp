#include "controls/GlyphLayout.h"

namespace {

bool Horizontal(TButtonLayout layout) noexcept {
    return layout == blGlyphLeft || layout == blGlyphRight;
}

} // namespace

TSize GlyphCaptionRoom(const TRect& client, TSize glyph, TButtonLayout layout, int margin,
                       int spacing, bool showMark) {
    const int cw = client.Right - client.Left, ch = client.Bottom - client.Top;
    TSize room;
    if (Horizontal(layout)) {
        room.cx = cw - glyph.cx;
        room.cy = ch;
        if (margin != -1)
            room.cx -= margin;
        if (spacing != -1)
            room.cx -= spacing;
        if (showMark)
            room.cx -= kMarkTextRoom;
    } else {
        room.cx = cw;
        room.cy = ch - glyph.cy;
        if (margin != -1)
            room.cy -= margin;
        if (spacing != -1)
            room.cy -= spacing;
    }
    room.cx = std::max(room.cx, 0);
    room.cy = std::max(room.cy, 0);
    return room;
}

TGlyphLayoutResult LayoutGlyphAndCaption(const TRect& client, TSize glyph, TSize text,
                                         TButtonLayout layout, int margin, int spacing,
                                         bool showMark, TPoint offset, bool themesEnabled) {
    const int cw = client.Right - client.Left, ch = client.Bottom - client.Top;
    if (showMark) {
        if (glyph.cx <= 0 || glyph.cy <= 0 || layout == blGlyphLeft)
            text.cx += kMarkTextRoom;
        else if (glyph.cx > 0)
            glyph.cx += kMarkGlyphRoom;
    }
    TPoint g, t;
    const bool horizontal = Horizontal(layout);
    if (horizontal) {
        g.Y = ch / 2 - glyph.cy / 2;
        t.Y = ch / 2 - text.cy / 2;
    } else {
        g.X = cw / 2 - glyph.cx / 2;
        t.X = cw / 2 - text.cx / 2;
    }
    if (text.cx == 0 || glyph.cx == 0)
        spacing = 0;
    const int length = horizontal ? cw : ch;
    const int glyphLength = horizontal ? glyph.cx : glyph.cy;
    const int textLength = horizontal ? text.cx : text.cy;
    if (margin == -1) {
        if (spacing == -1) {
            const int third = (length - (glyphLength + textLength)) / 3;
            margin = third;
            spacing = third;
        } else {
            margin = length / 2 - (glyphLength + spacing + textLength) / 2;
        }
    } else if (spacing == -1) {
        spacing = (length - (margin + glyphLength)) / 2 - textLength / 2;
    }
    switch (layout) {
    case blGlyphLeft:
        g.X = margin;
        t.X = g.X + glyph.cx + spacing;
        break;
    case blGlyphRight:
        g.X = cw - margin - glyph.cx;
        t.X = g.X - spacing - text.cx;
        break;
    case blGlyphTop:
        g.Y = margin;
        t.Y = g.Y + glyph.cy + spacing;
        break;
    case blGlyphBottom:
        g.Y = ch - margin - glyph.cy;
        t.Y = g.Y - spacing - text.cy;
        break;
    }
    TGlyphLayoutResult r;
    r.GlyphPos = {g.X + client.Left + offset.X, g.Y + client.Top + offset.Y};
    TPoint textOrigin{client.Left + t.X, client.Top + t.Y};
    if (!themesEnabled) {
        textOrigin.X += offset.X;
        textOrigin.Y += offset.Y;
    }
    r.TextRect = {textOrigin.X, textOrigin.Y, textOrigin.X + text.cx, textOrigin.Y + text.cy};
    return r;
}

namespace {

// The byte length of the first maxChars characters.
std::size_t CharPrefix(std::string_view text, std::size_t maxChars,
                       const TLeadBytePredicate& isLeadByte) {
    std::size_t i = 0, chars = 0;
    while (i < text.size() && chars < maxChars) {
        if (isLeadByte && isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size())
            ++i;
        ++i;
        ++chars;
    }
    return i;
}

} // namespace

std::string PrepareCaption(std::string_view caption, int roomWidth, bool wordWrap,
                           const TTextMeasurer& measure, const TLeadBytePredicate& isLeadByte) {
    const std::string_view text = caption.substr(0, CharPrefix(caption, 255, isLeadByte));
    if (wordWrap)
        return std::string(text);
    std::string result;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (start > 0)
            result += "\r\n";
        result += ShortenTextToWidth(line, roomWidth, measure, isLeadByte);
        start = end + 1;
    }
    while (!result.empty() &&
           (result.back() == ' ' || result.back() == '\r' || result.back() == '\n'))
        result.pop_back();
    return result;
}

int DetectNumGlyphs(int width, int height, int current) noexcept {
    if (height <= 0 || width <= 0 || width % height != 0)
        return current;
    const int n = width / height;
    return n > 5 ? 1 : n;
}

std::vector<TPoint> DropDownMarkPixels(int x, int y) {
    std::vector<TPoint> pixels;
    for (int row = 0; row < 4; ++row)
        for (int col = row; col <= 6 - row; ++col)
            pixels.push_back({x + col, y - 1 + row});
    return pixels;
}

int TTkSlotSet::Acquire(bool& appended) {
    appended = false;
    for (std::size_t i = 0; i < used_.size(); ++i) {
        if (!used_[i]) {
            used_[i] = true;
            ++usedCount_;
            return static_cast<int>(i);
        }
    }
    used_.push_back(true);
    ++usedCount_;
    appended = true;
    return static_cast<int>(used_.size() - 1);
}

void TTkSlotSet::Release(int slot) noexcept {
    if (!InUse(slot))
        return;
    used_[static_cast<std::size_t>(slot)] = false;
    --usedCount_;
}
