// TBitmap32: sizes and notification sequences, fills, clipping, recording, sampling, the "Data"
// stream, equality, the resampler by name and copies. Runs on the build's default storage (the
// heap natively, the DIB section under Wine).

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "BitmapTestSupport.h"
#include "framework/core/BoundedStream.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Filer.h"
#include "framework/core/TypInfo.h"
#include "raster/Resamplers.h"

using namespace BitmapTest;

namespace {

class BitmapTest32 : public StartedTest {};

struct SizeCase {
    int fromW, fromH, w, h;
    bool result;
    int width, height;
    bool empty;
    int change, resize, handle, area;
};

TEST_F(BitmapTest32, SetSizeResultsAndNotifications) {
    const SizeCase cases[] = {
        {0, 0, 4, 3, true, 4, 3, false, 1, 1, 1, 1},
        {0, 0, -5, 10, true, 0, 10, true, 1, 1, 1, 1},
        {4, 3, 4, 3, false, 4, 3, false, 0, 0, 0, 0},
        {4, 3, 0, 0, true, 0, 0, true, 1, 1, 1, 1},
        {0, 0, -1, -1, false, 0, 0, true, 0, 0, 0, 0},
        {4, 3, 3, 4, true, 3, 4, false, 1, 1, 1, 1},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fromW << "x" << c.fromH << " -> " << c.w << "x" << c.h);
        Owned b;
        b->SetSize(c.fromW, c.fromH);
        Counters n;
        n.Attach(*b);
        EXPECT_EQ(b->SetSize(c.w, c.h), c.result);
        EXPECT_EQ(b->Width(), c.width);
        EXPECT_EQ(b->Height(), c.height);
        EXPECT_EQ(b->Empty(), c.empty);
        EXPECT_EQ(b->Bits() == nullptr, c.empty);
        EXPECT_EQ(n.change, c.change);
        EXPECT_EQ(n.resize, c.resize);
        EXPECT_EQ(n.handle, c.handle);
        EXPECT_EQ(n.area, c.area);
        EXPECT_EQ(b->ClipRect(), b->WholeRect());
    }
}

