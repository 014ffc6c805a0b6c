// TPicture's file loading through the picture-format registry, with the JPEG
// class registered: .bmp and .jpg by extension, unknown extensions and
// corrupt files raising EInvalidGraphic with the picture left unchanged.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Icon_win.h"
#include "framework/graphics/JPEGImage_win.h"
#include "framework/graphics/Picture_win.h"
#include "tests/framework/graphics/GraphicsTestData.h"

namespace {

std::string TempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "fwgfx_" + std::to_string(GetCurrentProcessId()) + "_" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) throw std::runtime_error("cannot write " + path);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterJPEGImage(); }
    void TearDown() override {
        UnregisterJPEGImage();
        for (const std::string& f : files_) DeleteFileA(f.c_str());
        picture_->Free();
    }
    std::string File(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        files_.push_back(TempFile(name, bytes));
        return files_.back();
    }
    // The colour at (x, y) of whatever the picture holds, drawn into a 24-bit bitmap.
    TColor PixelOf(int x, int y) {
        TBitmap* b = Create<TBitmap>();
        b->SetPixelFormat(pf24bit);
        b->Assign(picture_->Graphic());
        const TColor c = b->Canvas()->Pixel(x, y);
        b->Free();
        return c;
    }
    TPicture* picture_ = Create<TPicture>();
    std::vector<std::string> files_;
};

bool Near(TColor a, TColor b, int tolerance = 16) {
    for (int shift : {0, 8, 16}) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > tolerance || d < -tolerance) return false;
    }
    return true;
}

TEST_F(PictureTest, LoadsBmpAndJpgByExtension) {
    picture_->LoadFromFile(GraphicsFixturePath("rgb16x8.bmp"));
    ASSERT_NE(dynamic_cast<TBitmap*>(picture_->Graphic()), nullptr);
    EXPECT_EQ(picture_->Width(), 16);
    EXPECT_EQ(PixelOf(0, 0), clRed);
    EXPECT_EQ(PixelOf(15, 0), clBlue);

    for (const char* name : {"rgb16x8.jpg", "progressive16x8.jpg"}) {
        SCOPED_TRACE(name);
        picture_->LoadFromFile(GraphicsFixturePath(name));
        ASSERT_NE(dynamic_cast<TJPEGImage*>(picture_->Graphic()), nullptr);
        EXPECT_EQ(picture_->Width(), 16);
        EXPECT_EQ(picture_->Height(), 8);
        EXPECT_TRUE(Near(PixelOf(0, 0), clRed)) << std::hex << PixelOf(0, 0);
        EXPECT_TRUE(Near(PixelOf(15, 7), clBlue)) << std::hex << PixelOf(15, 7);
    }
    // Extensions compare without case; "jpeg" and "jpe" are the same class.
    const std::vector<std::uint8_t> jpg = ReadGraphicsFixture("gray9x7.jpg");
    for (const char* name : {"UPPER.JPG", "long.jpeg", "short.Jpe"}) {
        picture_->LoadFromFile(File(name, jpg));
        EXPECT_EQ(picture_->Width(), 9) << name;
        EXPECT_TRUE(Near(PixelOf(4, 3), 0x808080)) << name;
    }
}

