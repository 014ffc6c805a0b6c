// The stretch transfer: validation and notification, the nearest maps, the block transfer's
// combine modes and transfers of a bitmap into itself.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "BitmapTestSupport.h"
#include "framework/core/Exceptions.h"
#include "raster/Resamplers.h"
#include "raster/Transfer.h"
#include "raster/Blend.h"

using namespace BitmapTest;

namespace {

// Counts Resample calls and draws nothing.
class TSpyResampler : public TBitmap32Resampler {
    FW_CLASS(TSpyResampler, TBitmap32Resampler)
public:
    explicit TSpyResampler(TBitmap32* b) : TBitmap32Resampler(b) {}
    double Width() override { return 1; }
    void Resample(TBitmap32*, const TRect&, const TRect&, TBitmap32*, const TRect&, TDrawMode,
                  const TPixelCombineEvent&) override {
        ++calls;
    }
    TColor32 GetSampleInt(int, int) override { return 0; }
    int calls = 0;
};

class Transfer : public StartedTest {};

TEST_F(Transfer, NearestMapOf1024x768Onto125x92) {
    std::vector<int> cols(125), rows(92);
    NearestMap(0, 1024, 0, 125, 0, 125, cols.data());
    NearestMap(0, 768, 0, 92, 0, 92, rows.data());
    EXPECT_EQ(cols[0], 0);
    EXPECT_EQ(rows[0], 0);
    EXPECT_EQ(rows[23], 191) << "the product is exact, not a float product (192)";
    const float sx = static_cast<float>(1024.0 / 125.0), sy = static_cast<float>(768.0 / 92.0);
    for (int i = 0; i < 125; ++i)
        EXPECT_EQ(cols[i], static_cast<int>(std::trunc(double(i) * double(sx)))) << i;
    for (int j = 0; j < 92; ++j)
        EXPECT_EQ(rows[j], static_cast<int>(std::trunc(double(j) * double(sy)))) << j;
}

TEST_F(Transfer, NearestStretchThroughTheBitmaps) {
    Owned src, dst;
    src->SetSize(1024, 768);
    Encode(*src.b);
    dst->SetSize(125, 92);
    src->CopyOnto(dst.b, TRect{0, 0, 125, 92});
    EXPECT_EQ(YOf(dst->Pixel(0, 23)), 191);
    EXPECT_EQ(XOf(dst->Pixel(0, 0)), 0);
    EXPECT_EQ(YOf(dst->Pixel(0, 0)), 0);
    EXPECT_EQ(XOf(dst->Pixel(124, 91)), static_cast<int>(124 * double(float(1024.0 / 125))));
}

TEST_F(Transfer, SinglePixelDestinationTakesTheMiddle) {
    Owned src, dst;
    src->SetSize(9, 6);
    Encode(*src.b);
    dst->SetSize(3, 3);
    StretchTransfer(dst.b, TRect{1, 1, 2, 2}, dst->ClipRect(), src.b, TRect{2, 1, 9, 6},
                    src->Resampler(), dmOpaque, nullptr);
    EXPECT_EQ(XOf(dst->Pixel(1, 1)), (2 + 9 - 1) / 2);
    EXPECT_EQ(YOf(dst->Pixel(1, 1)), (1 + 6 - 1) / 2);
    EXPECT_EQ(dst->Pixel(0, 0), 0u);
}

TEST_F(Transfer, ClipInsideTheDestinationRectangleUsesTheWholeRectanglesMap) {
    Owned src, full, part;
    src->SetSize(50, 40);
    Encode(*src.b);
    full->SetSize(30, 30);
    part->SetSize(30, 30);
    const TRect dstRect{-3, 2, 27, 25};
    StretchTransfer(full.b, dstRect, full->ClipRect(), src.b, src->WholeRect(), src->Resampler(),
                    dmOpaque, nullptr);
    const TRect clip{5, 7, 12, 19};
    StretchTransfer(part.b, dstRect, clip, src.b, src->WholeRect(), src->Resampler(), dmOpaque,
                    nullptr);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool inside = x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom;
            ASSERT_EQ(part->Pixel(x, y), inside ? full->Pixel(x, y) : 0u) << x << "," << y;
        }
}

