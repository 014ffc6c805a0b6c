// TBitmap32's Windows side under Wine: the DIB storage and its failures, the exchange with the
// class library's bitmaps, icons and pictures, picture files, the canvas, and that every DIB and
// DC goes back.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BitmapTestSupport.h"
#include "framework/core/Exceptions.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Icon_win.h"
#include "framework/graphics/JPEGImage_win.h"
#include "framework/graphics/Metafile_win.h"
#include "framework/graphics/Picture_win.h"
#include "raster/DibStorage_win.h"
#include "tests/framework/graphics/GraphicsTestData.h"

using namespace BitmapTest;

namespace {

template <class T> struct Scoped {
    T* p = Create<T>();
    ~Scoped() { p->Free(); }
    T* operator->() const { return p; }
};

std::string TempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path =
        std::string(dir) + "raster_" + std::to_string(GetCurrentProcessId()) + "_" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        throw std::runtime_error("cannot write " + path);
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

bool Near(TColor32 a, TColor32 b, int tolerance = 24) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > tolerance || d < -tolerance)
            return false;
    }
    return true;
}

class BitmapWin : public StartedTest {};

TEST_F(BitmapWin, DefaultStorageIsADibSelectedIntoItsOwnDC) {
    Owned b;
    EXPECT_EQ(b->Handle(), nullptr);
    b->SetSize(3, 2);
    ASSERT_NE(b->Handle(), nullptr);
    auto& dib = dynamic_cast<TDibStorage&>(b->Storage());
    EXPECT_EQ(dib.Info().bmiHeader.biSize, 40u);
    EXPECT_EQ(dib.Info().bmiHeader.biWidth, 3);
    EXPECT_EQ(dib.Info().bmiHeader.biHeight, -2);
    EXPECT_EQ(dib.Info().bmiHeader.biBitCount, 32);
    EXPECT_EQ(GetCurrentObject(b->Handle(), OBJ_BITMAP), dib.BitmapHandle());
    // GDI drawing lands in the same pixels, top row first.
    SetPixel(b->Handle(), 2, 0, RGB(0x11, 0x22, 0x33));
    GdiFlush();
    EXPECT_EQ(b->Pixel(2, 0) & 0xFFFFFF, 0x112233u);
}

TEST_F(BitmapWin, HugeSizeFailsWithTheMessageAndLeavesAnEmptyBitmap) {
    Owned b;
    b->SetSize(4, 4);
    Counters n;
    n.Attach(*b.b);
    try {
        b->SetSize(50000, 50000);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Can't allocate the DIB handle");
    }
    EXPECT_TRUE(b->Empty());
    EXPECT_EQ(b->Width(), 0);
    EXPECT_EQ(b->Height(), 0);
    EXPECT_EQ(b->Handle(), nullptr);
    EXPECT_EQ(b->ClipRect(), TRect{});
    EXPECT_EQ(n.handle, 1);
    b->SetSize(2, 2); // still usable
    EXPECT_FALSE(b->Empty());
}

TEST_F(BitmapWin, AssignFrom24BitBitmapIsOpaque) {
    Scoped<TBitmap> src;
    src->SetPixelFormat(pf24bit);
    src->SetSize(5, 3);
    src->Canvas()->SetPixel(0, 0, clRed);
    src->Canvas()->SetPixel(4, 2, clBlue);
    Owned b;
    b->Assign(src.p);
    ASSERT_EQ(b->Width(), 5);
    ASSERT_EQ(b->Height(), 3);
    EXPECT_EQ(b->Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(b->Pixel(4, 2), 0xFF0000FFu);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(AlphaComponent(b->Pixel(x, y)), 255u) << x << "," << y;
}

TEST_F(BitmapWin, AssignFromTransparentBitmapClearsAlphaExactlyAtTheKey) {
    Scoped<TBitmap> src;
    src->SetPixelFormat(pf24bit);
    src->SetSize(4, 1);
    src->Canvas()->SetPixel(0, 0, clRed);
    src->Canvas()->SetPixel(1, 0, 0x0000FE); // one unit off the key
    src->Canvas()->SetPixel(2, 0, clRed);
    src->Canvas()->SetPixel(3, 0, clBlue);
    src->SetTransparentColor(clRed);
    src->SetTransparent(true);
    Owned b;
    b->Assign(src.p);
    EXPECT_EQ(b->Pixel(0, 0), 0x00FF0000u);
    EXPECT_EQ(b->Pixel(1, 0), 0xFFFE0000u);
    EXPECT_EQ(b->Pixel(2, 0), 0x00FF0000u);
    EXPECT_EQ(b->Pixel(3, 0), 0xFF0000FFu);
}

TEST_F(BitmapWin, AssignFromIconPictureGivesAnAlphaMask) {
    // Left half opaque (mask bit 0) in 0x336699, right half transparent.
    std::vector<std::uint8_t> andBits(16 * 2);
    for (int y = 0; y < 16; ++y) {
        andBits[y * 2] = 0x00;
        andBits[y * 2 + 1] = 0xFF;
    }
    std::vector<std::uint32_t> color(16 * 16, 0x00336699);
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, andBits.data());
    HBITMAP colour = CreateBitmap(16, 16, 1, 32, color.data());
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    ASSERT_NE(icon, nullptr);
    Scoped<TPicture> picture;
    picture->Icon()->AdoptHandle(icon);
    ASSERT_EQ(picture->Width(), 16);
    Owned b;
    b->Assign(picture.p);
    ASSERT_EQ(b->Width(), 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            if (x < 8) {
                EXPECT_EQ(b->Pixel(x, y), 0xFF336699u);
            } else {
                EXPECT_EQ(AlphaComponent(b->Pixel(x, y)), 0u);
            }
        }
}