TEST_F(BitmapTest32, FreshPixelsAreZeroAndRowsAreTopDownWithoutPadding) {
    Owned b;
    b->SetSize(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(b->Pixel(x, y), 0u);
    EXPECT_EQ(b->RowAddress(1) - b->RowAddress(0), 3);
    EXPECT_EQ(b->PixelAddress(2, 1), b->Bits() + 5);
}

TEST_F(BitmapTest32, UpdateHoldsNotificationsAndEndUpdateSendsNothing) {
    Owned b;
    Counters n;
    n.Attach(*b);
    b->BeginUpdate();
    b->SetSize(2, 2);
    b->Clear(0xFF00FF00);
    b->SetDrawMode(dmBlend);
    b->EndUpdate();
    EXPECT_EQ(n.change, 0);
    EXPECT_EQ(n.area, 0);
    EXPECT_EQ(n.resize, 1) << "resize and handle events are not held back";
    EXPECT_EQ(b->Pixel(1, 1), 0xFF00FF00u);
}

TEST_F(BitmapTest32, PropertyWritersNotifyOnlyOnChange) {
    Owned b;
    Counters n;
    n.Attach(*b);
    b->SetDrawMode(dmOpaque);
    b->SetCombineMode(cmBlend);
    b->SetWrapMode(wmClamp);
    b->SetMasterAlpha(255);
    EXPECT_EQ(n.change, 0);
    b->SetDrawMode(dmTransparent);
    b->SetCombineMode(cmMerge);
    b->SetWrapMode(wmMirror);
    b->SetMasterAlpha(7);
    EXPECT_EQ(n.change, 4);
    b->SetOuterColor(0x12345678);
    EXPECT_EQ(n.change, 4) << "OuterColor is stored silently";
}

TEST_F(BitmapTest32, ClearAndSetAllAlpha) {
    Owned b;
    Counters n;
    n.Attach(*b);
    b->Clear(0xFFFFFFFF);
    EXPECT_EQ(n.change + n.area, 0) << "Clear on an empty bitmap is silent";
    b->SetSize(5, 4);
    n.Reset();
    b->Clear(0x80102030);
    EXPECT_EQ(n.change, 1);
    ASSERT_EQ(n.area, 1);
    EXPECT_EQ(n.areas[0], b->WholeRect());
    b->SetAllAlpha(0x11);
    EXPECT_EQ(b->Pixel(4, 3), 0x11102030u);
    b->SetClipArea(TRect{1, 1, 3, 2});
    b->Clear(0xFF0000FF);
    EXPECT_EQ(b->Pixel(1, 1), 0xFF0000FFu);
    EXPECT_EQ(b->Pixel(2, 1), 0xFF0000FFu);
    EXPECT_EQ(b->Pixel(3, 1), 0x11102030u);
    EXPECT_EQ(b->Pixel(1, 0), 0x11102030u);
    EXPECT_EQ(b->Pixel(1, 2), 0x11102030u);
}

TEST_F(BitmapTest32, ClipAreaIsCutToTheBounds) {
    Owned b;
    b->SetSize(10, 8);
    b->SetClipArea(TRect{-5, 2, 50, 6});
    EXPECT_EQ(b->ClipRect(), (TRect{0, 2, 10, 6}));
    EXPECT_TRUE(b->Clipping());
    EXPECT_EQ(b->FixedClipRect(), (TFixedRect{0, 2 << 16, 10 << 16, 6 << 16}));
    EXPECT_EQ(b->ClipRect256(), (TRect{0, 2 << 8, 10 << 8, 6 << 8}));
    b->SetClipArea(TRect{20, 20, 30, 30});
    EXPECT_EQ(b->ClipRect(), TRect{});
    b->ResetClipArea();
    EXPECT_FALSE(b->Clipping());
}

TEST_F(BitmapTest32, FillAreaClippedCutsAndReportsOnce) {
    struct Case {
        TRect fill, reported;
        int filled;
    };
    const Case cases[] = {
        {{0, 0, 4, 4}, {2, 2, 4, 4}, 4},      // overlaps the clip: cut
        {{7, 7, 9, 9}, {7, 7, 9, 9}, 0},      // wholly outside: nothing, still reported
        {{3, 3, 3, 5}, {3, 3, 3, 5}, 0},      // empty
        {{5, 5, 2, 2}, {5, 5, 2, 2}, 0},      // inverted
        {{-100, -100, 100, 100}, {2, 2, 6, 6}, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fill.Left << "," << c.fill.Top << "," << c.fill.Right << "," << c.fill.Bottom);
        Owned b;
        b->SetSize(8, 8);
        b->SetClipArea(TRect{2, 2, 6, 6});
        Counters n;
        n.Attach(*b);
        b->FillAreaClipped(c.fill.Left, c.fill.Top, c.fill.Right, c.fill.Bottom, 0xFFABCDEF);
        int filled = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                filled += b->Pixel(x, y) == 0xFFABCDEFu;
        EXPECT_EQ(filled, c.filled);
        ASSERT_EQ(n.area, 1);
        EXPECT_EQ(n.areas[0], c.reported);
        EXPECT_EQ(n.change, 0);
    }
}

TEST_F(BitmapTest32, RecordingReportsAreasEvenInsideAnUpdateAndTouchesNoPixel) {
    Owned b;
    b->SetSize(6, 6);
    b->Clear(0xFF010203);
    Counters own, recorder;
    own.Attach(*b);
    b->StartAreaRecording(TAreaChangedEvent(&recorder, &Counters::OnArea));
    b->BeginUpdate();
    b->Clear(0xFFFFFFFF);
    b->SetAllAlpha(0);
    b->FillAreaClipped(1, 1, 3, 3, 0xFFFFFFFF);
    b->EndUpdate();
    b->Changed();
    b->StopAreaRecording();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(b->Pixel(x, y), 0xFF010203u);
    ASSERT_EQ(recorder.area, 4);
    EXPECT_EQ(recorder.areas[0], b->WholeRect());
    EXPECT_EQ(recorder.areas[2], (TRect{1, 1, 3, 3}));
    EXPECT_EQ(own.change + own.area, 0);
    b->Changed();
    EXPECT_EQ(own.change, 1) << "the owner's handler is back";
    EXPECT_EQ(own.area, 1);
}

TEST_F(BitmapTest32, PixelClippedAndWrapped) {
    Owned b;
    b->SetSize(4, 3);
    Encode(*b);
    b->SetOuterColor(0x0BADF00D);
    b->SetClipArea(TRect{1, 0, 3, 3});
    EXPECT_EQ(b->PixelClipped(0, 0), 0x0BADF00Du);
    EXPECT_EQ(b->PixelClipped(3, 0), 0x0BADF00Du);
    EXPECT_EQ(XOf(b->PixelClipped(2, 2)), 2);
    struct Case {
        TWrapMode mode;
        int x, expectX;
    };
    for (const Case& c : {Case{wmClamp, -7, 1}, Case{wmClamp, 9, 2}, Case{wmRepeat, 3, 1},
                          Case{wmRepeat, 0, 2}, Case{wmMirror, 3, 2}, Case{wmMirror, 0, 1},
                          Case{wmMirror, 4, 1}, Case{wmMirror, -1, 2}}) {
        b->SetWrapMode(c.mode);
        EXPECT_EQ(XOf(b->PixelWrapped(c.x, 1)), c.expectX) << int(c.mode) << " " << c.x;
    }
}

TEST_F(BitmapTest32, WrappedSamplingOnAnEmptyClipGivesTheOuterColour) {
    Owned b;
    b->SetSize(4, 4);
    b->SetOuterColor(0x55AA55AA);
    b->SetClipArea(TRect{9, 9, 10, 10});
    ASSERT_TRUE(RectIsEmpty(b->ClipRect()));
    for (TWrapMode m : {wmClamp, wmRepeat, wmMirror}) {
        b->SetWrapMode(m);
        EXPECT_EQ(b->PixelWrapped(1, 1), 0x55AA55AAu);
        EXPECT_EQ(b->SampleFixedWrapped(1 << 16, 1 << 16), 0x55AA55AAu);
    }
}

TEST_F(BitmapTest32, BilinearSafeSamplingBoundaries) {
    Owned b;
    b->SetSize(3, 2);
    Encode(*b);
    b->SetOuterColor(0xDEADBEEF);
    const int w1 = 2 * 256, h1 = 1 * 256;
    struct Case {
        int x, y;
        bool outer;
        int px, py; // exact pixel expected (when not outer and px >= 0)
    };
    const Case cases[] = {
        {-1, 0, true, 0, 0},        {0, -1, true, 0, 0},       {w1, 0, false, 2, 0},
        {w1, h1, false, 2, 1},      {w1 + 1, 0, true, 0, 0},   {0, h1, false, 0, 1},
        {300, h1, false, 1, 1},     {0, h1 + 1, true, 0, 0},   {w1 + 1, h1 + 1, true, 0, 0},
        {0, 0, false, 0, 0},        {256, 0, false, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        const TColor32 got = b->SampleBilinear256Safe(c.x, c.y);
        if (c.outer) {
            EXPECT_EQ(got, 0xDEADBEEFu);
        } else {
            EXPECT_EQ(got, b->Pixel(c.px, c.py));
        }
    }
    // Inside, a half-way sample lies between its neighbours.
    const TColor32 mid = b->SampleBilinear256Safe(128, 0);
    EXPECT_GE(mid & 0xFF, 0u);
    EXPECT_LE(mid & 0xFF, 1u);
}

// Sides whose last position in 8.8 fixed point lies beyond 32 bits: the data stream accepts
// such bitmaps, and the far edge must still read its own pixels.
TEST_F(BitmapTest32, BilinearSafeSamplingOfVeryLongSides) {
    const int side = (1 << 23) + 2;
    const int far = INT_MAX; // the largest coordinate, inside the last pixels
    {
        Owned b;
        ASSERT_TRUE(b->SetSize(side, 1));
        b->SetPixel(far >> 8, 0, 0x12345678);
        b->SetOuterColor(0xDEADBEEF);
        EXPECT_EQ(b->SampleBilinear256Safe(far, 0), 0x12345678u);
        EXPECT_EQ(b->SampleBilinear256Safe(far, 1), 0xDEADBEEFu);
    }
    {
        Owned b;
        ASSERT_TRUE(b->SetSize(1, side));
        b->SetPixel(0, far >> 8, 0x87654321);
        b->SetOuterColor(0xDEADBEEF);
        EXPECT_EQ(b->SampleBilinear256Safe(0, far), 0x87654321u);
        EXPECT_EQ(b->SampleBilinear256Safe(1, far), 0xDEADBEEFu);
    }
}

TEST_F(BitmapTest32, BilinearMixForms) {
    const TColor32 row0[2] = {0xFF000000, 0x00FFFFFF};
    const TColor32 row1[2] = {0x80808080, 0x40404040};
    // W = 0 takes the right column and the lower row in both forms; weights above 255 count
    // as 255 in the plain form.
    EXPECT_EQ(PlainForms::BilinearMix4(0, 0, row0, row1), 0x40404040u);
    EXPECT_EQ(PlainForms::BilinearMix4(1000, 300, row0, row1),
              PlainForms::BilinearMix4(255, 255, row0, row1));
    EXPECT_EQ(MmxForms::BilinearMix4(0, 0, row0, row1), 0x40404040u);
    // MMX form: (a W + b (256 - W)) shr 8 per channel, no rounding term.
    const TColor32 a[2] = {0x000000FF, 0x00000001}, z[2] = {0, 0};
    EXPECT_EQ(MmxForms::BilinearMix4(128, 256, a, z), (255u * 128 + 1 * 128) >> 8);
    EXPECT_EQ(MmxForms::BilinearMix4(255, 256, a, z), (255u * 255 + 1) >> 8);
}

TEST_F(BitmapTest32, DataStreamCases) {
    std::vector<TColor32> px16(256);
    for (int i = 0; i < 256; ++i)
        px16[i] = 0x01020304u * static_cast<TColor32>(i + 1);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> blob;
        bool raises;
        int width, height;
    };
    std::vector<std::uint8_t> shortBlob = Blob(16, 16, px16);
    shortBlob.pop_back();
    const Case cases[] = {
        {"zeros", std::vector<std::uint8_t>(8, 0), false, 0, 0},
        {"16x16", Blob(16, 16, px16), false, 16, 16},
        {"short", shortBlob, true, 1, 1},
        {"header only", std::vector<std::uint8_t>(5, 0), true, 1, 1},
        {"negative", Blob(-1, 4, {}), true, 1, 1},
        {"oversized", Blob(0x7FFFFFFF, 0x7FFFFFFF, {1, 2, 3}), true, 1, 1},
        {"overflowing", Blob(0x10000, 0x10000, {1}), true, 1, 1},
        {"zero width", Blob(0, 9, {}), false, 0, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Owned b;
        b->SetSize(1, 1);
        b->SetPixel(0, 0, 0x77777777);
        Counters n;
        n.Attach(*b);
        TMemoryStream s;
        Fill(s, c.blob);
        if (c.raises) {
            EXPECT_THROW(b->ReadDataStream(s), EReadError);
            EXPECT_EQ(b->Pixel(0, 0), 0x77777777u) << "a rejected blob leaves the bitmap";
        } else {
            b->ReadDataStream(s);
        }
        EXPECT_EQ(b->Width(), c.width);
        EXPECT_EQ(b->Height(), c.height);
        EXPECT_EQ(n.change, c.raises ? 1 : 2) << "Changed always runs (plus SetSize's own)";
    }
}

// A change handler that raises: Changed still runs at the end of every operation that
// promises it, the handler's exception reaches the caller, and the bitmap is left usable (no
// update left open).
struct RaisingHandler {
    int calls = 0;
    void Raise(TObject*) {
        ++calls;
        throw EInvalidOperation("raised by the handler");
    }
};

TEST_F(BitmapTest32, ExceptionsOfChangeHandlersReachTheCaller) {
    std::vector<TColor32> px(4, 0x01020304);
    std::vector<std::uint8_t> shortBlob = Blob(2, 2, px);
    shortBlob.pop_back();
    struct Case {
        const char* name;
        int calls; // the size change's own notification raises first, then the final one
        std::function<void(TBitmap32&)> run;
    };
    const Case cases[] = {
        {"data stream", 2,
         [&](TBitmap32& b) {
             TMemoryStream s;
             Fill(s, Blob(2, 2, px));
             b.ReadDataStream(s);
         }},
        {"short data stream", 1,
         [&](TBitmap32& b) {
             TMemoryStream s;
             Fill(s, shortBlob);
             b.ReadDataStream(s);
         }},
        {"assign nothing", 1, [](TBitmap32& b) { b.Assign(nullptr); }},
        {"assign a bitmap", 1,
         [](TBitmap32& b) {
             Owned other;
             other->SetSize(3, 2);
             b.Assign(other.b);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Owned b;
        b->SetSize(1, 1);
        RaisingHandler h;
        b->OnChange = TNotifyEvent(&h, &RaisingHandler::Raise);
        EXPECT_THROW(c.run(*b), EInvalidOperation);
        EXPECT_EQ(h.calls, c.calls);
        h.calls = 0;
        EXPECT_THROW(b->Changed(), EInvalidOperation) << "no update is left open";
        EXPECT_EQ(h.calls, 1);
    }

    // The size change tells the handle's listeners in every case, and their exception too
    // reaches the caller, with the clip rect already matching the new size.
    Owned b;
    RaisingHandler h;
    b->OnHandleChanged = TNotifyEvent(&h, &RaisingHandler::Raise);
    EXPECT_THROW(b->SetSize(5, 4), EInvalidOperation);
    EXPECT_EQ(h.calls, 1);
    EXPECT_EQ(b->ClipRect(), (TRect{0, 0, 5, 4}));
}

TEST_F(BitmapTest32, DataStreamEightZerosIntoAnEmptyBitmapSendsOneChange) {
    Owned b;
    Counters n;
    n.Attach(*b);
    TMemoryStream s;
    Fill(s, std::vector<std::uint8_t>(8, 0));
    b->ReadDataStream(s);
    EXPECT_TRUE(b->Empty());
    EXPECT_EQ(n.change, 1);
}

TEST_F(BitmapTest32, DataStreamPixelBytesAreBlueGreenRedAlpha) {
    std::vector<std::uint8_t> blob = Blob(16, 16, std::vector<TColor32>(256, 0));
    ASSERT_EQ(blob.size(), 1032u);
    blob[8] = 0x11;  // blue
    blob[9] = 0x22;  // green
    blob[10] = 0x33; // red
    blob[11] = 0x44; // alpha
    Owned b;
    TMemoryStream s;
    Fill(s, blob);
    b->ReadDataStream(s);
    EXPECT_EQ(b->Pixel(0, 0), 0x44332211u);
    EXPECT_EQ(AlphaComponent(b->Pixel(0, 0)), 0x44u);
    EXPECT_EQ(RedComponent(b->Pixel(0, 0)), 0x33u);
}

TEST_F(BitmapTest32, DataStreamRoundTripAndBoundedBlob) {
    Owned a, c;
    a->SetSize(7, 5);
    Encode(*a);
    TMemoryStream s;
    a->WriteDataStream(s);
    EXPECT_EQ(s.Size(), 8 + 7 * 5 * 4);
    // A blob framed inside a larger stream: the sizes are checked against the frame only.
    TMemoryStream outer;
    const std::uint8_t junk[3] = {1, 2, 3};
    outer.WriteBuffer(junk, 3);
    s.SetPosition(0);
    outer.CopyFrom(s, s.Size());
    outer.WriteBuffer(junk, 3);
    TBoundedStream frame(outer, 3, s.Size());
    c->ReadDataStream(frame);
    EXPECT_TRUE(c->Equal(a.b));
    TBoundedStream cut(outer, 3, s.Size() - 1);
    EXPECT_THROW(c->ReadDataStream(cut), EReadError);
}

TEST_F(BitmapTest32, DataPropertyThroughTheFiler) {
    Owned a, c, ancestor;
    a->SetSize(4, 3);
    Encode(*a.b);
    TMemoryStream s;
    {
        TWriter writer(s);
        writer.WriteDefinedProperties(*a.b);
    }
    s.SetPosition(0);
    {
        TReader reader(s);
        reader.ReadDefinedProperties(*c.b);
    }
    EXPECT_TRUE(c->Equal(a.b));

    // Nothing is stored for an empty bitmap, nor for one equal to its ancestor.
    const auto storedBytes = [](TBitmap32* b, TPersistent* anc) {
        TMemoryStream out;
        TWriter writer(out);
        writer.SetAncestor(anc);
        writer.WriteDefinedProperties(*b);
        return out.Size();
    };
    Owned empty;
    const auto none = storedBytes(empty.b, nullptr);
    ancestor->Assign(a.b);
    EXPECT_EQ(storedBytes(a.b, ancestor.b), none);
    ancestor->SetPixel(0, 0, 0);
    EXPECT_GT(storedBytes(a.b, ancestor.b), none + 8);
}

TEST_F(BitmapTest32, EqualCases) {
    Owned a, b;
    EXPECT_TRUE(a->Equal(b.b));
    a->SetSize(2, 2);
    EXPECT_FALSE(a->Equal(b.b));
    EXPECT_FALSE(b->Equal(a.b));
    b->SetSize(2, 2);
    EXPECT_TRUE(a->Equal(b.b));
    b->SetPixel(1, 1, 1);
    EXPECT_FALSE(a->Equal(b.b));
    b->SetSize(4, 1);
    b->Clear(0);
    EXPECT_FALSE(a->Equal(b.b)) << "same bytes, other shape";
}

TEST_F(BitmapTest32, ResamplerClassNameIsCaseSensitive) {
    Owned b;
    ASSERT_NE(b->Resampler(), nullptr);
    EXPECT_EQ(b->ResamplerClassName(), "TNearestResampler");
    TCustomResampler* before = b->Resampler();
    for (const char* name : {"tnearestresampler", "", "TNoSuchResampler", "TNearestResampler"}) {
        b->SetResamplerClassName(name);
        EXPECT_EQ(b->Resampler(), before) << name;
    }
    EXPECT_NE(ResamplerRegistry().Find("TNearestResampler"), nullptr);
    EXPECT_EQ(ResamplerRegistry().Find("TNEARESTRESAMPLER"), nullptr);
}

TEST_F(BitmapTest32, AssignCopiesPixelsAndSettingsAndNotifiesOnce) {
    Owned a, b;
    a->SetSize(3, 3);
    Encode(*a);
    a->SetDrawMode(dmBlend);
    a->SetMasterAlpha(99);
    a->SetOuterColor(0x01020304);
    a->SetWrapMode(wmRepeat);
    static_cast<TNearestResampler*>(a->Resampler())->SetPixelAccessMode(pamWrap);
    Counters n;
    n.Attach(*b);
    b->Assign(a.b);
    EXPECT_TRUE(b->Equal(a.b));
    EXPECT_EQ(b->DrawMode(), dmBlend);
    EXPECT_EQ(b->MasterAlpha(), 99u);
    EXPECT_EQ(b->OuterColor(), 0x01020304u);
    EXPECT_EQ(b->WrapMode(), wmRepeat);
    EXPECT_EQ(static_cast<TNearestResampler*>(b->Resampler())->PixelAccessMode(), pamWrap);
    EXPECT_EQ(n.change, 1);
    b->Assign(nullptr);
    EXPECT_TRUE(b->Empty());
}

TEST_F(BitmapTest32, AssignFromItselfKeepsThePixels) {
    Owned a, copy;
    a->SetSize(5, 4);
    Encode(*a);
    copy->Assign(a.b);
    a->Assign(a.b);
    EXPECT_TRUE(a->Equal(copy.b));
    a->CopyMapTo(a.b);
    EXPECT_TRUE(a->Equal(copy.b));
}

TEST_F(BitmapTest32, AssignFromAForeignClassRaisesAndStillNotifies) {
    Owned b;
    Counters n;
    n.Attach(*b);
    TPersistent other;
    EXPECT_THROW(b->Assign(&other), EConvertError);
    EXPECT_EQ(n.change, 1);
    EXPECT_EQ(b->UpdateCount(), 0);
}

TEST_F(BitmapTest32, PublishedPropertiesByName) {
    Owned b;
    SetPropValue(b.b, "DrawMode", Variant("dmTransparent"));
    EXPECT_EQ(b->DrawMode(), dmTransparent);
    SetPropValue(b.b, "MasterAlpha", Variant(12));
    EXPECT_EQ(b->MasterAlpha(), 12u);
    EXPECT_EQ(GetPropValue(b.b, "ResamplerClassName").AsString(), "TNearestResampler");
    TObject* r = GetPropValue(b.b, "Resampler").AsObject();
    SetPropValue(r, "PixelAccessMode", Variant("pamUnsafe"));
    EXPECT_EQ(static_cast<TNearestResampler*>(b->Resampler())->PixelAccessMode(), pamUnsafe);
}

TEST_F(BitmapTest32, DestructorIsSilentAndFreesThePixels) {
    const int before = THeapStorage::LiveBlocks();
    Counters n;
    {
        auto* b = Create<TBitmap32>(new THeapStorage);
        b->SetSize(10, 10);
        EXPECT_EQ(THeapStorage::LiveBlocks(), before + 1);
        n.Attach(*b);
        b->Free();
    }
    EXPECT_EQ(THeapStorage::LiveBlocks(), before);
    EXPECT_EQ(n.change + n.area, 0);
}

TEST(RasterHelpers, RectsAndFixed) {
    TRect r;
    EXPECT_TRUE(RectIntersect(r, TRect{0, 0, 10, 10}, TRect{10, 2, 20, 5}));
    EXPECT_EQ(r, (TRect{10, 2, 10, 5})) << "zero width still meets";
    EXPECT_FALSE(RectIntersect(r, TRect{0, 0, 10, 10}, TRect{11, 2, 20, 5}));
    EXPECT_EQ(r, TRect{});
    EXPECT_TRUE(RectIsEmpty(TRect{1, 1, 1, 5}));
    EXPECT_EQ(FloatToFixed(1.5f), 0x18000);
    EXPECT_EQ(FloatToFixed(0.5f / 65536.0f), 0) << "ties to even";
    EXPECT_EQ(FloatToFixed(1.5f / 65536.0f), 2);
    EXPECT_EQ(FloatToFixed(1e20f), INT32_MAX);
    EXPECT_EQ(BuildRectFromFloat(TFloatRect{0.5f, 1.5f, 2.2f, 3.7f}, 0), (TRect{0, 2, 2, 4}));
    EXPECT_EQ(BuildRectFromFloat(TFloatRect{0.5f, 1.5f, 2.2f, 3.7f}, 1), (TRect{0, 1, 3, 4}));
    EXPECT_EQ(BuildRectFromFloat(TFloatRect{2.5f, 1.5f, 1.2f, 3.7f}, 2), (TRect{3, 2, 3, 4}));
    EXPECT_EQ(BuildRectFromFixed(TFixedRect{0x18000, 0x8000, 0x10001, 0x7FFF}, 1),
              (TRect{1, 0, 2, 1}));
    EXPECT_EQ(BuildRectFromFixed(TFixedRect{0x18000, 0x8000, 0x10001, 0x7FFF}, 2),
              (TRect{2, 1, 2, 1}));
    EXPECT_EQ(BuildRectFromFixed(TFixedRect{0x7FFFFFFF, 0, 0, 0}, 0).Left, 32768);
    EXPECT_EQ(Color32(0x00332211), 0xFF112233u);
}

TEST(RasterStartup, RunsOnceFromManyThreads) {
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([] { raster::Startup(); });
    for (std::thread& t : threads)
        t.join();
    EXPECT_TRUE(raster::Started());
    const int registered = ResamplerRegistry().Count();
    raster::Startup();
    EXPECT_EQ(ResamplerRegistry().Count(), registered) << "a second start-up registers nothing";
    EXPECT_EQ(ResamplerRegistry().Items(0), TNearestResampler::StaticClass());
}

TEST(BitmapLock, CountsAndNests) {
    TBitmap32* b = Create<TBitmap32>();
    b->Lock();
    b->Lock();
    EXPECT_EQ(b->LockCount(), 2);
    b->Unlock();
    b->Unlock();
    EXPECT_EQ(b->LockCount(), 0);
    b->Free();
}

TEST(RasterHelpers, GammaTable) {
    raster::Startup();
    EXPECT_EQ(GammaTable[0], 0);
    EXPECT_EQ(GammaTable[255], 255);
    EXPECT_EQ(GammaTable[128], 157); // 255 x (128/255)^0.7 = 157.4
    std::uint8_t saved[256];
    std::memcpy(saved, GammaTable, 256);
    SetGamma(0.7f);
    EXPECT_EQ(std::memcmp(saved, GammaTable, 256), 0);
}

} // namespace
