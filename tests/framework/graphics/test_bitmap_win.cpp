// TBitmap on DIB sections: BMP streams in and out, formats, transparency,
// the monochrome rule, and bad data leaving the bitmap as it was.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "tests/framework/graphics/GraphicsTestData.h"

namespace {

struct BitmapDeleter {
    void operator()(TBitmap* b) const { b->Free(); }
};
using BitmapPtr = std::unique_ptr<TBitmap, BitmapDeleter>;

BitmapPtr NewBitmap(int w, int h, TPixelFormat format = pf24bit) {
    BitmapPtr b(Create<TBitmap>());
    b->SetPixelFormat(format);
    b->SetSize(w, h);
    return b;
}

void LoadBytes(TBitmap& b, const std::vector<std::uint8_t>& bytes) {
    TMemoryStream s;
    if (!bytes.empty()) s.WriteBuffer(bytes.data(), bytes.size());
    s.SetPosition(0);
    b.LoadFromStream(s);
}

std::vector<std::uint8_t> SaveBytes(TBitmap& b) {
    TMemoryStream s;
    b.SaveToStream(s);
    const auto* p = static_cast<const std::uint8_t*>(s.Memory());
    return std::vector<std::uint8_t>(p, p + s.Size());
}

TEST(Bitmap, LoadsAFileAndReadsItsPixels) {
    BitmapPtr b(Create<TBitmap>());
    LoadBytes(*b, ReadGraphicsFixture("rgb16x8.bmp"));
    EXPECT_EQ(b->Width(), 16);
    EXPECT_EQ(b->Height(), 8);
    EXPECT_EQ(b->PixelFormat(), pf24bit);
    EXPECT_EQ(b->HandleType(), bmDIB);
    EXPECT_EQ(b->Canvas()->Pixel(0, 0), clRed);
    EXPECT_EQ(b->Canvas()->Pixel(15, 7), clBlue);
}

TEST(Bitmap, SavesEveryFormatWithFortyByteHeaderAndFullPalette) {
    for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
        SCOPED_TRACE(static_cast<int>(f));
        BitmapPtr b = NewBitmap(5, 3, f);
        b->Canvas()->Brush()->SetColor(clBlack);
        b->Canvas()->FillRect(Rect(0, 0, 5, 3));
        b->Canvas()->SetPixel(1, 0, clWhite);
        const std::vector<std::uint8_t> file = SaveBytes(*b);
        const int bits = f == pf1bit ? 1 : f == pf4bit ? 4 : f == pf8bit ? 8 : f == pf24bit ? 24 : 32;
        const std::size_t palette = bits <= 8 ? (4u << bits) : 0;
        const std::size_t stride = ((5 * bits + 31) / 32) * 4;
        ASSERT_EQ(file.size(), 14 + 40 + palette + stride * 3);
        EXPECT_EQ(file[14], 40);
        EXPECT_EQ(file[28], bits);
        BitmapPtr back(Create<TBitmap>());
        LoadBytes(*back, file);
        EXPECT_EQ(back->PixelFormat(), f);
        EXPECT_EQ(back->Canvas()->Pixel(1, 0), clWhite);
        EXPECT_EQ(back->Canvas()->Pixel(2, 2), clBlack);
    }
}

TEST(Bitmap, StreamPositionEndsAfterTheImage) {
    std::vector<std::uint8_t> data = ReadGraphicsFixture("rgb16x8.bmp");
    const std::size_t size = data.size();
    data.insert(data.end(), {'n', 'e', 'x', 't'});
    TMemoryStream s;
    s.WriteBuffer(data.data(), data.size());
    s.SetPosition(0);
    BitmapPtr b(Create<TBitmap>());
    b->LoadFromStream(s);
    EXPECT_EQ(s.Position(), static_cast<std::int64_t>(size));
}