// A picture holding a metafile that paints only its left half: two renderings tell painted
// pixels (opaque) from the background (alpha 0), as for icons.
TEST_F(BitmapWin, AssignFromMetafilePictureGivesAnAlphaMask) {
    HDC screen = GetDC(nullptr);
    // The frame, in hundredths of a millimetre, of 16 x 8 pixels of the reference device.
    const RECT frame{0, 0, MulDiv(16, GetDeviceCaps(screen, HORZSIZE) * 100, GetDeviceCaps(screen, HORZRES)),
                     MulDiv(8, GetDeviceCaps(screen, VERTSIZE) * 100, GetDeviceCaps(screen, VERTRES))};
    HDC dc = CreateEnhMetaFileA(screen, nullptr, &frame, nullptr);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(dc, nullptr);
    HBRUSH brush = CreateSolidBrush(0x00996633);
    const RECT left{0, 0, 8, 8};
    FillRect(dc, &left, brush);
    DeleteObject(brush);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    ASSERT_NE(emf, nullptr);
    Scoped<TMetafile> metafile;
    metafile->SetHandle(emf);
    EXPECT_NEAR(metafile->Width(), 16, 1) << "the size comes from the header's frame";
    EXPECT_NEAR(metafile->Height(), 8, 1);
    metafile->SetWidth(16);
    metafile->SetHeight(8);
    Scoped<TPicture> picture;
    picture->SetGraphic(metafile.p);
    ASSERT_NE(dynamic_cast<TMetafile*>(picture->Graphic()), nullptr);
    Owned b;
    b->Assign(picture.p);
    ASSERT_EQ(b->Width(), 16);
    ASSERT_EQ(b->Height(), 8);
    for (int y = 1; y < 7; ++y)
        for (int x = 0; x < 16; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            if (x >= 1 && x <= 6) {
                EXPECT_EQ(AlphaComponent(b->Pixel(x, y)), 255u);
                EXPECT_TRUE(Near(b->Pixel(x, y), 0xFF336699u, 2)) << std::hex << b->Pixel(x, y);
            } else if (x >= 9) {
                EXPECT_EQ(AlphaComponent(b->Pixel(x, y)), 0u);
            }
        }
}

TEST_F(BitmapWin, CopyToAClassLibraryBitmapAndBack) {
    Owned a, c;
    a->SetSize(6, 4);
    Encode(*a.b);
    Scoped<TBitmap> bmp;
    bmp->Assign(a.b);
    EXPECT_EQ(bmp->PixelFormat(), pf32bit);
    EXPECT_EQ(bmp->Width(), 6);
    c->Assign(bmp.p);
    EXPECT_TRUE(c->Equal(a.b));
    Scoped<TPicture> picture;
    a->AssignTo(picture.p);
    ASSERT_NE(dynamic_cast<TBitmap*>(picture->Graphic()), nullptr);
    c->Assign(picture.p);
    EXPECT_TRUE(c->Equal(a.b));
}

