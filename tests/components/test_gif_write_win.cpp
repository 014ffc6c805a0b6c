// Writing TGIFImage pictures and reducing bitmaps of any kind under the
// system's own bitmaps: DIB sections of 16 (bit fields), 24 (top-down) and
// 32 bits and device bitmaps reduce to 8-bit BMPs that load back.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "components/gif/ColorReduction.h"
#include "components/gif/GIFImage_win.h"
#include "components/gif/ReduceBitmap_win.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"

namespace {

// Four colours in an asymmetric pattern: a flip or a mirror shows.
TColor PatternColor(int x, int y) {
    static const TColor kColors[4] = {TColor(0x0000FF), TColor(0x00FF00), TColor(0xFF0000),
                                      TColor(0x80FFFF)};
    return kColors[(x == 0 && y == 0) ? 3 : (x + 2 * y) % 3];
}

constexpr int kW = 7;
constexpr int kH = 5;

void Paint(TBitmap* bitmap) {
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            bitmap->Canvas()->SetPixel(x, y, PatternColor(x, y));
}

struct BitmapDeleter {
    void operator()(TBitmap* b) const { b->Free(); }
};
using BitmapPtr = std::unique_ptr<TBitmap, BitmapDeleter>;

BitmapPtr Painted(TPixelFormat format) {
    BitmapPtr bitmap(Create<TBitmap>());
    bitmap->SetPixelFormat(format);
    bitmap->SetSize(kW, kH);
    Paint(bitmap.get());
    return bitmap;
}

// A 24-bit DIB section with top-down rows, made by the system directly.
BitmapPtr TopDown24() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kW;
    info.bmiHeader.biHeight = -kH;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* rows = static_cast<std::uint8_t*>(bits);
    const std::size_t stride = std::size_t(BmpRowSize(24, kW));
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const std::uint32_t c = std::uint32_t(PatternColor(x, y));
            std::uint8_t* p = rows + std::size_t(y) * stride + 3 * std::size_t(x);
            p[0] = std::uint8_t(c >> 16);
            p[1] = std::uint8_t(c >> 8);
            p[2] = std::uint8_t(c);
        }
    GdiFlush();
    BitmapPtr bitmap(Create<TBitmap>());
    bitmap->SetHandle(handle);
    return bitmap;
}

std::uint32_t U32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