TEST(Bitmap, BadDataRaisesAndLeavesTheBitmapAsItWas) {
    BitmapPtr b = NewBitmap(3, 2);
    std::vector<std::uint8_t> file = ReadGraphicsFixture("rgb16x8.bmp");
    const std::vector<std::vector<std::uint8_t>> bad = {
        {'B', 'M', 1, 2, 3},
        std::vector<std::uint8_t>(file.begin(), file.end() - 1),          // one byte of pixels short
        [&] { auto f = file; f[18] = f[19] = f[20] = 0x7F; return f; }(),  // width far too large
    };
    for (const auto& data : bad) {
        EXPECT_THROW(LoadBytes(*b, data), EInvalidGraphic);
        EXPECT_EQ(b->Width(), 3);
        EXPECT_EQ(b->Height(), 2);
    }
}

TEST(Bitmap, ResizingKeepsPixelsAndFillsWithTheBrushColour) {
    BitmapPtr b = NewBitmap(2, 2);
    b->Canvas()->SetPixel(1, 1, clRed);
    b->Canvas()->Brush()->SetColor(clLime);
    b->SetSize(4, 3);
    EXPECT_EQ(b->Canvas()->Pixel(1, 1), clRed);
    EXPECT_EQ(b->Canvas()->Pixel(3, 2), clLime);
    b->SetSize(0, 5);
    EXPECT_TRUE(b->Empty());
    EXPECT_EQ(b->Handle(), nullptr);
}

TEST(Bitmap, AutomaticTransparentColourIsTheBottomLeftPixelWithFlag) {
    BitmapPtr b = NewBitmap(3, 3);
    b->Canvas()->Brush()->SetColor(clFuchsia);
    b->Canvas()->FillRect(Rect(0, 0, 3, 3));
    b->Canvas()->SetPixel(0, 0, clRed);
    EXPECT_EQ(b->TransparentMode(), tmAuto);
    EXPECT_EQ(static_cast<std::uint32_t>(b->TransparentColor()), 0x02FF00FFu);
    b->SetTransparentColor(clRed);
    EXPECT_EQ(b->TransparentMode(), tmFixed);
    EXPECT_EQ(b->TransparentColor(), clRed);
    b->SetTransparentColor(clDefault);
    EXPECT_EQ(b->TransparentMode(), tmAuto);
    // A monochrome bitmap's background is white, also when its corner is black.
    BitmapPtr mono = NewBitmap(3, 3);
    mono->SetMonochrome(true);
    mono->Canvas()->Brush()->SetColor(clBlack);
    mono->Canvas()->FillRect(Rect(0, 0, 3, 3));
    EXPECT_EQ(static_cast<std::uint32_t>(mono->TransparentColor()), 0x02FFFFFFu);
    // So is a copy of a monochrome device bitmap.
    BitmapPtr ddb = NewBitmap(0, 0);
    ddb->SetHandle(CreateBitmap(8, 2, 1, 1, nullptr));
    BitmapPtr copy = NewBitmap(0, 0);
    copy->Assign(ddb.get());
    EXPECT_TRUE(copy->Monochrome());
    EXPECT_EQ(static_cast<std::uint32_t>(copy->TransparentColor()), 0x02FFFFFFu);
}

TEST(Bitmap, TransparentDrawLeavesKeyPixelsAlone) {
    BitmapPtr src = NewBitmap(4, 4);
    src->Canvas()->Brush()->SetColor(clFuchsia);
    src->Canvas()->FillRect(Rect(0, 0, 4, 4));
    src->Canvas()->Brush()->SetColor(clBlue);
    src->Canvas()->FillRect(Rect(1, 1, 3, 3));
    src->SetTransparent(true);
    BitmapPtr dst = NewBitmap(4, 4);
    dst->Canvas()->Brush()->SetColor(clWhite);
    dst->Canvas()->FillRect(Rect(0, 0, 4, 4));
    dst->Canvas()->Draw(0, 0, src.get());
    EXPECT_EQ(dst->Canvas()->Pixel(0, 0), clWhite);
    EXPECT_EQ(dst->Canvas()->Pixel(1, 1), clBlue);
    src->SetTransparent(false);
    dst->Canvas()->Draw(0, 0, src.get());
    EXPECT_EQ(dst->Canvas()->Pixel(0, 0), clFuchsia);
}

