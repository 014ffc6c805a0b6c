#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "controls/TkNavBar_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

// One custom-draw call as the bar made it.
struct TNavDrawCall {
    TTkNavBarCustomDrawStage stage;
    TRect rect;
    int index;
    bool down;
    bool inside;
    friend bool operator==(const TNavDrawCall&, const TNavDrawCall&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const TNavDrawCall& c) {
    return os << "{stage " << int(c.stage) << ", (" << c.rect.Left << "," << c.rect.Top << ","
              << c.rect.Right << "," << c.rect.Bottom << "), index " << c.index << ", down "
              << c.down << ", inside " << c.inside << "}";
}

// Records the custom-draw calls; the stages in Own are drawn by the handler in OwnColor.
struct TNavDrawTrace {
    std::vector<TNavDrawCall> calls;
    std::vector<TTkNavBarCustomDrawStage> own;
    TColor ownColor = clLime;
    void Draw(TObject*, TCanvas* canvas, const TRect& r, TTkNavBarCustomDrawStage stage, int index,
              bool down, bool inside, bool& defaultDraw) {
        calls.push_back({stage, r, index, down, inside});
        for (TTkNavBarCustomDrawStage s : own) {
            if (s == stage) {
                defaultDraw = false;
                canvas->Brush()->SetColor(ownColor);
                canvas->FillRect(r);
            }
        }
    }
};

class NavBarPaintTest : public ControlsTest {
protected:
    TTkNavBar* MakeBar(int width = 100, int height = 200) {
        auto* bar = Create<TTkNavBar>(form);
        bar->SetBorderStyle(bsNone);
        bar->SetParent(form);
        bar->SetBounds(0, 0, width, height);
        bar->Handle();
        return bar;
    }
    // An image list whose images are squares of the given colours.
    TImageList* SolidImages(int size, std::initializer_list<TColor> colors) {
        auto* list = TCustomImageList::CreateWithSize<TImageList>(form, size, size);
        for (TColor color : colors) {
            auto* b = Create<TBitmap>();
            b->SetPixelFormat(pf24bit);
            b->SetSize(size, size);
            b->Canvas()->Brush()->SetColor(color);
            b->Canvas()->FillRect(Rect(0, 0, size, size));
            list->AddMasked(b, clFuchsia);
            b->Free();
        }
        return list;
    }
    // The bar's client area as WM_PRINTCLIENT draws it.
    struct TShot {
        std::vector<COLORREF> pixels;
        int width = 0, height = 0;
        COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
        int Count(const TRect& r, COLORREF c) const {
            int n = 0;
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x)
                    n += At(x, y) == c ? 1 : 0;
            return n;
        }
    };
    static TShot Shoot(TTkNavBar* bar) {
        const TRect client = bar->ClientRect();
        TShot shot;
        shot.width = client.Right;
        shot.height = client.Bottom;
        HWND window = bar->Handle();
        shot.pixels = DrawnPixels(
            [window](HDC dc) {
                SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
            },
            shot.width, shot.height, BLACK_BRUSH);
        return shot;
    }
    static COLORREF Rgb(TColor c) { return static_cast<COLORREF>(ColorToRGB(c)) & 0xFFFFFF; }
};