TEST(GifWriteWin, EveryKindOfBitmapReducesToAnEightBitBmpThatLoadsBack) {
    struct Case {
        const char* Name;
        std::function<BitmapPtr()> Make;
    };
    const Case cases[] = {
        {"32-bit DIB section", [] { return Painted(pf32bit); }},
        {"16-bit bit fields", [] { return Painted(pf16bit); }},
        {"24-bit top-down", [] { return TopDown24(); }},
        {"device bitmap", [] { return Painted(pfDevice); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        BitmapPtr source = c.Make();
        for (int method : {rmHistogram, rmMedianCut, rmGrayscale}) {
            SCOPED_TRACE("method " + std::to_string(method));
            std::unique_ptr<TMemoryStream> stream(ReduceBitmapColors(source.get(), pf8bit, method));
            ASSERT_NE(stream, nullptr);
            const auto* bmp = static_cast<const std::uint8_t*>(stream->Memory());
            ASSERT_GE(stream->Size(), 54 + 1024);
            EXPECT_EQ(U32(bmp + 14), 40u);
            EXPECT_EQ(std::int32_t(U32(bmp + 22)), kH);
            EXPECT_EQ(bmp[28], 8);
            EXPECT_EQ(U32(bmp + 30), 0u);
            EXPECT_EQ(U32(bmp + 34), BmpRowSize(8, kW) * kH);
            EXPECT_EQ(std::uint64_t(stream->Size()), 54 + 1024 + BmpRowSize(8, kW) * kH);
            BitmapPtr back(Create<TBitmap>());
            back->LoadFromStream(*stream);
            ASSERT_EQ(back->Width(), kW);
            ASSERT_EQ(back->Height(), kH);
            if (method == rmHistogram) {
                // Four colours (three on 16 bits close enough) stay exact or nearly.
                for (int y = 0; y < kH; ++y)
                    for (int x = 0; x < kW; ++x) {
                        const std::uint32_t want = std::uint32_t(PatternColor(x, y));
                        const std::uint32_t got = std::uint32_t(back->Canvas()->Pixel(x, y));
                        for (int s = 0; s < 24; s += 8) {
                            EXPECT_NEAR(int((want >> s) & 0xFF), int((got >> s) & 0xFF), 8)
                                << x << "," << y;
                        }
                    }
            }
        }
    }
}

const char* gShown = nullptr;
void RecordMessage(const char* text) {
    gShown = text;
}

TEST(GifWriteWin, UnsupportedTargetShowsTheMessageAndAborts) {
    BitmapPtr source = Painted(pf24bit);
    const TReductionMessageHook old = SetReductionMessageHook(&RecordMessage);
    gShown = nullptr;
    EXPECT_THROW(ReduceBitmapColors(source.get(), pf16bit, rmHistogram), EAbort);
    SetReductionMessageHook(old);
    ASSERT_NE(gShown, nullptr);
    EXPECT_STREQ(gShown, "Function not yet implemented");
    BitmapPtr empty(Create<TBitmap>());
    EXPECT_THROW(ReduceBitmapColors(empty.get(), pf8bit, rmHistogram), EInvalidGraphic);
}

TEST(GifWriteWin, LowDepthTargetsAndTheSameFormat) {
    BitmapPtr source = Painted(pf24bit);
    std::unique_ptr<TMemoryStream> four(ReduceBitmapColors(source.get(), pf4bit, rmHistogram));
    const auto* bmp = static_cast<const std::uint8_t*>(four->Memory());
    EXPECT_EQ(bmp[28], 4);
    EXPECT_EQ(U32(bmp + 10), 54u + 64);
    std::unique_ptr<TMemoryStream> same(ReduceBitmapColors(source.get(), pf24bit, rmHistogram));
    BitmapPtr back(Create<TBitmap>());
    back->LoadFromStream(*same);
    EXPECT_EQ(back->PixelFormat(), pf24bit);
    EXPECT_EQ(back->Canvas()->Pixel(0, 0), PatternColor(0, 0));
}

TEST(GifWriteWin, TrueColourBitmapIsWrittenWithAFullTableAndReadsBack) {
    BitmapPtr source = Painted(pf24bit);
    TGIFImage* gif = Create<TGIFImage>();
    gif->Assign(source.get());
    TMemoryStream file;
    gif->SaveToStream(file);
    file.SetPosition(0);
    TGIFImage* back = Create<TGIFImage>();
    back->LoadFromStream(file);
    ASSERT_EQ(back->FrameCount(), 1);
    EXPECT_EQ(back->Data().GlobalColors.Count, 256);
    TBitmap* bitmap = back->Bitmap();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            EXPECT_EQ(bitmap->Canvas()->Pixel(x, y), PatternColor(x, y)) << x << "," << y;
    back->Free();

    // Once every frame is encoded the clipboard data holds the GIF as well;
    // before, only the bitmap's own format is given.
    TGIFImage* fresh = Create<TGIFImage>();
    fresh->Assign(source.get());
    std::uint32_t format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    RegisterGIFImage(); // the "GIF Image" clipboard format
    // The clipboard takes data only from an owner window.
    HWND owner = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    fresh->SaveToClipboardFormat(format, data, palette);
    EXPECT_NE(format, 0u);
    EXPECT_FALSE(IsClipboardFormatAvailable(TGIFImage::ClipboardFormat()) &&
                 TGIFImage::ClipboardFormat() != 0);
    // The written image's frames are encoded: the GIF goes on the clipboard too.
    gif->SaveToClipboardFormat(format, data, palette);
    EXPECT_TRUE(IsClipboardFormatAvailable(TGIFImage::ClipboardFormat()));
    CloseClipboard();
    // A clipboard that refuses the block (here: not opened) is an error, not a quiet success.
    EXPECT_THROW(gif->SaveToClipboardFormat(format, data, palette), EInvalidOperation);
    DestroyWindow(owner);
    fresh->Free();
    gif->Free();
}

} // namespace
