// Encoding the same indexes with our writer and with giflib's encoder:
//   gif_write: case=X ours_ms=A giflib_ms=B ratio=A/B
// "image" is one 1920x1080 8-bit frame of a photograph-like picture, "animation" 50 frames of
// 480x270. Both sides start from index rows and end with a complete file in memory; each keeps
// its best of alternating runs.
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "PhotoLike.h"
#include "components/gif/ColorReduction.h"
#include "components/gif/GifWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Frames {
    int Width = 0, Height = 0;
    std::vector<Bytes> Bmps;    // 8-bit BMP files, rows bottom-up
    std::vector<Bytes> TopRows; // the same indexes, rows from the top, unpadded
    Bytes Palette;              // 256 x B, G, R, 0
};

Frames Make(int width, int height, int count) {
    Frames f;
    f.Width = width;
    f.Height = height;
    for (int i = 0; i < count; ++i) {
        const Bytes rgb = PhotoLike(width, height, unsigned(i + 1));
        const TReducedImage r = Reduce24To8(rgb, width, height, rmFixed666);
        f.Bmps.push_back(BuildReducedBmp(width, height, rmFixed666, r));
        const std::size_t stride = std::size_t(BmpRowSize(8, width));
        Bytes top(std::size_t(width) * std::size_t(height));
        for (int y = 0; y < height; ++y) {
            std::memcpy(&top[std::size_t(y) * std::size_t(width)],
                        &r.Indexes[std::size_t(height - 1 - y) * stride], std::size_t(width));
        }
        f.TopRows.push_back(std::move(top));
        if (i == 0) {
            f.Palette.assign(&r.Palette[0][0], &r.Palette[0][0] + 1024);
        }
    }
    return f;
}

std::size_t Ours(const Frames& f) {
    GifImageState image;
    image.Version = 1;
    image.Frames.resize(f.Bmps.size());
    for (std::size_t i = 0; i < f.Bmps.size(); ++i) {
        EncodeFrameFromBmp(image, image.Frames[i], f.Bmps[i]);
    }
    return GifSaveToBytes(image, nullptr).size();
}

int Write(GifFileType* file, const GifByteType* bytes, int n) {
    auto* out = static_cast<Bytes*>(file->UserData);
    out->insert(out->end(), bytes, bytes + n);
    return n;
}

std::size_t Peer(const Frames& f) {
    Bytes out;
    int error = 0;
    GifFileType* file = EGifOpen(&out, &Write, &error);
    GifColorType colors[256];
    for (int i = 0; i < 256; ++i) {
        colors[i] = {f.Palette[4 * i + 2], f.Palette[4 * i + 1], f.Palette[4 * i]};
    }
    ColorMapObject* map = GifMakeMapObject(256, colors);
    EGifPutScreenDesc(file, f.Width, f.Height, 8, 0, map);
    for (const Bytes& rows : f.TopRows) {
        EGifPutImageDesc(file, 0, 0, f.Width, f.Height, false, nullptr);
        for (int y = 0; y < f.Height; ++y) {
            EGifPutLine(file, const_cast<GifPixelType*>(&rows[std::size_t(y) * f.Width]), f.Width);
        }
    }
    EGifCloseFile(file, &error);
    GifFreeMapObject(map);
    return out.size();
}

double Ms(const std::function<std::size_t()>& work, std::size_t& size) {
    const auto start = std::chrono::steady_clock::now();
    size = work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void Race(const char* name, const Frames& f) {
    double ours = 1e300, peer = 1e300;
    std::size_t oursSize = 0, peerSize = 0;
    for (int i = 0; i < 7; ++i) {
        ours = std::min(ours, Ms([&] { return Ours(f); }, oursSize));
        peer = std::min(peer, Ms([&] { return Peer(f); }, peerSize));
    }
    std::printf("gif_write: case=%s ours_ms=%.2f giflib_ms=%.2f ratio=%.3f ours_bytes=%zu "
                "giflib_bytes=%zu\n",
                name, ours, peer, ours / peer, oursSize, peerSize);
    std::fflush(stdout);
}

} // namespace

int main() {
    Race("image", Make(1920, 1080, 1));
    Race("animation", Make(480, 270, 50));
    return 0;
}
