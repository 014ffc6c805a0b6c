// TGIFImage on the framework's graphics: loading through the picture-format
// registry, the decoded pixels, keyed transparency, hostile files, sharing
// and the clipboard block.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "components/gif/GIFImage_win.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Picture_win.h"
#include "tests/components/GifTestBuilder.h"

namespace {

// 4 x 3, 2-bit global table; index 0 is transparent when the control block says so.
const Bytes kPixels = {0, 1, 2, 3, 3, 2, 1, 0, 1, 1, 0, 0};

Bytes SmallGif(bool transparent) {
    GifBuilder b;
    b.Signature().Screen(4, 3, 2);
    if (transparent)
        b.GraphicControl(0x01, 0, 0);
    return b.Frame(4, 3, kPixels, 2).Trailer();
}

class GifImageTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterGIFImage(); }
    void TearDown() override {
        UnregisterGIFImage();
        for (const std::string& f : files_)
            DeleteFileA(f.c_str());
        picture_->Free();
    }
    std::string File(const std::string& name, const Bytes& bytes) {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        const std::string path =
            std::string(dir) + "gif_" + std::to_string(GetCurrentProcessId()) + "_" + name;
        FILE* f = std::fopen(path.c_str(), "wb");
        if (f == nullptr)
            throw std::runtime_error("cannot write " + path);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        files_.push_back(path);
        return path;
    }
    TPicture* picture_ = Create<TPicture>();
    std::vector<std::string> files_;
};

TEST_F(GifImageTest, PictureLoadsGifAsTGIFImage) {
    picture_->LoadFromFile(File("small.gif", SmallGif(false)));
    auto* gif = dynamic_cast<TGIFImage*>(picture_->Graphic());
    ASSERT_NE(gif, nullptr);
    EXPECT_EQ(picture_->Width(), 4);
    EXPECT_EQ(picture_->Height(), 3);
    EXPECT_EQ(gif->FrameCount(), 1);
    EXPECT_EQ(gif->FrameIndex(), 0);
    EXPECT_FALSE(gif->Empty());
    EXPECT_EQ(TPicture::FindFileFormat("GIF"), TGraphicClass::Of<TGIFImage>());
    EXPECT_NE(TPicture::GraphicFilter().find("CompuServe GIF Image"), std::string::npos);
}

TEST_F(GifImageTest, PixelsMatchTheNativeDecode) {
    TGIFImage* gif = Create<TGIFImage>();
    TMemoryStream stream;
    const Bytes file = SmallGif(false);
    stream.WriteBuffer(file.data(), file.size());
    stream.SetPosition(0);
    gif->LoadFromStream(stream);
    TBitmap* bitmap = Create<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->Assign(gif);
    ASSERT_EQ(bitmap->Width(), 4);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(bitmap->Canvas()->Pixel(x, y), TestColor(kPixels[std::size_t(y * 4 + x)]))
                << x << "," << y;
        }
    }
    bitmap->Free();
    gif->Free();
}

TEST_F(GifImageTest, TransparentPixelsKeepTheBackground) {
    picture_->LoadFromFile(File("transparent.gif", SmallGif(true)));
    TGraphic* gif = picture_->Graphic();
    ASSERT_TRUE(gif->Transparent());
    TBitmap* canvas = Create<TBitmap>();
    canvas->SetPixelFormat(pf24bit);
    canvas->SetSize(6, 5);
    canvas->Canvas()->Brush()->SetColor(clRed);
    canvas->Canvas()->FillRect(Rect(0, 0, 6, 5));
    canvas->Canvas()->Draw(1, 1, gif);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            const int index = kPixels[std::size_t(y * 4 + x)];
            EXPECT_EQ(canvas->Canvas()->Pixel(x + 1, y + 1), index == 0 ? clRed : TestColor(index))
                << x << "," << y;
        }
    }
    EXPECT_EQ(canvas->Canvas()->Pixel(0, 0), clRed);
    canvas->Free();
}

TEST_F(GifImageTest, BlackAndWhiteFrameKeysItsOwnTransparentColour) {
    // A 1-bit black-and-white table decodes to a monochrome bitmap; the key is
    // black here, so the white pixels must stay.
    Bytes file = GifBuilder()
                     .Signature()
                     .Raw({4, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF})
                     .GraphicControl(0x01, 0, 0)
                     .Frame(4, 1, {0, 1, 1, 0}, 2)
                     .Trailer();
    picture_->LoadFromFile(File("bw.gif", file));
    TBitmap* canvas = Create<TBitmap>();
    canvas->SetPixelFormat(pf24bit);
    canvas->SetSize(4, 1);
    canvas->Canvas()->Brush()->SetColor(clRed);
    canvas->Canvas()->FillRect(Rect(0, 0, 4, 1));
    canvas->Canvas()->Draw(0, 0, picture_->Graphic());
    EXPECT_EQ(canvas->Canvas()->Pixel(0, 0), clRed);
    EXPECT_EQ(canvas->Canvas()->Pixel(1, 0), clWhite);
    EXPECT_EQ(canvas->Canvas()->Pixel(2, 0), clWhite);
    EXPECT_EQ(canvas->Canvas()->Pixel(3, 0), clRed);
    canvas->Free();
}