TEST_F(PictureTest, UnknownExtensionAndCorruptFilesLeaveThePictureUnchanged) {
    picture_->LoadFromFile(GraphicsFixturePath("rgb16x8.bmp"));
    TGraphic* before = picture_->Graphic();
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* message;
    };
    std::vector<std::uint8_t> cutBmp = ReadGraphicsFixture("rgb16x8.bmp");
    cutBmp.resize(100);
    const Case cases[] = {
        {"picture.xyz", ReadGraphicsFixture("rgb16x8.bmp"), "Unknown picture file extension (.xyz)"},
        {"noextension", ReadGraphicsFixture("rgb16x8.bmp"), "Unknown picture file extension (.)"},
        {"cut.bmp", cutBmp, "Bitmap image is not valid"},
        {"text.bmp", {'h', 'e', 'l', 'l', 'o'}, "Bitmap image is not valid"},
        {"text.jpg", {'h', 'e', 'l', 'l', 'o'}, nullptr},
        {"empty.jpg", {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = File(c.name, c.bytes);
        try {
            picture_->LoadFromFile(path);
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidGraphic& e) {
            if (c.message != nullptr) {
                EXPECT_EQ(e.Message(), c.message);
            }
        }
        EXPECT_EQ(picture_->Graphic(), before);
        EXPECT_EQ(PixelOf(0, 0), clRed);
    }
    EXPECT_THROW(picture_->LoadFromFile(GraphicsFixturePath("missing.bmp")), EFOpenError);
    EXPECT_EQ(picture_->Graphic(), before);
}

TEST_F(PictureTest, LaterRegistrationWinsUntilUnregistered) {
    const std::string path = File("pic.bmp", ReadGraphicsFixture("rgb16x8.jpg"));
    EXPECT_THROW(picture_->LoadFromFile(path), EInvalidGraphic);  // a JPEG named .bmp
    TPicture::RegisterFileFormat("BMP", "JPEG in disguise", TGraphicClass::Of<TJPEGImage>());
    EXPECT_EQ(TPicture::FindFileFormat(".bmp"), TGraphicClass::Of<TJPEGImage>());
    picture_->LoadFromFile(path);
    EXPECT_NE(dynamic_cast<TJPEGImage*>(picture_->Graphic()), nullptr);
    UnregisterJPEGImage();
    EXPECT_EQ(TPicture::FindFileFormat("bmp"), TGraphicClass::Of<TBitmap>());
    EXPECT_EQ(TPicture::FindFileFormat("jpg"), TGraphicClass());
    EXPECT_THROW(picture_->LoadFromFile(GraphicsFixturePath("rgb16x8.jpg")), EInvalidGraphic);
    RegisterJPEGImage();
    EXPECT_NE(TPicture::GraphicFilter().find("JPEG Image File (*.jpg)|*.jpg"), std::string::npos);
    EXPECT_NE(TPicture::GraphicFilter().find("Bitmaps (*.bmp)|*.bmp"), std::string::npos);
}

TEST_F(PictureTest, SettingAGraphicStoresACopyAndReportsChanges) {
    struct Counter {
        int n = 0;
        void Changed(TObject*) { ++n; }
    } counter;
    picture_->OnChange = TNotifyEvent(&counter, &Counter::Changed);
    TBitmap* b = Create<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(3, 2);
    picture_->SetGraphic(b);
    EXPECT_NE(picture_->Graphic(), b);
    EXPECT_EQ(picture_->Width(), 3);
    const int afterSet = counter.n;
    EXPECT_GE(afterSet, 1);
    picture_->Bitmap()->Canvas()->SetPixel(0, 0, clRed);  // a change inside the graphic reaches the picture
    EXPECT_GT(counter.n, afterSet);
    b->Free();
    TIcon* icon = picture_->Icon();  // replaces the bitmap with an empty icon
    EXPECT_TRUE(icon->Empty());
    EXPECT_EQ(picture_->Width(), 0);
    picture_->Assign(nullptr);
    EXPECT_EQ(picture_->Graphic(), nullptr);
}

TEST_F(PictureTest, JpegImageSavesItsDataAndAssignsToABitmap) {
    const std::vector<std::uint8_t> data = ReadGraphicsFixture("rgb16x8.jpg");
    TJPEGImage* jpeg = Create<TJPEGImage>();
    jpeg->LoadFromBytes(data.data(), data.size());
    TMemoryStream out;
    jpeg->SaveToStream(out);
    ASSERT_EQ(out.Size(), static_cast<std::int64_t>(data.size()));
    EXPECT_EQ(std::memcmp(out.Memory(), data.data(), data.size()), 0);
    TBitmap* b = Create<TBitmap>();
    b->Assign(jpeg);
    EXPECT_EQ(b->Width(), 16);
    EXPECT_TRUE(Near(b->Canvas()->Pixel(0, 0), clRed));
    EXPECT_THROW(jpeg->SetWidth(5), EInvalidGraphicOperation);
    TJPEGImage* copy = Create<TJPEGImage>();
    copy->Assign(jpeg);
    EXPECT_TRUE(copy->Equals(jpeg));
    // A bad stream leaves the image as it was.
    const std::uint8_t junk[] = {0xFF, 0xD8, 0xFF, 0xD9};
    EXPECT_THROW(jpeg->LoadFromBytes(junk, sizeof junk), EInvalidGraphic);
    EXPECT_EQ(jpeg->Width(), 16);
    copy->Free();
    b->Free();
    jpeg->Free();
}

}  // namespace
