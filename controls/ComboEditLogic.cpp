#include "controls/ComboEditLogic.h"

#include <algorithm>

TRect ButtonHostBounds(const TComboFrameLook& look, int width, int height,
                       int buttonWidth) noexcept {
    const int b = buttonWidth;
    if (!look.NewLook || !look.SingleBorder)
        return Bounds(width - b, 0, b, height);
    if (look.Themed)
        return look.Ctl3D ? Bounds(width - b - 2, 0, b, height - 2)
                          : Bounds(width - b - 1, 1, b, height - 2);
    return look.Ctl3D ? Bounds(width - b - 4, 0, b, height - 4)
                      : Bounds(width - b - 2, 2, b, height - 4);
}

TComboTextMargins ComboTextMargins(const TComboFrameLook& look, int hostWidth) noexcept {
    TComboTextMargins m;
    if (look.Themed && look.SingleBorder) {
        m.Left = look.Ctl3D ? 1 : 3;
        m.Top = look.Ctl3D ? 1 : 0;
        m.Right = look.Ctl3D ? 1 : -1;
    } else if (look.SingleBorder && look.Ctl3D) {
        m.Top = 2;
    }
    m.Right += hostWidth + 2;
    return m;
}

TRect ComboFormattingRect(const TComboTextMargins& margins, int width, int clientHeight) noexcept {
    return Rect(margins.Left, margins.Top, width - margins.Right - 3, clientHeight - 1);
}

int ComboMinimumHeight(const TComboFrameLook& look, int borderHeight, int fontHeight,
                       int systemHeight) noexcept {
    const int inner = look.NewLook ? borderHeight * (look.Ctl3D ? 8 : 6)
                                   : borderHeight * 4 + std::min(systemHeight, fontHeight) / 4;
    return fontHeight + inner;
}

int DefaultButtonWidth(TTkImageKind kind, int defaultImageWidth, int vScrollWidth) noexcept {
    switch (kind) {
    case ikDefault:
        return defaultImageWidth >= 0 ? std::max(defaultImageWidth + 6, 21) : 21;
    case ikDropDown:
        return vScrollWidth;
    default:
        return 21;
    }
}

int ImageKindFromGlyphKind(std::string_view identifier) noexcept {
    static constexpr std::string_view kNames[] = {"gkcustom", "gkdefault", "gkdropdown",
                                                  "gkellipsis"};
    for (int i = 0; i < 4; ++i) {
        const std::string_view name = kNames[i];
        if (identifier.size() == name.size() &&
            std::equal(name.begin(), name.end(), identifier.begin(), [](char a, char b) {
                return a == ((b >= 'A' && b <= 'Z') ? static_cast<char>(b - 'A' + 'a') : b);
            }))
            return i;
    }
    return -1;
}

TComboButtonWidth::TStep TComboButtonWidth::Set(int value, int limit, bool constructing) noexcept {
    if (!shown_) {
        if (saved_ == value)
            return TStep::Ignored;
        saved_ = value;
        return TStep::Saved;
    }
    if (value < 2) {
        saved_ = width_;
        shown_ = false;
        return TStep::Hidden;
    }
    if (value == width_)
        return TStep::Ignored;
    if (!constructing && value >= limit)
        return TStep::Ignored;
    width_ = value;
    return TStep::Resized;
}

TComboButtonWidth::TStep TComboButtonWidth::Show(bool value, int limit) noexcept {
    if (value == shown_)
        return TStep::Ignored;
    if (!value)
        return Set(0, limit);
    shown_ = true;
    // The remembered width comes back as a new width would: one that no longer leaves room for
    // the text keeps the width the button had; the host shows either way.
    return Set(saved_, limit) == TStep::Hidden ? TStep::Hidden : TStep::Resized;
}

TEllipsisGlyph EllipsisGlyph(int buttonWidth) noexcept {
    TEllipsisGlyph g;
    g.Width = std::max(1, buttonWidth - 6);
    // C++ division truncates toward zero, as the rule's "div" does for the narrow widths.
    const int gap = std::clamp((g.Width - 6) / 2, 1, 3);
    const int x0 = (g.Width - 6 - 2 * gap) / 2;
    g.DotX = {x0, x0 + 2 + gap, x0 + 4 + 2 * gap};
    return g;
}

bool IsFormKeyChord(std::uint16_t key, TShiftState shift) noexcept {
    constexpr std::uint16_t kTab = 0x09, kReturn = 0x0D;
    return (key == kTab || key == kReturn) && shift.Contains(ssCtrl);
}

bool IsClickKeyChord(std::uint16_t key, TShiftState shift, TShortCut clickKey,
                     int readButtonWidth) noexcept {
    return clickKey != 0 && readButtonWidth > 0 && ShortCut(key, shift) == clickKey;
}

TComboCharStep ComboCharStep(char key, bool popupShown) noexcept {
    constexpr char kTab = '\t', kLineFeed = '\n', kEnter = '\r', kEscape = '\x1B';
    TComboCharStep s;
    if (key == kEnter || key == kEscape || (key == kLineFeed && popupShown)) {
        if (popupShown) {
            s.ClosePopup = true;
            s.Accept = key != kEscape;
            s.Drop = true;
            return s;
        }
        s.DialogKey = true;
        if (key == kEnter) {
            s.EditThenDrop = true;
            s.Drop = true;
            return s;
        }
    }
    if (key == kTab || key == kLineFeed) {
        s.FormKeyPress = true;
        s.Drop = true;
    }
    return s;
}

std::vector<const void*> GroupPeersToClear(const void* self, int groupIndex,
                                           std::span<const TGroupMember> members) {
    std::vector<const void*> out;
    if (groupIndex == -1)
        return out;
    for (const TGroupMember& m : members)
        if (m.Id != self && m.GroupIndex == groupIndex)
            out.push_back(m.Id);
    return out;
}

TPoint PopupPlacement(TPoint editTopLeft, int editWidth, int editHeight, int popupWidth,
                      int popupHeight, const TRect& monitor, TTkPopupAlign align) noexcept {
    const TPoint p = editTopLeft;
    int y = p.Y + editHeight;
    if (y + popupHeight > monitor.Bottom)
        y = p.Y - popupHeight;
    int x;
    if (align == epaRight) {
        x = p.X + editWidth - popupWidth;
        if (x < monitor.Left)
            x = p.X;
    } else {
        x = p.X;
        if (x + popupWidth > monitor.Right)
            x = p.X + editWidth - popupWidth;
    }
    // A popup wider than the monitor keeps its left edge on it.
    x = std::min(x, monitor.Right - popupWidth);
    x = std::max(x, monitor.Left);
    return {x, y};
}

TEnumAnswer TStringEnumCursor::Skip(std::uint32_t Count, std::uint32_t N) noexcept {
    if (Index > Count || N > Count - Index) {
        Index = Count;
        return TEnumAnswer::False;
    }
    Index += N;
    return TEnumAnswer::Ok;
}
