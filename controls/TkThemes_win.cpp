#include "controls/TkThemes_win.h"

#include "framework/graphics/Canvas_win.h"
#include "framework/gui/WinControl_win.h"

void AddThemeStyleFlags(TControl* Control, std::uint32_t Flags) {
    if (Control != nullptr)
        Control->ControlStyle =
            TControlStyle::FromRaw(Control->ControlStyle.Raw() | (Flags & kThemeStyleMask));
}

void RemoveThemeStyleFlags(TControl* Control, std::uint32_t Flags) {
    if (Control != nullptr)
        Control->ControlStyle =
            TControlStyle::FromRaw(Control->ControlStyle.Raw() & ~(Flags & kThemeStyleMask));
}

std::uint32_t ReadThemeStyleFlags(const TControl* Control) {
    return Control != nullptr ? Control->ControlStyle.Raw() & kThemeStyleMask : 0;
}

TThemeServices* CurrentThemeServices() {
    return ThemeServices();
}

void PaintControlBackground(TControl* Control, TCanvas* Canvas, const TRect& Rect,
                            bool OnlyForParentBackground, TColor Color) {
    if (Control == nullptr || Canvas == nullptr)
        return;
    TWinControl* parent = Control->Parent();
    const bool plain =
        Control->ComponentState().Contains(csDesigning) || parent == nullptr ||
        (Color != parent->Color() && ColorToRGB(Color) != ColorToRGB(parent->Color())) ||
        !CurrentThemeServices()->ThemesEnabled() ||
        (OnlyForParentBackground && !Control->ControlStyle.Contains(csParentBackground));
    if (plain) {
        const TColor previous = Canvas->Brush()->Color();
        if (previous != Color)
            Canvas->Brush()->SetColor(Color);
        Canvas->FillRect(Rect);
        if (previous != Color)
            Canvas->Brush()->SetColor(previous);
        return;
    }
    auto* windowed = dynamic_cast<TWinControl*>(Control);
    if (windowed != nullptr && !windowed->DoubleBuffered)
        CurrentThemeServices()->DrawParentBackground(windowed->Handle(), Canvas->Handle(), &Rect);
    else
        EraseWithParent(Control, Canvas->Handle(), &Rect);
}

void PaintControlBackgroundWithBrush(TControl* Control, TCanvas* Canvas, const TRect& Rect,
                                     bool OnlyForParentBackground) {
    if (Canvas != nullptr)
        PaintControlBackground(Control, Canvas, Rect, OnlyForParentBackground,
                               Canvas->Brush()->Color());
}

void EraseWithParentAt(TControl* Control, HDC DC, TPoint Offset, const TRect* Rect) {
    if (Control == nullptr || Control->Parent() == nullptr || DC == nullptr)
        return;
    // Callers give control-local rectangles: clip before the origin moves,
    // or a control away from (0, 0) is erased only in part.
    HRGN saved = CreateRectRgn(0, 0, 0, 0);
    const bool hadClip = saved != nullptr && GetClipRgn(DC, saved) == 1;
    if (Rect != nullptr)
        IntersectClipRect(DC, Rect->Left, Rect->Top, Rect->Right, Rect->Bottom);
    const bool moved = Offset.X != 0 || Offset.Y != 0;
    if (moved)
        OffsetWindowOrgEx(DC, Offset.X, Offset.Y, nullptr);
    auto restore = [&] {
        if (moved)
            OffsetWindowOrgEx(DC, -Offset.X, -Offset.Y, nullptr);
        SelectClipRgn(DC, hadClip ? saved : nullptr);
        if (saved != nullptr)
            DeleteObject(saved);
    };
    try {
        Control->Parent()->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC),
                                   reinterpret_cast<LPARAM>(DC));
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void EraseWithParent(TControl* Control, HDC DC, const TRect* Rect) {
    if (Control != nullptr)
        EraseWithParentAt(Control, DC, {Control->Left(), Control->Top()}, Rect);
}