TEST_F(GifImageTest, HostileFilesRaiseAndLeaveThePictureEmpty) {
    struct Case {
        const char* name;
        Bytes file;
        std::string message;
    } cases[] = {
        {"huge",
         GifBuilder()
             .Signature()
             .Screen(0xFFFF, 0xFFFF, 1)
             .Descriptor(0, 0, 0, 0)
             .Raw(ImageData(2, {0x44, 0x01}))
             .Trailer(),
         "GIF image is too large"},
        {"no colours", GifBuilder().Signature().Screen(2, 1).Frame(2, 1, {0, 1}, 2).Trailer(),
         "Wrong number of colors; must be a power of 2"},
        {"bad version", GifBuilder().Signature("GIF90a").Screen(1, 1).Trailer(),
         "Unknown GIF version"},
        {"cut in the screen", Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 0}, "Stream read error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGIFImage* gif = Create<TGIFImage>();
        try {
            gif->LoadFromFile(File(std::string(c.name) + ".gif", c.file));
            ADD_FAILURE() << "nothing raised";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_TRUE(gif->Empty());
        EXPECT_EQ(gif->Width(), 0);
        gif->Free();
        // The picture keeps what it had.
        EXPECT_THROW(picture_->LoadFromFile(File(std::string(c.name) + "2.gif", c.file)),
                     Exception);
        EXPECT_EQ(picture_->Graphic(), nullptr);
    }
}

TEST_F(GifImageTest, EmptyImage) {
    TGIFImage* gif = Create<TGIFImage>();
    EXPECT_TRUE(gif->Empty());
    EXPECT_EQ(gif->Width(), 0);
    EXPECT_EQ(gif->Height(), 0);
    TBitmap* canvas = Create<TBitmap>();
    canvas->SetPixelFormat(pf24bit);
    canvas->SetSize(2, 2);
    canvas->Canvas()->Brush()->SetColor(clRed);
    canvas->Canvas()->FillRect(Rect(0, 0, 2, 2));
    gif->Draw(canvas->Canvas(), Rect(0, 0, 2, 2));
    EXPECT_EQ(canvas->Canvas()->Pixel(1, 1), clRed);
    try {
        gif->SetWidth(5);
        ADD_FAILURE() << "SetWidth did not raise";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message(), "Cannot change the Size of a GIF image");
    }
    canvas->Free();
    gif->Free();
}

TEST_F(GifImageTest, AssignedCopiesShareData) {
    TGIFImage* a = Create<TGIFImage>();
    TGIFImage* b = Create<TGIFImage>();
    a->LoadFromFile(File("a.gif", SmallGif(true)));
    b->Assign(a);
    EXPECT_TRUE(b->Equals(a));
    EXPECT_EQ(b->FrameCount(), 1);
    EXPECT_EQ(b->Width(), 4);
    EXPECT_EQ(b->Frame(0)->Info().TransparentColor, TestColor(0));
    b->LoadFromFile(File("b.gif", SmallGif(false)));
    EXPECT_FALSE(b->Equals(a));
    b->Free();
    a->Free();
}

TEST_F(GifImageTest, LaterFramesDecodeOnDemandAndIndexPastTheListDrawsFrameZero) {
    // Frame 1 declares 65535 x 65535: the load and a copy succeed, its bitmap raises.
    Bytes file = GifBuilder()
                     .Signature()
                     .Screen(4, 3, 2)
                     .Frame(4, 3, kPixels, 2)
                     .Descriptor(0, 0, 0xFFFF, 0xFFFF)
                     .Raw(ImageData(2, {0x44, 0x01}))
                     .Trailer();
    TGIFImage* gif = Create<TGIFImage>();
    gif->LoadFromFile(File("two.gif", file));
    ASSERT_EQ(gif->FrameCount(), 2);
    TGIFImage* copy = Create<TGIFImage>();
    copy->Assign(gif);
    EXPECT_EQ(copy->ScreenWidth(), 4); // the source's logical screen
    try {
        copy->Frame(1)->Bitmap();
        ADD_FAILURE() << "nothing raised";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message(), "GIF image is too large");
    }
    gif->SetFrameIndex(7);
    EXPECT_EQ(gif->Width(), 0);
    TBitmap* canvas = Create<TBitmap>();
    canvas->SetPixelFormat(pf24bit);
    canvas->SetSize(4, 3);
    gif->Draw(canvas->Canvas(), Rect(0, 0, 4, 3));
    EXPECT_EQ(canvas->Canvas()->Pixel(3, 0), TestColor(3));
    canvas->Free();
    copy->Free();
    gif->Free();
}

