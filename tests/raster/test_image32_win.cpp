// The paint box and the image control under Wine: their answers to the window's messages, the
// bitmap drawn unscaled, stretched, centred and tiled (read back through WM_PRINTCLIENT), the
// paint stages in order, the repaint after a change, and the mouse with its capture.

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "raster/Image32_win.h"
#include "raster/Startup.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

class Image32Test : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        raster::Startup();
        image = Create<TImage32>(form);
        image->SetBounds(10, 10, 40, 30);
        image->SetColor(clLime);
        image->SetParent(form);
        ShowForm();
    }
    // The control's picture as its window paint gives it, as 0x00RRGGBB per pixel.
    std::vector<COLORREF> Picture() {
        return DrawnPixels(
            [this](HDC dc) {
                image->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
            },
            image->Width(), image->Height());
    }
    COLORREF At(const std::vector<COLORREF>& p, int x, int y) { return p[y * image->Width() + x]; }
    // A bitmap of w x h whose pixel (x, y) is red x*10, green y*10.
    void Fill(int w, int h) {
        image->Bitmap()->SetSize(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image->Bitmap()->SetPixel(x, y, 0xFF000000u | (x * 10u) << 16 | (y * 10u) << 8);
        image->Bitmap()->Changed();
    }
    static COLORREF Source(int x, int y) { return RGB(x * 10, y * 10, 0); }
    TImage32* image = nullptr;
};

