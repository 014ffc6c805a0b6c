#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "controls/TkButtonGlyph_win.h"
#include "controls/TkExControls_win.h"
#include "controls/TkImageList_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Picture_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

TColor Rgb(TColor c) {
    return ColorFromRaw(static_cast<std::uint32_t>(ColorToRGB(c)) & 0xFFFFFF);
}

// Sub-images side by side on fuchsia, each with a square of its colour at (4, 4)-(12, 12).
TBitmap* GlyphStrip(std::initializer_list<TColor> colours) {
    auto* b = Create<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->Canvas()->Brush()->SetColor(clFuchsia);
    b->SetSize(16 * static_cast<int>(colours.size()), 16);
    b->Canvas()->FillRect(Rect(0, 0, b->Width(), 16));
    int x = 0;
    for (TColor c : colours) {
        b->Canvas()->Brush()->SetColor(c);
        b->Canvas()->FillRect(Rect(x + 4, 4, x + 12, 12));
        x += 16;
    }
    return b;
}

// The 40 x 40 face drawn in a state; the glyph lands at (12, 12).
TBitmap* Face(TTkxButtonGlyph& glyph, TTkButtonState state) {
    auto* face = Create<TBitmap>();
    face->SetPixelFormat(pf24bit);
    face->Canvas()->Brush()->SetColor(clBtnFace);
    face->SetSize(40, 40);
    face->Canvas()->FillRect(Rect(0, 0, 40, 40));
    TRect text;
    glyph.RenderOwnGlyphAndCaption(face->Canvas(), Rect(0, 0, 40, 40), text, DT_CENTER, state,
                                   false, -1, -1, blGlyphLeft, "", {});
    return face;
}

TColor FacePixel(TTkxButtonGlyph& glyph, TTkButtonState state, int x, int y) {
    TBitmap* face = Face(glyph, state);
    const TColor c = face->Canvas()->Pixel(x, y);
    face->Free();
    return c;
}

class ButtonGlyphTest : public ControlsTest {};

TEST_F(ButtonGlyphTest, EachStateDrawsItsSubImage) {
    TTkxButtonGlyph glyph;
    TBitmap* strip = GlyphStrip({clRed, clGray, clBlue, clLime});
    glyph.SetGlyph(strip);
    EXPECT_EQ(glyph.NumGlyphs(), 4);
    struct Case {
        TTkButtonState state;
        TColor centre;
    };
    const Case cases[] = {{bsUp, clRed},
                          {bsDisabled, clGray},
                          {bsDown, clBlue},
                          {bsExclusive, clLime},
                          {bsInactive, GreyPixel(clRed)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.state));
        EXPECT_EQ(FacePixel(glyph, c.state, 20, 20), c.centre);
        EXPECT_EQ(FacePixel(glyph, c.state, 12, 12), Rgb(clBtnFace)); // the key is transparent
    }
    strip->Free();
}

TEST_F(ButtonGlyphTest, OneImageGlyphsMakeTheirOwnDisabledLookAndShareUpWithDown) {
    TTkxButtonGlyph glyph;
    TBitmap* single = GlyphStrip({clBlack});
    glyph.SetGlyph(single);
    EXPECT_EQ(glyph.NumGlyphs(), 1);
    EXPECT_EQ(FacePixel(glyph, bsDisabled, 16, 16), Rgb(clBtnShadow));
    EXPECT_EQ(FacePixel(glyph, bsDisabled, 24, 24), Rgb(clBtnHighlight)); // offset by (1, 1)
    EXPECT_EQ(FacePixel(glyph, bsDown, 20, 20), clBlack);
    EXPECT_EQ(glyph.MakeStateImage(bsDown), glyph.MakeStateImage(bsUp));
    single->Free();
    TBitmap* two = GlyphStrip({clBlack, clAqua});
    glyph.SetGlyph(two);
    EXPECT_EQ(FacePixel(glyph, bsDisabled, 20, 20),
              clAqua); // the second image is the disabled look
    two->Free();
}

