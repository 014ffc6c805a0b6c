// The resampling forms against pixman on the same pixels, in one run:
//   kernel: KernelResample with the Lanczos kernel, 3840 x 2160 -> 1920 x 1080, against pixman's
//           separable convolution with its Lanczos-3 kernel;
//   linear: StretchLinear 960 x 540 -> 1920 x 1080, against pixman's bilinear filter;
//   nearest: StretchNearest 1920 x 1080 -> 125 x 92, against pixman's nearest filter.
// One line per figure: "resample: op=X ours_ms=A pixman_ms=B ratio=B/A" (above 1: faster than
// pixman). Each side keeps its best of several runs, taken in turns.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>

#include "raster/Bitmap32.h"
#include "raster/BitmapStorage.h"
#include "raster/KernelResample.h"
#include "raster/Kernels.h"
#include "raster/Startup.h"
#include "raster/Transfer.h"

#if BENCH_WITH_PIXMAN
#include <pixman.h>
#endif

namespace {

using Work = std::function<void()>;

double Milliseconds(const Work& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void Race(const char* op, int runs, const Work& ours, const Work& peer) {
    ours();
    if (peer)
        peer();
    double bestOurs = 1e30, bestPeer = 1e30;
    for (int i = 0; i < runs; ++i) {
        bestOurs = std::min(bestOurs, Milliseconds(ours));
        if (peer)
            bestPeer = std::min(bestPeer, Milliseconds(peer));
    }
    if (peer)
        std::printf("resample: op=%s ours_ms=%.3f pixman_ms=%.3f ratio=%.2f\n", op, bestOurs,
                    bestPeer, bestPeer / bestOurs);
    else
        std::printf("resample: op=%s ours_ms=%.3f\n", op, bestOurs);
    std::fflush(stdout);
}

std::unique_ptr<TBitmap32> Photo(int w, int h) {
    auto b = std::make_unique<TBitmap32>(new THeapStorage);
    b->SetSize(w, h);
    std::mt19937 rng(1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->SetPixel(
                x, y, 0xFF000000u | ((x * 255 / w) << 16) | ((y * 255 / h) << 8) | (rng() & 0x3F));
    return b;
}

#if BENCH_WITH_PIXMAN
struct TPixmanPair {
    pixman_image_t* src;
    pixman_image_t* dst;
    TPixmanPair(TBitmap32& s, TBitmap32& d) {
        src = pixman_image_create_bits(PIXMAN_a8r8g8b8, s.Width(), s.Height(), s.Bits(),
                                       s.Width() * 4);
        dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, d.Width(), d.Height(), d.Bits(),
                                       d.Width() * 4);
        pixman_transform_t t;
        pixman_transform_init_scale(&t, pixman_double_to_fixed(double(s.Width()) / d.Width()),
                                    pixman_double_to_fixed(double(s.Height()) / d.Height()));
        pixman_image_set_transform(src, &t);
    }
    ~TPixmanPair() {
        pixman_image_unref(src);
        pixman_image_unref(dst);
    }
    void Run(int w, int h) {
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, w, h);
    }
};
#endif

} // namespace

int main() {
    raster::Startup();
    {
        auto src = Photo(3840, 2160);
        TBitmap32 dst(new THeapStorage);
        dst.SetSize(1920, 1080);
        TLanczosKernel lanczos;
        Work peer;
#if BENCH_WITH_PIXMAN
        TBitmap32 theirs(new THeapStorage);
        theirs.SetSize(1920, 1080);
        TPixmanPair pair(*src, theirs);
        int n = 0;
        pixman_fixed_t* params = pixman_filter_create_separable_convolution(
            &n, pixman_double_to_fixed(2.0), pixman_double_to_fixed(2.0), PIXMAN_KERNEL_IMPULSE,
            PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_LANCZOS3, PIXMAN_KERNEL_LANCZOS3, 4, 4);
        pixman_image_set_filter(pair.src, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, n);
        free(params);
        peer = [&] { pair.Run(1920, 1080); };
#endif
        Race(
            "kernel_lanczos_4k_to_hd", 5,
            [&] {
                KernelResample(&dst, dst.WholeRect(), dst.WholeRect(), src.get(), src->WholeRect(),
                               lanczos, dmOpaque, {});
            },
            peer);
    }
    {
        auto src = Photo(960, 540);
        TBitmap32 dst(new THeapStorage);
        dst.SetSize(1920, 1080);
        Work peer;
#if BENCH_WITH_PIXMAN
        TBitmap32 theirs(new THeapStorage);
        theirs.SetSize(1920, 1080);
        TPixmanPair pair(*src, theirs);
        pixman_image_set_filter(pair.src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
        peer = [&] { pair.Run(1920, 1080); };
#endif
        Race(
            "linear_2x_to_hd", 20,
            [&] {
                StretchLinear(&dst, dst.WholeRect(), dst.WholeRect(), src.get(), src->WholeRect(),
                              dmOpaque, {});
            },
            peer);
    }
    {
        auto src = Photo(1920, 1080);
        TBitmap32 dst(new THeapStorage);
        dst.SetSize(125, 92);
        Work peer;
#if BENCH_WITH_PIXMAN
        TBitmap32 theirs(new THeapStorage);
        theirs.SetSize(125, 92);
        TPixmanPair pair(*src, theirs);
        pixman_image_set_filter(pair.src, PIXMAN_FILTER_NEAREST, nullptr, 0);
        peer = [&] { pair.Run(125, 92); };
#endif
        Race(
            "nearest_hd_to_preview", 200,
            [&] {
                StretchNearest(&dst, dst.WholeRect(), dst.WholeRect(), src.get(), src->WholeRect(),
                               dmOpaque, {});
            },
            peer);
    }
    return 0;
}