TEST_F(Transfer, ValidationAndNotification) {
    Owned src, dst;
    src->SetSize(8, 8);
    Encode(*src.b);
    dst->SetSize(8, 8);
    Counters n;
    n.Attach(*dst.b);
    auto* spy = new TSpyResampler(src.b);
    const TRect whole = src->WholeRect();

    EXPECT_THROW(StretchTransfer(nullptr, whole, whole, src.b, whole, spy, dmOpaque, nullptr),
                 EBitmapException);
    EXPECT_THROW(StretchTransfer(dst.b, whole, whole, nullptr, whole, spy, dmOpaque, nullptr),
                 EBitmapException);
    try {
        StretchTransfer(dst.b, whole, whole, src.b, TRect{0, 0, 9, 8}, spy, dmOpaque, nullptr);
        FAIL();
    } catch (const ESrcInvalidException& e) {
        EXPECT_EQ(e.Message(), "Source rectangle is invalid");
    }
    // Silent ends.
    StretchTransfer(dst.b, whole, whole, src.b, TRect{2, 2, 2, 5}, spy, dmOpaque, nullptr);
    StretchTransfer(dst.b, TRect{3, 3, 3, 9}, whole, src.b, whole, spy, dmOpaque, nullptr);
    StretchTransfer(dst.b, TRect{20, 20, 30, 30}, whole, src.b, whole, spy, dmOpaque, nullptr);
    src->SetMasterAlpha(0);
    StretchTransfer(dst.b, whole, whole, src.b, whole, spy, dmBlend, nullptr);
    src->SetMasterAlpha(255);
    EXPECT_EQ(n.area, 0);
    EXPECT_EQ(dst->Pixel(3, 3), 0u);

    // Same size never asks the resampler; a stretch does; each reports dstRect once.
    StretchTransfer(dst.b, TRect{-2, -2, 6, 6}, whole, src.b, whole, spy, dmOpaque, nullptr);
    EXPECT_EQ(spy->calls, 0);
    EXPECT_EQ(XOf(dst->Pixel(0, 0)), 2);
    StretchTransfer(dst.b, TRect{0, 0, 4, 4}, whole, src.b, whole, spy, dmOpaque, nullptr);
    EXPECT_EQ(spy->calls, 1);
    ASSERT_EQ(n.area, 2);
    EXPECT_EQ(n.areas[0], (TRect{-2, -2, 6, 6}));
    EXPECT_EQ(n.areas[1], (TRect{0, 0, 4, 4}));
    EXPECT_EQ(n.change, 0);
}

TEST_F(Transfer, WhileRecordingNoPixelChangesAndOneAreaIsReported) {
    Owned src, dst;
    src->SetSize(4, 4);
    src->Clear(0xFFFFFFFF);
    dst->SetSize(8, 8);
    Counters rec;
    dst->StartAreaRecording(TAreaChangedEvent(&rec, &Counters::OnArea));
    src->CopyOnto(dst.b, TRect{1, 1, 7, 7});
    dst->StopAreaRecording();
    ASSERT_EQ(rec.area, 1);
    EXPECT_EQ(rec.areas[0], (TRect{1, 1, 7, 7}));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(dst->Pixel(x, y), 0u);
}

void AddOne(TColor32 f, TColor32& b, TColor32 m) {
    b = f + m;
}

TEST_F(Transfer, CombineModesOfTheBlockTransferAndTheStretch) {
    struct Case {
        TDrawMode mode;
        std::uint32_t master;
        bool stretch;
    };
    const TColor32 under = 0xFF204060;
    for (const Case& c : {Case{dmOpaque, 255, false}, Case{dmBlend, 255, false},
                          Case{dmBlend, 100, false}, Case{dmTransparent, 255, false},
                          Case{dmCustom, 77, false}, Case{dmOpaque, 255, true},
                          Case{dmBlend, 100, true}, Case{dmTransparent, 255, true},
                          Case{dmCustom, 77, true}}) {
        SCOPED_TRACE(testing::Message() << int(c.mode) << " " << c.master << " " << c.stretch);
        Owned src, dst;
        src->SetSize(2, 2);
        src->SetPixel(0, 0, 0x80FF0000);
        src->SetPixel(1, 0, 0x00000000); // the outer colour: transparent mode skips it
        src->SetPixel(0, 1, 0xFF00FF00);
        src->SetPixel(1, 1, 0x400000FF);
        src->SetMasterAlpha(c.master);
        src->SetDrawMode(c.mode);
        src->OnPixelCombine = TPixelCombineEvent(&AddOne);
        const int scale = c.stretch ? 2 : 1;
        dst->SetSize(2 * scale, 2 * scale);
        dst->Clear(under);
        src->CopyOnto(dst.b, TRect{0, 0, 2 * scale, 2 * scale});
        for (int y = 0; y < 2 * scale; ++y)
            for (int x = 0; x < 2 * scale; ++x) {
                const TColor32 s = src->Pixel(x / scale, y / scale);
                TColor32 expect = under;
                switch (c.mode) {
                case dmOpaque: expect = s; break;
                case dmBlend:
                    if (c.master < 255)
                        BlendColorIntoMaster(s, expect, c.master);
                    else
                        BlendColorInto(s, expect);
                    break;
                case dmTransparent: expect = s != 0 ? s : under; break;
                case dmCustom: expect = s + c.master; break;
                }
                EXPECT_EQ(dst->Pixel(x, y), expect) << x << "," << y;
            }
    }
}