TEST_F(ButtonGlyphTest, DrawersShareAListAndFreeingOneLeavesTheOtherDrawing) {
    TBitmap* red = GlyphStrip({clRed});
    TBitmap* blue = GlyphStrip({clBlue});
    {
        auto* first = new TTkxButtonGlyph();
        TTkxButtonGlyph second;
        first->SetGlyph(red);
        second.SetGlyph(blue);
        // Both hold their up and down images (one slot each: down is up).
        first->MakeStateImage(bsDown);
        second.MakeStateImage(bsDown);
        EXPECT_EQ(FacePixel(*first, bsUp, 20, 20), clRed);
        EXPECT_EQ(FacePixel(second, bsUp, 20, 20), clBlue);
        ASSERT_NE(first->GlyphList(), nullptr);
        EXPECT_EQ(first->GlyphList(), second.GlyphList());
        EXPECT_EQ(second.GlyphList()->UsedCount(), 2);
        delete first;
        ASSERT_NE(second.GlyphList(), nullptr);
        EXPECT_EQ(second.GlyphList()->UsedCount(), 1);
        EXPECT_EQ(FacePixel(second, bsUp, 20, 20), clBlue);
        EXPECT_EQ(FacePixel(second, bsDown, 20, 20), clBlue);
    }
    EXPECT_FALSE(GlyphCacheExists());
    {
        TTkxButtonGlyph third; // a new cache, not the freed one
        third.SetGlyph(red);
        EXPECT_EQ(FacePixel(third, bsUp, 20, 20), clRed);
    }
    red->Free();
    blue->Free();
}

TEST_F(ButtonGlyphTest, ADrawerOutlivingTheCacheMakesItAnew) {
    TBitmap* red = GlyphStrip({clRed});
    {
        TTkxButtonGlyph survivor; // made while the cache exists, draws nothing yet
        survivor.SetGlyph(red);
        { TTkxButtonGlyph passing; } // its end frees the cache: no list is left in it
        EXPECT_FALSE(GlyphCacheExists());
        EXPECT_GE(survivor.MakeStateImage(bsUp), 0);
        EXPECT_TRUE(GlyphCacheExists());
        EXPECT_EQ(FacePixel(survivor, bsUp, 20, 20), clRed);
    }
    EXPECT_FALSE(GlyphCacheExists());
    red->Free();
}

TEST_F(ButtonGlyphTest, ADrawerThatGotNoSlotKeepsNoList) {
    TBitmap* red = GlyphStrip({clRed});
    TBitmap* blue = GlyphStrip({clBlue});
    {
        auto* holder = new TTkxButtonGlyph();
        holder->SetGlyph(red);
        ASSERT_GE(holder->MakeStateImage(bsUp), 0);
        TTkGlyphList* shared = holder->GlyphList();
        // The list's images no longer match its slots: the next image cannot
        // take the slot it was given, and the drawer gets none.
        shared->Clear();
        TTkxButtonGlyph refused;
        refused.SetGlyph(blue);
        EXPECT_EQ(refused.MakeStateImage(bsUp), -1);
        EXPECT_EQ(refused.GlyphList(), nullptr) << "a list without one of its slots is not kept";
        EXPECT_EQ(shared->UsedCount(), 1);
        // The holder's return frees the list; the refused drawer, holding nothing of it,
        // draws from a new one.
        delete holder;
        EXPECT_FALSE(GlyphCacheExists());
        EXPECT_GE(refused.MakeStateImage(bsUp), 0);
        EXPECT_EQ(FacePixel(refused, bsUp, 20, 20), clBlue);
    }
    EXPECT_FALSE(GlyphCacheExists());
    red->Free();
    blue->Free();
}