TEST(Bitmap, MonochromeTurnsTheBrushColourWhiteAndTheRestBlack) {
    BitmapPtr b = NewBitmap(3, 1);
    b->Canvas()->SetPixel(0, 0, clWhite);
    b->Canvas()->SetPixel(1, 0, clSilver);
    b->Canvas()->SetPixel(2, 0, clRed);
    b->SetMonochrome(true);
    EXPECT_TRUE(b->Monochrome());
    EXPECT_EQ(b->PixelFormat(), pf1bit);
    EXPECT_EQ(b->Canvas()->Pixel(0, 0), clWhite);
    EXPECT_EQ(b->Canvas()->Pixel(1, 0), clBlack);
    EXPECT_EQ(b->Canvas()->Pixel(2, 0), clBlack);

    BitmapPtr keyed = NewBitmap(2, 1);
    keyed->Canvas()->SetPixel(0, 0, clRed);
    keyed->Canvas()->SetPixel(1, 0, clWhite);
    keyed->Canvas()->Brush()->SetColor(clRed);
    keyed->SetMonochrome(true);
    EXPECT_EQ(keyed->Canvas()->Pixel(0, 0), clWhite);
    EXPECT_EQ(keyed->Canvas()->Pixel(1, 0), clBlack);
}

TEST(Bitmap, AssignMakesAnIndependentCopy) {
    BitmapPtr a = NewBitmap(2, 2, pf8bit);
    a->Canvas()->SetPixel(0, 0, clRed);
    a->SetTransparentColor(clRed);
    BitmapPtr b(Create<TBitmap>());
    b->Assign(a.get());
    EXPECT_EQ(b->Width(), 2);
    EXPECT_EQ(b->PixelFormat(), pf8bit);
    EXPECT_EQ(b->TransparentColor(), clRed);
    EXPECT_NE(b->Handle(), a->Handle());
    a->Canvas()->SetPixel(0, 0, clBlue);
    EXPECT_EQ(b->Canvas()->Pixel(0, 0), clRed);
    EXPECT_TRUE(b->Equals(b.get()));
    b->Assign(nullptr);
    EXPECT_TRUE(b->Empty());
}

TEST(Bitmap, CanvasDrawingAndResizingFireOnChange) {
    struct Counter {
        int n = 0;
        void Changed(TObject*) { ++n; }
    } counter;
    BitmapPtr b = NewBitmap(2, 2);
    b->OnChange = TNotifyEvent(&counter, &Counter::Changed);
    b->Canvas()->FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(counter.n, 1);
    b->SetSize(3, 3);
    EXPECT_EQ(counter.n, 2);
}

TEST(Bitmap, FormatChangesConvertPixels) {
    BitmapPtr b = NewBitmap(2, 1, pf32bit);
    b->Canvas()->SetPixel(0, 0, clRed);
    b->Canvas()->SetPixel(1, 0, clBlue);
    for (TPixelFormat f : {pf8bit, pf24bit, pfDevice, pf16bit, pf32bit}) {
        b->SetPixelFormat(f);
        EXPECT_EQ(b->Canvas()->Pixel(0, 0), clRed) << static_cast<int>(f);
        EXPECT_EQ(b->Canvas()->Pixel(1, 0), clBlue) << static_cast<int>(f);
    }
    EXPECT_EQ(b->HandleType(), bmDIB);
    b->SetHandleType(bmDDB);
    EXPECT_EQ(b->PixelFormat(), pfDevice);
    EXPECT_EQ(b->Canvas()->Pixel(1, 0), clBlue);
}

TEST(Bitmap, ScanLineAndResourcesCheckTheirArguments) {
    BitmapPtr b = NewBitmap(4, 2, pf32bit);
    b->Canvas()->SetPixel(0, 0, clRed);
    const auto* top = static_cast<const std::uint32_t*>(b->ScanLine(0));
    EXPECT_EQ(top[0] & 0xFFFFFF, 0xFF0000u);  // B, G, R, X in memory: red is 0x00FF0000
    EXPECT_THROW(b->ScanLine(2), EInvalidGraphic);
    EXPECT_THROW(b->ScanLine(-1), EInvalidGraphic);
    EXPECT_THROW(b->LoadFromResourceName(GetModuleHandleA(nullptr), "NO_SUCH_BITMAP"), EResNotFound);
}

