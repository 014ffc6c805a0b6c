// TIcon: borrowed handles are copied and never destroyed, icon files round
// trip through streams, bad icon data raises EInvalidGraphic.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Icon_win.h"

namespace {

// A 16x16 icon: red square, with a transparent left column.
HICON MakeIcon() {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, 16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < 256; ++i) px[i] = i % 16 == 0 ? 0 : 0x00FF0000;  // B, G, R, X: red
    std::uint8_t maskBits[16 * 2];
    for (int y = 0; y < 16; ++y) {
        maskBits[2 * y] = 0x80;  // leftmost pixel transparent
        maskBits[2 * y + 1] = 0;
    }
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, maskBits);
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    return icon;
}

TEST(Icon, SetHandleCopiesABorrowedIcon) {
    HICON borrowed = MakeIcon();
    ASSERT_NE(borrowed, nullptr);
    TIcon* icon = Create<TIcon>();
    icon->SetHandle(borrowed);
    EXPECT_NE(icon->Handle(), borrowed);
    EXPECT_EQ(icon->Width(), 16);
    EXPECT_EQ(icon->Height(), 16);
    icon->Free();
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(borrowed, &info)) << "the borrowed icon is still alive";
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(borrowed);
}

TEST(Icon, StreamRoundTripAndDrawing) {
    TIcon* icon = Create<TIcon>();
    icon->AdoptHandle(MakeIcon());
    TMemoryStream s;
    icon->SaveToStream(s);
    ASSERT_GT(s.Size(), 22);
    s.SetPosition(0);
    TIcon* back = Create<TIcon>();
    back->LoadFromStream(s);
    EXPECT_EQ(s.Position(), s.Size());
    EXPECT_EQ(back->Width(), 16);
    EXPECT_EQ(back->Height(), 16);
    TBitmap* b = Create<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(16, 16);
    b->Canvas()->Brush()->SetColor(clLime);
    b->Canvas()->FillRect(Rect(0, 0, 16, 16));
    b->Canvas()->Draw(0, 0, back);
    EXPECT_EQ(b->Canvas()->Pixel(0, 5), clLime) << "masked pixel";
    EXPECT_EQ(b->Canvas()->Pixel(8, 8), clRed);
    // A loaded icon writes back the bytes it read.
    TMemoryStream again;
    back->SaveToStream(again);
    EXPECT_EQ(again.Size(), s.Size());
    EXPECT_THROW(back->SetWidth(3), EInvalidGraphicOperation);
    b->Free();
    back->Free();
    icon->Free();
}

TEST(Icon, BadStreamsRaiseAndKeepTheIcon) {
    TIcon* icon = Create<TIcon>();
    icon->AdoptHandle(MakeIcon());
    const HICON before = icon->Handle();
    const std::vector<std::vector<std::uint8_t>> bad = {
        {},
        {0, 0, 1, 0},
        {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0xFF, 0xFF, 0, 0, 22, 0, 0, 0},  // image past the end
    };
    for (const auto& data : bad) {
        TMemoryStream s;
        if (!data.empty()) s.WriteBuffer(data.data(), data.size());
        s.SetPosition(0);
        EXPECT_THROW(icon->LoadFromStream(s), EInvalidGraphic);
        EXPECT_EQ(icon->Handle(), before);
    }
    icon->Free();
}

}  // namespace