TEST_F(ButtonGlyphTest, OddGlyphSizesDrawNothingButTheCaption) {
    TTkxButtonGlyph glyph;
    EXPECT_EQ(glyph.MakeStateImage(bsUp), -1);
    auto* tall = Create<TBitmap>();
    tall->SetPixelFormat(pf24bit);
    tall->SetSize(3, 400); // narrower than its glyph count would need
    glyph.SetGlyph(tall);
    glyph.SetNumGlyphs(5);
    EXPECT_EQ(glyph.MakeStateImage(bsUp), -1);
    TBitmap* face = Face(glyph, bsDisabled);
    TRect text;
    glyph.RenderOwnGlyphAndCaption(face->Canvas(), Rect(0, 0, 4, 4), text, DT_CENTER, bsUp, true,
                                   -9, -7, blGlyphBottom, "Caption", {});
    face->Free();
    tall->Free();
}

// A face that paints one state of a glyph, for the showcase.
class GlyphFace : public TTkGraphicControl {
public:
    using TTkGraphicControl::TTkGraphicControl;
    TTkxButtonGlyph* glyph = nullptr;
    TTkButtonState state = bsUp;
    bool mark = false;
    TButtonLayout layout = blGlyphLeft;

protected:
    void Paint() override {
        const TRect r = Rect(0, 0, Width(), Height());
        Canvas()->Brush()->SetColor(clBtnFace);
        Canvas()->FillRect(r);
        RECT edge{0, 0, Width(), Height()};
        DrawEdge(Canvas()->Handle(), &edge,
                 state == bsDown || state == bsExclusive ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        TRect text;
        const TPoint offset = state == bsDown || state == bsExclusive ? TPoint{1, 1} : TPoint{};
        glyph->RenderOwnGlyphAndCaption(Canvas(), r, text, DT_CENTER, state, mark, -1, -1, layout,
                                        Caption(), offset);
    }
};

class ImageRow : public TTkGraphicControl {
public:
    using TTkGraphicControl::TTkGraphicControl;
    TCustomImageList* images = nullptr;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clWindow);
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
        for (int i = 0; i < images->Count(); ++i)
            images->Draw(Canvas(), 4 + i * 24, 4, i);
    }
};

TEST_F(ButtonGlyphTest, Showcase) {
    form->SetBounds(100, 100, 560, 220);
    form->SetCaption("Glyph buttons");
    TBitmap* strip = GlyphStrip({clRed, clGray, clBlue, clLime});
    TTkxButtonGlyph glyph;
    glyph.SetGlyph(strip);
    const char* names[] = {"Up", "Disabled", "Down", "Exclusive", "Inactive"};
    for (int s = 0; s < kButtonStateCount; ++s) {
        auto* face = Create<GlyphFace>(form);
        face->glyph = &glyph;
        face->state = static_cast<TTkButtonState>(s);
        face->SetCaption(names[s]);
        face->SetBounds(10 + s * 106, 10, 100, 32);
        face->SetParent(form);
    }
    const TButtonLayout layouts[] = {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom};
    for (int l = 0; l < 4; ++l) {
        auto* face = Create<GlyphFace>(form);
        face->glyph = &glyph;
        face->layout = layouts[l];
        face->mark = true;
        face->SetCaption("Menu");
        face->SetBounds(10 + l * 106, 50, 100, 56);
        face->SetParent(form);
    }
    // The toolkit image list cut from a strip of the four glyph images.
    auto* images = Create<TTkImageList>(form);
    images->Picture()->SetGraphic(strip);
    auto* row = Create<ImageRow>(form);
    row->images = images;
    row->SetBounds(10, 116, 200, 24);
    row->SetParent(form);
    EXPECT_EQ(images->Count(), 4);
    ShowForm();
    if (const char* ms = std::getenv("QUORVANE_SHOWCASE_MS"))
        PumpFor(static_cast<DWORD>(std::atoi(ms)));
    strip->Free();
}

} // namespace
