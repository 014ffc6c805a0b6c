#include "controls/TkButtonGlyph_win.h"

#include <algorithm>

#include "controls/TkThemes_win.h"
#include "controls/TkUtils_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"

int TTkGlyphList::AddMaskedSlot(TBitmap* Image, TColor MaskColor) {
    bool appended = false;
    const int slot = slots_.Acquire(appended);
    if (appended) {
        if (AddMasked(Image, MaskColor) != slot) {
            slots_.Release(slot);
            return -1;
        }
    } else {
        ReplaceMasked(slot, Image, MaskColor);
    }
    return slot;
}

// A glyph list as the cache keeps it: made and freed with the cache entry.
struct TTkxButtonGlyph::TListRef {
    TListRef(int width, int height)
        : List(TCustomImageList::CreateWithSize<TTkGlyphList>(nullptr, width, height)) {}
    ~TListRef() { List->Free(); }
    TListRef(const TListRef&) = delete;
    TListRef& operator=(const TListRef&) = delete;
    int Width() const { return List->Width(); }
    int Height() const { return List->Height(); }
    int UsedCount() const { return List->UsedCount(); }
    TTkGlyphList* List;
};

namespace {

using TCache = TTkGlyphListCache<TTkxButtonGlyph::TListRef>;
TCache* gCache = nullptr;

TColor Rgb(TColor c) {
    return ColorFromRaw(static_cast<std::uint32_t>(ColorToRGB(c)) & 0xFFFFFF);
}

TBitmap* WorkBitmap(int w, int h) {
    auto* b = Create<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->Canvas()->Brush()->SetColor(clBtnFace);
    b->SetSize(w, h);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

void CopyCell(TBitmap* into, TBitmap* from, int cell, int w, int h) {
    BitBlt(into->Canvas()->Handle(), 0, 0, w, h, from->Canvas()->Handle(), cell * w, 0, SRCCOPY);
}

// The inactive look: every pixel grey but the key colour and the face colour.
void MakeGrey(TBitmap* b, TColor key) {
    TCanvas* c = b->Canvas();
    const TColor face = Rgb(clBtnFace);
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x) {
            const TColor p = c->Pixel(x, y);
            if (p != key && p != face)
                c->SetPixel(x, y, GreyPixel(p));
        }
}

} // namespace

bool GlyphCacheExists() noexcept {
    return gCache != nullptr;
}

TTkxButtonGlyph::TTkxButtonGlyph() {
    if (gCache == nullptr)
        gCache = new TCache();
    glyph_ = Create<TBitmap>();
    glyph_->OnChange = TNotifyEvent(this, &TTkxButtonGlyph::GlyphChanged);
}

TTkxButtonGlyph::~TTkxButtonGlyph() {
    DropStateImages();
    glyph_->Free();
    if (gCache != nullptr && gCache->Empty()) {
        delete gCache;
        gCache = nullptr;
    }
}

TTkGlyphList* TTkxButtonGlyph::GlyphList() const noexcept {
    return list_ != nullptr ? list_->List : nullptr;
}

void TTkxButtonGlyph::SetGlyph(TBitmap* Value) {
    DropStateImages();
    glyph_->Assign(Value);
}

void TTkxButtonGlyph::GlyphChanged(TObject*) {
    DropStateImages();
    if (glyph_->Height() > 0) {
        transparentColor_ =
            ColorFromRaw(static_cast<std::uint32_t>(glyph_->TransparentColor()) & ~0x02000000u);
        numGlyphs_ = DetectNumGlyphs(glyph_->Width(), glyph_->Height(), numGlyphs_);
    }
    if (OnChange)
        OnChange(this);
}

void TTkxButtonGlyph::SetNumGlyphs(int Value) {
    if (Value <= 0 || Value > 5 || Value == numGlyphs_)
        return;
    DropStateImages();
    numGlyphs_ = Value;
}

void TTkxButtonGlyph::SetGrayNewStyle(bool Value) {
    if (Value == grayNewStyle_)
        return;
    DropStateImages();
    grayNewStyle_ = Value;
}

void TTkxButtonGlyph::DropStateImages() {
    for (int& index : indexes_) {
        if (index != -1 && list_ != nullptr)
            list_->List->ReleaseSlot(index);
        index = -1;
    }
    if (list_ != nullptr && gCache != nullptr)
        gCache->Return(list_);
    list_ = nullptr;
}

int TTkxButtonGlyph::MakeStateImage(TTkButtonState State) {
    if (glyph_->Empty() || State < bsUp || State > bsInactive)
        return -1;
    // Resolved before the slot look-up: only the up entry holds the slot,
    // so dropping the images releases it once.
    if (State == bsDown && numGlyphs_ < 3)
        State = bsUp;
    if (indexes_[State] != -1)
        return indexes_[State];
    const int w = glyph_->Width() / std::max(numGlyphs_, 1), h = glyph_->Height();
    if (w <= 0 || h <= 0)
        return -1;
    // The cache goes with the last list of the process, which may have been
    // another drawer's: this one then makes it anew.
    if (gCache == nullptr)
        gCache = new TCache();
    if (list_ == nullptr)
        list_ = gCache->Acquire(w, h);
    TBitmap* work = nullptr;
    TColor mask = transparentColor_;
    try {
        work = WorkBitmap(w, h);
        switch (State) {
        case bsDisabled:
            if (numGlyphs_ >= 2) {
                CopyCell(work, glyph_, 1, w, h);
            } else {
                TBitmap* disabled = grayNewStyle_
                                        ? MakeDisabledBitmapShaded(glyph_, transparentColor_)
                                        : MakeDisabledBitmap(glyph_, transparentColor_);
                CopyCell(work, disabled, 0, w, h);
                disabled->Free();
                if (!grayNewStyle_)
                    mask = clBtnFace;
            }
            break;
        case bsInactive:
            if (numGlyphs_ == 5) {
                CopyCell(work, glyph_, 4, w, h);
            } else {
                CopyCell(work, glyph_, 0, w, h);
                MakeGrey(work, Rgb(transparentColor_));
            }
            break;
        default:
            CopyCell(work, glyph_, State < numGlyphs_ ? State : 0, w, h);
            break;
        }
        indexes_[State] = list_->List->AddMaskedSlot(work, mask);
    } catch (...) {
        if (work != nullptr)
            work->Free();
        ReturnListIfUnused();
        throw;
    }
    work->Free();
    ReturnListIfUnused();
    return indexes_[State];
}

