// Paints 100 glyph buttons of four states into a bitmap, first with no state image made yet
// (cold), then again (warm). Prints "glyphs: cold_us=X warm_us=Y" with the medians of 5 runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "controls/TkButtonGlyph_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"

namespace {

double Microseconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
    return static_cast<double>(b.QuadPart - a.QuadPart) * 1e6 / static_cast<double>(f.QuadPart);
}

void PaintAll(std::vector<std::unique_ptr<TTkxButtonGlyph>>& glyphs, TBitmap* target) {
    int i = 0;
    for (auto& g : glyphs) {
        const int x = (i % 10) * 60, y = (i / 10) * 30;
        TRect text;
        g->RenderOwnGlyphAndCaption(target->Canvas(), Rect(x, y, x + 60, y + 30), text, DT_CENTER,
                                    static_cast<TTkButtonState>(i % 4), false, -1, -1, blGlyphLeft,
                                    "Button", {});
        ++i;
    }
}

} // namespace

int main() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    auto* target = Create<TBitmap>();
    target->SetPixelFormat(pf24bit);
    target->SetSize(600, 300);
    std::vector<double> cold, warm;
    for (int run = 0; run < 5; ++run) {
        std::vector<std::unique_ptr<TTkxButtonGlyph>> glyphs;
        for (int i = 0; i < 100; ++i) {
            auto* bmp = Create<TBitmap>();
            bmp->SetPixelFormat(pf24bit);
            bmp->Canvas()->Brush()->SetColor(clFuchsia);
            bmp->SetSize(32, 16);
            bmp->Canvas()->FillRect(Rect(0, 0, 32, 16));
            bmp->Canvas()->Brush()->SetColor(ColorFromRaw(0x010101u * static_cast<unsigned>(i)));
            bmp->Canvas()->FillRect(Rect(4, 4, 12, 12));
            glyphs.push_back(std::make_unique<TTkxButtonGlyph>());
            glyphs.back()->SetGlyph(bmp);
            bmp->Free();
        }
        LARGE_INTEGER a, b, c;
        QueryPerformanceCounter(&a);
        PaintAll(glyphs, target);
        QueryPerformanceCounter(&b);
        PaintAll(glyphs, target);
        QueryPerformanceCounter(&c);
        cold.push_back(Microseconds(a, b, f));
        warm.push_back(Microseconds(b, c, f));
    }
    std::sort(cold.begin(), cold.end());
    std::sort(warm.begin(), warm.end());
    std::printf("glyphs: cold_us=%.0f warm_us=%.0f\n", cold[2], warm[2]);
    std::fflush(stdout);
    target->Free();
    return 0;
}