struct ProgressLog {
    void OnProgress(TObject*, TProgressStage stage, std::uint8_t percent, bool, const TRect&,
                    const std::string& message) {
        stages.push_back(stage);
        percents.push_back(percent);
        last = message;
    }
    std::vector<TProgressStage> stages;
    std::vector<int> percents;
    std::string last;
};

TEST_F(GifImageTest, DecodingReportsProgress) {
    ProgressLog log;
    TGIFImage* gif = Create<TGIFImage>();
    gif->OnProgress = TProgressEvent(&log, &ProgressLog::OnProgress);
    gif->LoadFromFile(File("progress.gif", SmallGif(false)));
    ASSERT_GE(log.stages.size(), 3u);
    EXPECT_EQ(log.stages.front(), psStarting);
    EXPECT_EQ(log.stages.back(), psEnding);
    EXPECT_EQ(log.percents.back(), 100);

    log = ProgressLog();
    EXPECT_THROW(gif->LoadFromFile(
                     File("progress-bad.gif",
                          GifBuilder().Signature().Screen(2, 1).Frame(2, 1, {0, 1}, 2).Trailer())),
                 EInvalidGraphicOperation);
    ASSERT_EQ(log.stages.size(), 2u);
    EXPECT_EQ(log.stages.back(), psEnding);
    EXPECT_EQ(log.percents.back(), 0);
    EXPECT_EQ(log.last, "Wrong number of colors; must be a power of 2");
    gif->Free();
}

TEST_F(GifImageTest, BitmapsInAndOut) {
    TGIFImage* gif = Create<TGIFImage>();
    gif->LoadFromFile(File("out.gif", SmallGif(true)));
    // A bitmap draws the image onto itself (the framework's path for any graphic).
    TBitmap* out = Create<TBitmap>();
    out->Assign(gif);
    EXPECT_EQ(out->Width(), 4);
    EXPECT_EQ(out->Canvas()->Pixel(1, 0), TestColor(1));

    // A bitmap becomes a one-frame image without encoded data.
    TGIFImage* in = Create<TGIFImage>();
    in->Assign(out);
    EXPECT_EQ(in->FrameCount(), 1);
    EXPECT_EQ(in->Version(), 1);
    EXPECT_EQ(in->Width(), 4);
    EXPECT_EQ(in->ScreenWidth(), 4);
    EXPECT_EQ(in->Bitmap()->Canvas()->Pixel(3, 0), TestColor(3));
    in->Free();
    out->Free();
    gif->Free();
}

TEST_F(GifImageTest, FormDataSizePrefix) {
    const Bytes file = SmallGif(false);
    auto stored = [&](std::int32_t size) {
        TMemoryStream* stream = new TMemoryStream();
        stream->WriteBuffer(&size, 4);
        stream->WriteBuffer(file.data(), file.size());
        stream->SetPosition(0);
        return stream;
    };
    TGIFImage* gif = Create<TGIFImage>();
    TMemoryStream* good = stored(std::int32_t(file.size()));
    gif->ReadData(*good);
    EXPECT_EQ(gif->Width(), 4);
    TMemoryStream* lying = stored(0x7FFFFFFF);
    EXPECT_THROW(gif->ReadData(*lying), EReadError);
    EXPECT_TRUE(gif->Empty());
    delete lying;
    delete good;
    gif->Free();
}

TEST_F(GifImageTest, ClipboardBlock) {
    const Bytes file = SmallGif(false);
    auto block = [](const Bytes& body, std::int32_t size) {
        HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, body.size() + 4);
        auto* p = static_cast<std::uint8_t*>(GlobalLock(g));
        std::memcpy(p, &size, 4);
        std::memcpy(p + 4, body.data(), body.size());
        GlobalUnlock(g);
        return g;
    };
    TGIFImage* gif = Create<TGIFImage>();
    HGLOBAL good = block(file, std::int32_t(file.size()));
    gif->LoadFromClipboardFormat(TGIFImage::ClipboardFormat(), good, nullptr);
    EXPECT_EQ(gif->FrameCount(), 1);
    EXPECT_EQ(gif->Width(), 4);
    HGLOBAL lying = block(file, std::int32_t(file.size()) + 100);
    EXPECT_THROW(gif->LoadFromClipboardFormat(TGIFImage::ClipboardFormat(), lying, nullptr),
                 EReadError);
    EXPECT_TRUE(gif->Empty());
    GlobalFree(good);
    GlobalFree(lying);
    gif->Free();
}

} // namespace