// A drawer holds a list only while one of its slots is in it: a list held
// without a slot would be freed under it by the next drawer that hands the
// same list back empty.
void TTkxButtonGlyph::ReturnListIfUnused() {
    if (list_ == nullptr)
        return;
    for (int index : indexes_)
        if (index != -1)
            return;
    if (gCache != nullptr)
        gCache->Return(list_);
    list_ = nullptr;
}

void TTkxButtonGlyph::DrawMark(TCanvas* Canvas, int X, int Y, TTkButtonState State) {
    auto draw = [&](int x, int y, TColor colour) {
        for (const TPoint& p : DropDownMarkPixels(x, y))
            Canvas->SetPixel(p.X, p.Y, colour);
    };
    if (State == bsDisabled) {
        draw(X + 1, Y + 1, clBtnHighlight);
        draw(X, Y, clBtnShadow);
    } else {
        draw(X, Y, clBtnText);
    }
}

void TTkxButtonGlyph::RenderOwnGlyphAndCaption(TCanvas* Canvas, const TRect& Client,
                                               TRect& TextRect, UINT TextFlags,
                                               TTkButtonState State, bool ShowMark, int Spacing,
                                               int Margin, TButtonLayout Layout,
                                               const std::string& Caption, TPoint Offset) {
    RenderGlyphAndCaption(Canvas, Client, TextRect, TextFlags, State, -1, nullptr, ShowMark,
                          Spacing, Margin, Layout, Caption, Offset);
}

void TTkxButtonGlyph::RenderGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TRect& TextRect,
                                            UINT TextFlags, TTkButtonState State, int ImageIndex,
                                            TCustomImageList* Images, bool ShowMark, int Spacing,
                                            int Margin, TButtonLayout Layout,
                                            const std::string& Caption, TPoint Offset) {
    if (Canvas == nullptr)
        return;
    const bool fromList =
        Images != nullptr && Images->Width() > 0 && ImageIndex >= 0 && ImageIndex < Images->Count();
    TSize glyph;
    if (fromList)
        glyph = {Images->Width(), Images->Height()};
    else if (!glyph_->Empty())
        glyph = {glyph_->Width() / std::max(numGlyphs_, 1), glyph_->Height()};
    const TSize room = GlyphCaptionRoom(Client, glyph, Layout, Margin, Spacing, ShowMark);
    const std::string text = PrepareCaption(
        Caption, room.cx, WordWrap,
        [Canvas](std::string_view s) { return Canvas->TextWidth(std::string(s)); },
        [](unsigned char b) { return IsDBCSLeadByte(b) != FALSE; });
    TSize measured;
    if (!text.empty()) {
        RECT r{0, 0, room.cx, 0};
        DrawTextA(Canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_CENTER | DT_VCENTER | (WordWrap ? DT_WORDBREAK : 0) | TextFlags);
        measured = {std::min<int>(r.right - r.left, room.cx),
                    std::min<int>(r.bottom - r.top, room.cy)};
    }
    const TGlyphLayoutResult at =
        LayoutGlyphAndCaption(Client, glyph, measured, Layout, Margin, Spacing, ShowMark, Offset,
                              CurrentThemeServices()->ThemesEnabled());
    const TPoint g = at.GlyphPos;
    bool drawn = false;
    if (fromList) {
        if (State == bsDisabled) {
            if (grayNewStyle_)
                Images->Draw(Canvas, g.X, g.Y, ImageIndex, false);
            else
                DrawDisabledImage(Images, Canvas, g.X, g.Y, ImageIndex, true, clBtnShadow,
                                  clBtnHighlight);
        } else {
            Images->Draw(Canvas, g.X, g.Y, ImageIndex, true);
        }
        drawn = true;
    } else if (const int index = MakeStateImage(State); index >= 0) {
        list_->List->Draw(Canvas, g.X, g.Y, index, true);
        drawn = true;
    }
    TextRect = at.TextRect;
    if (!text.empty()) {
        Canvas->Brush()->SetStyle(bsClear);
        const UINT flags = (WordWrap ? DT_WORDBREAK : 0) | DT_VCENTER | TextFlags;
        RECT r{TextRect.Left, TextRect.Top, TextRect.Right, TextRect.Bottom};
        HDC dc = Canvas->Handle();
        if (State == bsDisabled) {
            OffsetRect(&r, 1, 1);
            SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
            OffsetRect(&r, -1, -1);
            SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
        } else {
            SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Canvas->Font()->Color())));
        }
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
        Canvas->Brush()->SetStyle(bsSolid);
    }
    if (ShowMark) {
        if (Layout != blGlyphLeft && drawn)
            DrawMark(Canvas, g.X + glyph.cx + 1, g.Y + glyph.cy / 2, State);
        else
            DrawMark(Canvas,
                     !text.empty() ? TextRect.Right + 3 : (Client.Left + Client.Right - 7) / 2,
                     TextRect.Top + (TextRect.Bottom - TextRect.Top) / 2, State);
    }
}
