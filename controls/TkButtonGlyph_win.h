#pragma once

#include <windows.h>

#include <string>

#include "controls/GlyphLayout.h"
#include "framework/controls/ControlTypes.h"
#include "framework/controls/ImageList_win.h"
#include "framework/core/Events.h"

class TBitmap;
class TCanvas;

// An image list of one size whose slots are lent to glyph drawers; a freed
// slot is taken again before the list grows.
class TTkGlyphList : public TImageList {
    FW_CLASS(TTkGlyphList, TImageList)
public:
    explicit TTkGlyphList(TComponent* AOwner) : TImageList(AOwner) {}
    // The image in a free slot, masked with MaskColor; answers the slot.
    int AddMaskedSlot(TBitmap* Image, TColor MaskColor);
    void ReleaseSlot(int Slot) noexcept { slots_.Release(Slot); }
    int UsedCount() const noexcept { return slots_.UsedCount(); }

private:
    TTkSlotSet slots_;
};

// Lays out, draws and caches a button's glyph and caption. Every drawer
// takes its state images from one process-wide cache that shares a list per
// glyph size; the cache lives while lists remain. GUI thread only.
class TTkxButtonGlyph : public TObject {
    FW_CLASS(TTkxButtonGlyph, TObject)
public:
    TTkxButtonGlyph();
    ~TTkxButtonGlyph() override;

    TBitmap* Glyph() const noexcept { return glyph_; }
    // Drops the made images, then copies Value.
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const noexcept { return numGlyphs_; }
    void SetNumGlyphs(int Value);
    bool GrayNewStyle() const noexcept { return grayNewStyle_; }
    void SetGrayNewStyle(bool Value);
    TColor TransparentColor() const noexcept { return transparentColor_; }
    TAlignment Alignment = taCenter;
    bool WordWrap = false;
    TNotifyEvent OnChange;

    // The image of a state in the glyph list (made now when missing), -1
    // without a glyph. Down with fewer than 3 glyphs is the up image.
    int MakeStateImage(TTkButtonState State);
    // Releases every made image and hands the glyph list back.
    void DropStateImages();

    // Lays out and draws glyph (from Images at ImageIndex when valid, else
    // the own glyph), caption and drop-down mark in Client; TextRect
    // answers where the caption went.
    void RenderGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TRect& TextRect,
                               UINT TextFlags, TTkButtonState State, int ImageIndex,
                               TCustomImageList* Images, bool ShowMark, int Spacing, int Margin,
                               TButtonLayout Layout, const std::string& Caption, TPoint Offset);
    void RenderOwnGlyphAndCaption(TCanvas* Canvas, const TRect& Client, TRect& TextRect,
                                  UINT TextFlags, TTkButtonState State, bool ShowMark, int Spacing,
                                  int Margin, TButtonLayout Layout, const std::string& Caption,
                                  TPoint Offset);

    // The list holding this drawer's images (nullptr before the first).
    TTkGlyphList* GlyphList() const noexcept;

    // A glyph list as the process-wide cache holds it.
    struct TListRef;

private:
    void GlyphChanged(TObject*);
    void DrawMark(TCanvas* Canvas, int X, int Y, TTkButtonState State);
    void ReturnListIfUnused();

    TBitmap* glyph_ = nullptr;
    TColor transparentColor_ = clFuchsia;
    int numGlyphs_ = 1;
    bool grayNewStyle_ = false;
    int indexes_[kButtonStateCount] = {-1, -1, -1, -1, -1};
    TListRef* list_ = nullptr;
};

// Whether the process-wide glyph cache exists (it goes with its last list).
bool GlyphCacheExists() noexcept;