TEST_F(BitmapWin, LoadPictureFileOfBmpAndJpeg) {
    RegisterJPEGImage();
    Owned b;
    b->LoadPictureFile(GraphicsFixturePath("rgb16x8.bmp"));
    ASSERT_EQ(b->Width(), 16);
    ASSERT_EQ(b->Height(), 8);
    EXPECT_EQ(b->Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(b->Pixel(15, 0), 0xFF0000FFu);
    b->LoadPictureFile(GraphicsFixturePath("rgb16x8.jpg"));
    ASSERT_EQ(b->Width(), 16);
    EXPECT_TRUE(Near(b->Pixel(0, 0), 0xFFFF0000u)) << std::hex << b->Pixel(0, 0);
    EXPECT_TRUE(Near(b->Pixel(15, 7), 0xFF0000FFu)) << std::hex << b->Pixel(15, 7);
    EXPECT_EQ(AlphaComponent(b->Pixel(7, 4)), 255u);
    UnregisterJPEGImage();
}

TEST_F(BitmapWin, LoadPictureFileOfBadFilesRaises) {
    std::vector<std::uint8_t> cut = ReadGraphicsFixture("rgb16x8.bmp");
    cut.resize(60);
    const std::string files[] = {TempFile("cut.bmp", cut), TempFile("text.bmp", {'h', 'i'}),
                                 TempFile("what.xyz", {1, 2, 3})};
    const int dibs = TDibStorage::LiveDibs();
    for (const std::string& f : files) {
        SCOPED_TRACE(f);
        Owned b;
        b->SetSize(2, 2);
        EXPECT_THROW(b->LoadPictureFile(f), Exception);
        EXPECT_EQ(b->Width(), 2) << "the bitmap keeps its pixels";
        DeleteFileA(f.c_str());
    }
    EXPECT_EQ(TDibStorage::LiveDibs(), dibs);
}

TEST_F(BitmapWin, CanvasDrawsIntoThePixelsAndNotifies) {
    Owned b;
    b->SetSize(4, 4);
    Counters n;
    n.Attach(*b.b);
    TCanvas* canvas = b->Canvas();
    EXPECT_EQ(b->Canvas(), canvas);
    canvas->SetPixel(1, 2, clBlue);
    GdiFlush();
    EXPECT_EQ(b->Pixel(1, 2) & 0xFFFFFF, 0x0000FFu);
    EXPECT_GE(n.change, 1);
    // A resize frees the canvas (the DC it had is gone).
    b->SetSize(8, 8);
    TCanvas* again = b->Canvas();
    again->SetPixel(7, 7, clRed);
    GdiFlush();
    EXPECT_EQ(b->Pixel(7, 7) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(BitmapWin, CopyOntoADeviceContext) {
    Owned a, c;
    a->SetSize(3, 3);
    Encode(*a.b);
    c->SetSize(5, 5);
    a->CopyOnto(c->Handle(), 1, 1);
    GdiFlush();
    EXPECT_EQ(c->Pixel(1, 1) & 0xFFFFFF, a->Pixel(0, 0) & 0xFFFFFF);
    EXPECT_EQ(c->Pixel(3, 3) & 0xFFFFFF, a->Pixel(2, 2) & 0xFFFFFF);
    EXPECT_EQ(c->Pixel(0, 0), 0u);
}

TEST_F(BitmapWin, SystemColourThroughColor32) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const TColor32 expect = 0xFF000000u | (GetRValue(face) << 16) | (GetGValue(face) << 8) |
                            GetBValue(face);
    EXPECT_EQ(Color32(clBtnFace), expect);
}

TEST_F(BitmapWin, EveryDibAndDcGoesBack) {
    const int dibs = TDibStorage::LiveDibs(), dcs = TDibStorage::LiveDCs();
    {
        Owned a, c;
        a->SetSize(10, 10);
        a->SetSize(20, 5);
        a->Canvas();
        c->Assign(a.b);
        a->CopyOnto(c.b, TRect{0, 0, 3, 3});
        c->CopyOnto(c.b, TRect{1, 1, 9, 9});
        EXPECT_EQ(TDibStorage::LiveDibs(), dibs + 2);
        EXPECT_EQ(TDibStorage::LiveDCs(), dcs + 2);
        try {
            c->SetSize(50000, 50000);
        } catch (const Exception&) {
        }
        EXPECT_EQ(TDibStorage::LiveDibs(), dibs + 1);
    }
    EXPECT_EQ(TDibStorage::LiveDibs(), dibs);
    EXPECT_EQ(TDibStorage::LiveDCs(), dcs);
}

} // namespace
