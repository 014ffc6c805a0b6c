// Each reduction method against libimagequant at its default speed, both from the same
// 1920x1080 photograph-like picture to 256 colours and an index image:
//   reduce: method=X ours_ms=A peer_ms=B ratio=A/B psnr=P peer_psnr=Q
// Our side takes the 24-bit rows; the peer takes the same pixels as RGBA prepared beforehand.
// Each keeps its best of a few runs.
#include <libimagequant.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "PhotoLike.h"
#include "components/gif/ColorReduction.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

double Psnr(const std::vector<std::uint8_t>& rgb, const std::vector<std::uint8_t>& indexes,
            std::size_t indexStride, const std::uint8_t (*paletteBgr)[4]) {
    const std::size_t stride = std::size_t(BmpRowSize(24, kWidth));
    double sum = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t* p = &rgb[std::size_t(y) * stride + 3 * std::size_t(x)];
            const std::uint8_t* q =
                paletteBgr[indexes[std::size_t(y) * indexStride + std::size_t(x)]];
            for (int c = 0; c < 3; ++c) {
                const double d = double(p[c]) - q[c];
                sum += d * d;
            }
        }
    }
    const double mse = sum / (3.0 * kWidth * kHeight);
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

double Now() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

int main() {
    const std::vector<std::uint8_t> rgb = PhotoLike(kWidth, kHeight, 7);
    const std::size_t stride = std::size_t(BmpRowSize(24, kWidth));
    // The peer's input: the same picture top row first, as RGBA.
    std::vector<std::uint8_t> rgba(std::size_t(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t* p =
                &rgb[std::size_t(kHeight - 1 - y) * stride + 3 * std::size_t(x)];
            std::uint8_t* q = &rgba[(std::size_t(y) * kWidth + std::size_t(x)) * 4];
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
            q[3] = 255;
        }
    }
    double peerMs = 1e300;
    double peerPsnr = 0;
    for (int run = 0; run < 3; ++run) {
        std::vector<std::uint8_t> out(std::size_t(kWidth) * kHeight);
        const double start = Now();
        liq_attr* attr = liq_attr_create();
        liq_image* image = liq_image_create_rgba(attr, rgba.data(), kWidth, kHeight, 0);
        liq_result* result = nullptr;
        liq_image_quantize(image, attr, &result);
        liq_write_remapped_image(result, image, out.data(), out.size());
        const liq_palette* palette = liq_get_palette(result);
        peerMs = std::min(peerMs, Now() - start);
        std::uint8_t bgr[256][4] = {};
        for (unsigned i = 0; i < palette->count; ++i) {
            bgr[i][0] = palette->entries[i].b;
            bgr[i][1] = palette->entries[i].g;
            bgr[i][2] = palette->entries[i].r;
        }
        // Flip the peer's rows into our order for the comparison.
        std::vector<std::uint8_t> flipped(out.size());
        for (int y = 0; y < kHeight; ++y) {
            std::copy_n(&out[std::size_t(kHeight - 1 - y) * kWidth], kWidth,
                        &flipped[std::size_t(y) * kWidth]);
        }
        peerPsnr = Psnr(rgb, flipped, kWidth, bgr);
        liq_result_destroy(result);
        liq_image_destroy(image);
        liq_attr_destroy(attr);
    }
    const char* names[] = {"histogram", "mediancut", "fixed784", "fixed666", "tripel", "grayscale"};
    for (int method = 0; method <= 5; ++method) {
        double ours = 1e300;
        TReducedImage reduced;
        for (int run = 0; run < 3; ++run) {
            const double start = Now();
            reduced = Reduce24To8(rgb, kWidth, kHeight, method);
            ours = std::min(ours, Now() - start);
        }
        const double psnr =
            Psnr(rgb, reduced.Indexes, std::size_t(BmpRowSize(8, kWidth)), reduced.Palette);
        std::printf("reduce: method=%s ours_ms=%.2f peer_ms=%.2f ratio=%.3f psnr=%.2f "
                    "peer_psnr=%.2f\n",
                    names[method], ours, peerMs, ours / peerMs, psnr, peerPsnr);
        std::fflush(stdout);
    }
    return 0;
}