TEST_F(Image32Test, AnswersEraseAndDialogCodesAsAPaintBox) {
    EXPECT_EQ(image->Perform(WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(image->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, 0);
    image->Options.Include(pboWantArrowKeys);
    EXPECT_NE(image->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, 0);
}

TEST_F(Image32Test, EmptyBitmapShowsTheColour) {
    const std::vector<COLORREF> p = Picture();
    for (COLORREF c : p)
        ASSERT_EQ(c, RGB(0, 255, 0));
    Fill(4, 4);
    image->SetBitmap(nullptr); // nil empties
    EXPECT_TRUE(image->Bitmap()->Empty());
    EXPECT_EQ(At(Picture(), 0, 0), RGB(0, 255, 0));
}

TEST_F(Image32Test, DrawsUnscaledStretchedCentredAndTiled) {
    Fill(8, 6);
    std::vector<COLORREF> p = Picture();
    EXPECT_EQ(At(p, 0, 0), Source(0, 0));
    EXPECT_EQ(At(p, 7, 5), Source(7, 5));
    EXPECT_EQ(At(p, 8, 0), RGB(0, 255, 0)) << "beside the bitmap: the colour";
    EXPECT_EQ(At(p, 0, 6), RGB(0, 255, 0));

    image->SetScaleMode(smStretch); // 8 x 6 onto 40 x 30: five pixels per pixel
    p = Picture();
    EXPECT_EQ(At(p, 0, 0), Source(0, 0));
    EXPECT_EQ(At(p, 39, 29), Source(7, 5));
    EXPECT_EQ(At(p, 12, 12), Source(2, 2));

    image->SetScaleMode(smNormal);
    image->SetBitmapAlign(baCenter); // offset (16, 12)
    p = Picture();
    EXPECT_EQ(At(p, 16, 12), Source(0, 0));
    EXPECT_EQ(At(p, 23, 17), Source(7, 5));
    EXPECT_EQ(At(p, 15, 12), RGB(0, 255, 0));

    image->SetBitmapAlign(baTile);
    p = Picture();
    EXPECT_EQ(At(p, 8, 6), Source(0, 0));
    EXPECT_EQ(At(p, 17, 13), Source(1, 1));
    EXPECT_EQ(At(p, 39, 29), Source(39 % 8, 29 % 6));
}

struct StageLog : TObject {
    std::vector<unsigned> stages;
    void Stage(TObject*, TBitmap32*, unsigned n) { stages.push_back(n); }
    int changes = 0;
    void Change(TObject*) { ++changes; }
};

TEST_F(Image32Test, PaintStagesRunInTheirOrder) {
    StageLog log;
    image->OnPaintStage = TPaintStageEvent(&log, &StageLog::Stage);
    TPaintStages* stages = image->PaintStages();
    ASSERT_EQ(stages->Count(), 5);
    stages->Add().Kind = psCustom;
    stages->Add().Kind = 99; // no executor
    stages->Add().Kind = psCustom;
    image->Invalidate();
    Picture();
    EXPECT_EQ(log.stages, (std::vector<unsigned>{5, 7}));
}

TEST_F(Image32Test, AChangedBitmapIsRepaintedWholeAndOnChangeWaitsForTheUpdate) {
    StageLog log;
    image->OnChange = TNotifyEvent(&log, &StageLog::Change);
    Fill(8, 6);
    PumpFor(50);
    ValidateRect(image->Handle(), nullptr);
    const int before = log.changes;
    image->Bitmap()->SetPixel(3, 3, 0xFFFFFFFFu);
    image->Bitmap()->Changed();
    EXPECT_EQ(log.changes, before + 1);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(image->Handle(), &update, FALSE));
    EXPECT_LE(update.left, 3);
    EXPECT_LE(update.top, 3);
    EXPECT_GE(update.right, 4);
    EXPECT_GE(update.bottom, 4);
    EXPECT_EQ(At(Picture(), 3, 3), RGB(255, 255, 255));
    image->BeginUpdate();
    image->Bitmap()->Changed();
    EXPECT_EQ(log.changes, before + 1) << "silent while an update is open";
    image->EndUpdate();
}

struct Counts : TObject {
    int changes = 0, resizes = 0, scales = 0;
    void Change(TObject*) { ++changes; }
    void Resize(TObject*) { ++resizes; }
    void Scale(TObject*) { ++scales; }
};

TEST_F(Image32Test, ScaleAndResizeNotifications) {
    Counts n;
    image->OnChange = TNotifyEvent(&n, &Counts::Change);
    image->OnBitmapResize = TNotifyEvent(&n, &Counts::Resize);
    image->OnScaleChange = TNotifyEvent(&n, &Counts::Scale);
    image->SetScale(0);
    EXPECT_FLOAT_EQ(image->Scale(), 0.001f);
    EXPECT_FLOAT_EQ(image->ScaleY(), 0.001f);
    EXPECT_EQ(n.scales, 1);
    EXPECT_EQ(n.changes, 1);
    image->SetScale(0.0005f); // the same stored value: nothing
    EXPECT_EQ(n.scales, 1);
    EXPECT_EQ(n.changes, 1);
    image->Bitmap()->SetSize(6, 4);
    EXPECT_EQ(n.resizes, 1);
    image->BeginUpdate();
    image->Bitmap()->SetSize(7, 4);
    EXPECT_EQ(n.resizes, 1) << "not while an update is open";
    image->EndUpdate();
    // AutoSize follows the bitmap, scaled in smScale.
    image->SetScale(2.0f);
    image->SetScaleMode(smScale);
    image->SetAutoSize(true);
    image->Bitmap()->SetSize(10, 5);
    EXPECT_EQ(image->Width(), 20);
    EXPECT_EQ(image->Height(), 10);
    // Freeing the control reports no resize.
    const int before = n.resizes;
    TImage32* doomed = image;
    image = nullptr;
    doomed->Free();
    EXPECT_EQ(n.resizes, before);
}

TEST_F(Image32Test, PaintOntoAndSetupBitmap) {
    Fill(4, 2);
    TBitmap32 dest;
    dest.SetSize(12, 6);
    dest.Clear(0xFF0000FFu);
    image->PaintOnto(&dest, TRect{0, 0, 8, 4}); // twice the size, the background around it
    EXPECT_EQ(dest.Pixel(0, 0), 0xFF000000u | (0u << 16));
    EXPECT_EQ(dest.Pixel(7, 3) & 0xFFFFFFu, (30u << 16) | (10u << 8));
    EXPECT_EQ(dest.Pixel(10, 5), 0xFF00FF00u) << "the control's colour (lime) beside it";
    EXPECT_EQ(image->RepaintMode(), rmFull);
    image->SetupBitmap(true, 0xFF123456u);
    EXPECT_EQ(image->Bitmap()->Width(), image->Width());
    EXPECT_EQ(image->Bitmap()->Height(), image->Height());
    EXPECT_EQ(image->Bitmap()->Pixel(5, 5), 0xFF123456u);
}

// In the direct mode a change of the bitmap adds its area, widened by the resampler's reach and
// mapped to the control, to the rectangles to repaint.
TEST_F(Image32Test, DirectModeRepaintsTheMappedArea) {
    Fill(8, 6);
    image->SetScaleMode(smStretch); // five control pixels per bitmap pixel
    image->SetRepaintMode(rmDirect);
    PumpFor(50);
    std::vector<TRect> added;
    struct Watch : TObject {
        std::vector<TRect>* out;
        TImage32* image;
        void Change(TObject*) {
            for (int i = 0; i < image->InvalidRects()->Count(); ++i)
                out->push_back(*image->InvalidRects()->Items(i));
        }
    } watch;
    watch.out = &added;
    watch.image = image;
    image->OnChange = TNotifyEvent(&watch, &Watch::Change);
    image->InvalidRects()->Clear();
    image->BeginUpdate(); // keep the rectangles: no repaint while the update is open
    image->Bitmap()->AreaChanged(TRect{3, 2, 4, 3}, 0);
    image->EndUpdate();
    ASSERT_EQ(image->InvalidRects()->Count(), 1);
    // Widened by trunc(1) + 1 = 2 bitmap pixels: (1, 0)-(6, 5), times five.
    EXPECT_EQ(*image->InvalidRects()->Items(0), (TRect{5, 0, 30, 25}));
    image->InvalidRects()->Clear();
    image->SetRepaintMode(rmFull);
}

struct MouseLog : TObject {
    std::vector<std::string> log;
    TCustomLayer* layer = reinterpret_cast<TCustomLayer*>(1);
    void Down(TObject*, TMouseButton b, TShiftState, int x, int y, TCustomLayer* l) {
        log.push_back("down" + std::to_string(int(b)) + "@" + std::to_string(x) + "," +
                      std::to_string(y));
        layer = l;
    }
    void Up(TObject*, TMouseButton b, TShiftState, int x, int y, TCustomLayer*) {
        log.push_back("up" + std::to_string(int(b)) + "@" + std::to_string(x) + "," +
                      std::to_string(y));
    }
};

TEST_F(Image32Test, MouseEventsInControlCoordinatesAndTheLeftButtonCaptures) {
    MouseLog log;
    image->OnMouseDown = TImgMouseEvent(&log, &MouseLog::Down);
    image->OnMouseUp = TImgMouseEvent(&log, &MouseLog::Up);
    HWND w = image->Handle();
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 7));
    EXPECT_EQ(GetCapture(), w);
    EXPECT_EQ(log.layer, nullptr);
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(6, 8));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 2));
    EXPECT_EQ(GetCapture(), nullptr) << "a right press does not capture";
    SendMessageA(w, WM_RBUTTONUP, 0, MAKELPARAM(1, 2));
    EXPECT_EQ(log.log, (std::vector<std::string>{"down" + std::to_string(int(mbLeft)) + "@5,7",
                                                 "up" + std::to_string(int(mbLeft)) + "@6,8",
                                                 "down" + std::to_string(int(mbRight)) + "@1,2",
                                                 "up" + std::to_string(int(mbRight)) + "@1,2"}));
}