TEST(Bitmap, PackedDibFromGlobalMemoryAndClipboardForms) {
    // CF_DIB data: a file without its 14-byte header, bounded by the block's size.
    const std::vector<std::uint8_t> file = ReadGraphicsFixture("rgb16x8.bmp");
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, file.size() - 14);
    std::memcpy(GlobalLock(block), file.data() + 14, file.size() - 14);
    GlobalUnlock(block);
    BitmapPtr b(Create<TBitmap>());
    b->LoadFromClipboardFormat(CF_DIB, block, nullptr);
    EXPECT_EQ(b->Width(), 16);
    EXPECT_EQ(b->Canvas()->Pixel(15, 0), clBlue);
    GlobalFree(block);
    HGLOBAL cut = GlobalAlloc(GMEM_MOVEABLE, 40);
    std::memcpy(GlobalLock(cut), file.data() + 14, 40);
    GlobalUnlock(cut);
    EXPECT_THROW(b->LoadFromClipboardFormat(CF_DIB, cut, nullptr), EInvalidGraphic);
    GlobalFree(cut);
    EXPECT_THROW(b->LoadFromClipboardFormat(CF_TEXT, nullptr, nullptr), EInvalidGraphic);

    std::uint32_t format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    b->SaveToClipboardFormat(format, data, palette);
    EXPECT_EQ(format, static_cast<std::uint32_t>(CF_BITMAP));
    ASSERT_NE(data, nullptr);
    BitmapPtr back(Create<TBitmap>());
    back->LoadFromClipboardFormat(CF_BITMAP, data, nullptr);
    EXPECT_EQ(back->Canvas()->Pixel(0, 0), clRed);
    DeleteObject(data);
}

TEST(Bitmap, AdoptsAndReleasesHandles) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 6, 5, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    BitmapPtr b(Create<TBitmap>());
    b->SetHandle(dib);
    EXPECT_EQ(b->Width(), 6);
    EXPECT_EQ(b->Height(), 5);
    EXPECT_EQ(b->PixelFormat(), pf8bit);
    EXPECT_EQ(b->HandleType(), bmDIB);
    (void)b->Canvas()->Pixel(0, 0);  // selected into the canvas's DC
    HBITMAP released = b->ReleaseHandle();
    EXPECT_EQ(released, dib);
    EXPECT_TRUE(b->Empty());
    EXPECT_TRUE(DeleteObject(released)) << "released and deselected: the caller can delete it";
    HDC screen = GetDC(nullptr);
    HBITMAP ddb = CreateCompatibleBitmap(screen, 3, 2);
    ReleaseDC(nullptr, screen);
    b->SetHandle(ddb);
    EXPECT_EQ(b->HandleType(), bmDDB);
    EXPECT_EQ(b->PixelFormat(), pfDevice);
    EXPECT_EQ(b->Width(), 3);
}

TEST(Bitmap, CopyRectStretchesBetweenCanvases) {
    BitmapPtr src = NewBitmap(2, 2);
    src->Canvas()->Brush()->SetColor(clRed);
    src->Canvas()->FillRect(Rect(0, 0, 1, 2));
    src->Canvas()->Brush()->SetColor(clBlue);
    src->Canvas()->FillRect(Rect(1, 0, 2, 2));
    BitmapPtr dst = NewBitmap(8, 4);
    dst->Canvas()->CopyRect(Rect(0, 0, 8, 4), src->Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(dst->Canvas()->Pixel(3, 2), clRed);
    EXPECT_EQ(dst->Canvas()->Pixel(4, 2), clBlue);
    dst->Canvas()->SetCopyMode(cmBlackness);
    dst->Canvas()->CopyRect(Rect(0, 0, 1, 1), src->Canvas(), Rect(0, 0, 1, 1));
    EXPECT_EQ(dst->Canvas()->Pixel(0, 0), clBlack);
}

}  // namespace