TEST_F(Transfer, CopyIntoItselfReadsTheSourceFirst) {
    struct Case {
        TRect dst, src;
    };
    for (const Case& c : {Case{{2, 1, 8, 6}, {0, 0, 6, 5}},   // block, moving right and down
                          Case{{0, 0, 6, 5}, {2, 1, 8, 6}},   // block, moving left and up
                          Case{{1, 1, 10, 8}, {0, 0, 6, 5}},  // stretch up
                          Case{{0, 0, 3, 3}, {1, 1, 10, 8}}}) // stretch down
    {
        SCOPED_TRACE(testing::Message() << c.dst.Left << "," << c.dst.Top);
        Owned b, reference, original;
        b->SetSize(10, 8);
        Encode(*b.b);
        original->Assign(b.b);
        reference->SetSize(10, 8);
        Encode(*reference.b);
        StretchTransfer(reference.b, c.dst, reference->ClipRect(), original.b, c.src,
                        original->Resampler(), dmOpaque, nullptr);
        StretchTransfer(b.b, c.dst, b->ClipRect(), b.b, c.src, b->Resampler(), dmOpaque, nullptr);
        EXPECT_TRUE(b->Equal(reference.b));
        // Blending into itself as well.
        b->Assign(original.b);
        reference->Assign(original.b);
        StretchTransfer(reference.b, c.dst, reference->ClipRect(), original.b, c.src,
                        original->Resampler(), dmBlend, nullptr);
        StretchTransfer(b.b, c.dst, b->ClipRect(), b.b, c.src, b->Resampler(), dmBlend, nullptr);
        EXPECT_TRUE(b->Equal(reference.b));
    }
}

TEST_F(Transfer, StretchNearestRejectsASourceRectangleOutsideTheSource) {
    Owned src, dst;
    src->SetSize(4, 4);
    dst->SetSize(4, 4);
    try {
        StretchNearest(dst.b, TRect{0, 0, 2, 2}, dst->ClipRect(), src.b, TRect{-1, 0, 4, 4},
                       dmOpaque, nullptr);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid SrcRect");
    }
}

TEST_F(Transfer, NearestResamplerPointSampling) {
    Owned b;
    b->SetSize(4, 4);
    Encode(*b.b);
    b->SetOuterColor(0xABCDEF01);
    auto* r = static_cast<TNearestResampler*>(b->Resampler());
    r->PrepareSampling();
    EXPECT_EQ(r->GetSampleInt(-1, 0), 0xABCDEF01u);
    EXPECT_EQ(XOf(r->GetSampleFixed(0x18000, 0)), 1) << "fixed-point halves go down";
    EXPECT_EQ(XOf(r->GetSampleFixed(0x18001, 0)), 2);
    EXPECT_EQ(XOf(r->GetSampleFloat(2.5, 0)), 2) << "ties to even";
    r->SetPixelAccessMode(pamWrap);
    b->SetWrapMode(wmRepeat);
    EXPECT_EQ(XOf(r->GetSampleInt(5, 0)), 1);
    EXPECT_TRUE(r->HasBounds());
    EXPECT_EQ(r->GetSampleBounds(), b->ClipRect());
}

TEST_F(Transfer, NearestResamplerWithoutABitmapRaisesWhenSampled) {
    TNearestResampler* r = Create<TNearestResampler>(nullptr);
    r->PrepareSampling();
    EXPECT_THROW(r->GetSampleInt(0, 0), EBitmapException);
    EXPECT_THROW(r->GetSampleFixed(0, 0), EBitmapException);
    EXPECT_THROW(r->GetSampleFloat(0.0, 0.0), EBitmapException);
    EXPECT_EQ(r->GetSampleBounds(), TRect{});
    r->Free();
}

} // namespace