struct Raising : TObject {
    int reported = 0;
    void Down(TObject*, TMouseButton, TShiftState, int, int, TCustomLayer*) {
        throw std::runtime_error("mouse handler failed");
    }
    void Stage(TObject*, TBitmap32*, unsigned) { throw std::runtime_error("stage failed"); }
    void Seen(TObject*, const std::exception_ptr&) { ++reported; }
};

// A raising mouse or paint handler is reported; the window procedure returns as usual.
TEST_F(Image32Test, ARaisingHandlerStaysInsideTheWindowProcedure) {
    Raising r;
    Application->OnException = TExceptionEvent(&r, &Raising::Seen);
    image->OnMouseDown = TImgMouseEvent(&r, &Raising::Down);
    SendMessageA(image->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(image->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(r.reported, 1);
    image->PaintStages()->Add().Kind = psCustom;
    image->OnPaintStage = TPaintStageEvent(&r, &Raising::Stage);
    image->Invalidate();
    UpdateWindow(image->Handle());
    EXPECT_EQ(r.reported, 2);
    Application->OnException = nullptr;
    image->OnPaintStage = nullptr;
    image->Invalidate();
    EXPECT_EQ(At(Picture(), 0, 0), RGB(0, 255, 0)) << "the next paint works";
}

// A handler that frees the control: nothing of it is touched afterwards, and the bitmap that
// was notifying outlives it until its notification has returned.
struct Freeing : TObject {
    TImage32* image = nullptr;
    void Free(TObject*) {
        if (image != nullptr) {
            TImage32* i = image;
            image = nullptr;
            i->Free();
        }
    }
};

TEST_F(Image32Test, AHandlerThatFreesTheControlIsTheLastToTouchIt) {
    Freeing f;
    f.image = image;
    image->OnBitmapResize = TNotifyEvent(&f, &Freeing::Free);
    image->Bitmap()->SetSize(5, 5);
    EXPECT_EQ(f.image, nullptr);
    image = Create<TImage32>(form); // frees the orphaned bitmap
    f.image = image;
    image->SetParent(form);
    image->OnChange = TNotifyEvent(&f, &Freeing::Free);
    image->Bitmap()->SetSize(3, 3);
    EXPECT_EQ(f.image, nullptr);
    image = nullptr;
}

// Not a check: four image controls side by side (unscaled, stretched, centred, tiled) held on
// screen for a screenshot (run with --gtest_also_run_disabled_tests).
TEST_F(Image32Test, DISABLED_Showcase) {
    form->SetBounds(100, 100, 420, 160);
    const TBitmapAlign aligns[] = {baTopLeft, baTopLeft, baCenter, baTile};
    const TScaleMode modes[] = {smNormal, smStretch, smNormal, smNormal};
    image->Free();
    image = nullptr;
    for (int k = 0; k < 4; ++k) {
        auto* shown = Create<TImage32>(form);
        shown->SetBounds(10 + k * 100, 10, 90, 90);
        shown->SetColor(clSilver);
        shown->SetParent(form);
        shown->Bitmap()->SetSize(24, 18);
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 24; ++x)
                shown->Bitmap()->SetPixel(x, y,
                                          0xFF000000u | (x * 10u) << 16 | (y * 14u) << 8 |
                                              ((x / 6 + y / 6) % 2 ? 0xC0u : 0x20u));
        shown->Bitmap()->Changed();
        shown->SetScaleMode(modes[k]);
        shown->SetBitmapAlign(aligns[k]);
    }
    PumpFor(4000);
}

} // namespace
