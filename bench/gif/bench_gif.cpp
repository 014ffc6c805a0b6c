// Decoding time of whole GIF files against giflib on the same bytes, in the same run. Both sides
// start from the file in memory and decode every frame into one byte of colour index per pixel,
// de-interlacing as they go. One line per file:
//   gif: file=X ours_ms=A giflib_ms=B ratio=A/B
// and one line of our decoding to BMP files (what the picture class does with a frame), which has
// no counterpart in giflib:
//   gif: file=X bmp_ms=C
// Ours and giflib are timed in alternating rounds and each keeps its best round, so that other work
// on the machine disturbs both alike and as little as possible. Both results are compared before
// any timing: a benchmark of a decoder that gives other pixels would be worthless.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "components/gif/GifBitmap.h"
#include "components/gif/GifLzw.h"
#include "components/gif/GifReader.h"
#include "components/gif/GifTypes.h"
#include "framework/core/Exceptions.h"

#if BENCH_WITH_GIFLIB
#include <gif_lib.h>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

// The frames of one file, top row first, as both decoders must give them.
struct Frames {
    std::vector<Bytes> pixels;
    std::vector<int> widths;
};

double Seconds(const std::function<void()>& work) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

GifOptions BenchOptions() {
    GifOptions options;
    options.LoadCorrupted = false; // a damaged file must not pass as fast
    return options;
}

// Parse, then every frame's LZW data into indexes (rows bottom-up, as the decoder lays them out).
std::size_t DecodeOurs(const Bytes& file, Bytes& pixels, Frames* keep) {
    GifImageState image;
    GifParse(file, BenchOptions(), image);
    std::size_t sum = 0;
    for (const GifFrameInfo& frame : image.Frames) {
        const GifItem& item = *frame.Item;
        const std::size_t size = std::size_t(item.Width) * std::size_t(item.Height);
        if (pixels.size() < size) {
            pixels.resize(size);
        }
        GifPixelTarget target;
        target.Pixels = std::span<std::uint8_t>(pixels.data(), size);
        target.Width = item.Width;
        target.Height = item.Height;
        target.Depth = 8;
        target.RowSize = std::size_t(item.Width);
        target.Interlaced = frame.Interlaced;
        GifDecodeLzw(*item.EncodedData, target, item.BitsPerPixel, false, nullptr);
        sum += pixels[size / 2];
        if (keep) {
            Bytes topDown(size);
            for (int y = 0; y < item.Height; ++y) {
                std::memcpy(&topDown[std::size_t(y) * item.Width],
                            &pixels[std::size_t(item.Height - 1 - y) * item.Width],
                            std::size_t(item.Width));
            }
            keep->pixels.push_back(std::move(topDown));
            keep->widths.push_back(item.Width);
        }
    }
    return sum;
}

// What the picture class does: parse, then every frame to a complete BMP file.
std::size_t DecodeOursToBmp(const Bytes& file) {
    GifImageState image;
    GifParse(file, BenchOptions(), image);
    std::size_t sum = 0;
    for (const GifFrameInfo& frame : image.Frames) {
        bool corrupted = false;
        sum += DecodeFrameBitmap(frame, BenchOptions(), corrupted).size();
    }
    return sum;
}

#if BENCH_WITH_GIFLIB
struct Reader {
    const Bytes* file;
    std::size_t at = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int n) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const std::size_t take = std::min(std::size_t(n), r->file->size() - r->at);
    std::memcpy(out, r->file->data() + r->at, take);
    r->at += take;
    return int(take);
}

// giflib's own record loop with line reads, the rows of an interlaced frame put in place.
std::size_t DecodeGiflib(const Bytes& file, Bytes& pixels, Frames* keep) {
    Reader reader{&file};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadMemory, &error);
    if (!gif) {
        std::fprintf(stderr, "gif: giflib cannot open the file (%d)\n", error);
        std::exit(1);
    }
    std::size_t sum = 0;
    bool ok = true;
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    while (ok && DGifGetRecordType(gif, &record) == GIF_OK && record != TERMINATE_RECORD_TYPE) {
        if (record == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) != GIF_OK) {
                ok = false;
                break;
            }
            const int width = gif->Image.Width;
            const int height = gif->Image.Height;
            const std::size_t size = std::size_t(width) * std::size_t(height);
            if (pixels.size() < size) {
                pixels.resize(size);
            }
            if (gif->Image.Interlace) {
                static constexpr int kStart[4] = {0, 4, 2, 1};
                static constexpr int kStep[4] = {8, 8, 4, 2};
                for (int pass = 0; pass < 4 && ok; ++pass) {
                    for (int y = kStart[pass]; y < height && ok; y += kStep[pass]) {
                        ok = DGifGetLine(gif, &pixels[std::size_t(y) * width], width) == GIF_OK;
                    }
                }
            } else {
                for (int y = 0; y < height && ok; ++y) {
                    ok = DGifGetLine(gif, &pixels[std::size_t(y) * width], width) == GIF_OK;
                }
            }
            sum += pixels[size / 2];
            if (keep) {
                keep->pixels.emplace_back(pixels.begin(), pixels.begin() + std::ptrdiff_t(size));
                keep->widths.push_back(width);
            }
        } else if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            ok = DGifGetExtension(gif, &code, &block) == GIF_OK;
            while (ok && block) {
                ok = DGifGetExtensionNext(gif, &block) == GIF_OK;
            }
        }
    }
    DGifCloseFile(gif, &error);
    if (!ok) {
        std::fprintf(stderr, "gif: giflib failed on the file\n");
        std::exit(1);
    }
    return sum;
}
#endif

bool ReadFile(const std::string& path, Bytes& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

volatile std::size_t g_sink; // keeps the decoders' work from being dropped

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> names = {"photo-1920x1080.gif", "dithered-4000x3000.gif",
                                      "animation-60.gif"};
    std::string dir = BENCH_GIF_DIR;
    if (argc > 1) { // other files: tools/bench gif DIR FILE...
        dir = argv[1];
        names.assign(argv + 2, argv + argc);
    }
    int status = 0;
    for (const std::string& name : names) {
        Bytes file;
        if (!ReadFile(dir + "/" + name, file)) {
            std::printf("gif: file=%s missing (made by building bench_gif with ImageMagick)\n",
                        name.c_str());
            status = 1;
            continue;
        }
        Bytes pixels;
        Frames ours;
        try {
            DecodeOurs(file, pixels, &ours);
        } catch (const Exception& e) {
            std::printf("gif: file=%s failed: %s\n", name.c_str(), e.Message().c_str());
            status = 1;
            continue;
        }
#if BENCH_WITH_GIFLIB
        Frames peer;
        DecodeGiflib(file, pixels, &peer);
        if (peer.pixels != ours.pixels) {
            std::printf("gif: file=%s ours and giflib give different pixels\n", name.c_str());
            status = 1;
            continue;
        }
#endif
        double bestOurs = 1e30, bestPeer = 1e30, bestBmp = 1e30;
        for (int round = 0; round < 9; ++round) {
            bestOurs =
                std::min(bestOurs, Seconds([&] { g_sink = DecodeOurs(file, pixels, nullptr); }));
#if BENCH_WITH_GIFLIB
            bestPeer =
                std::min(bestPeer, Seconds([&] { g_sink = DecodeGiflib(file, pixels, nullptr); }));
#endif
            bestBmp = std::min(bestBmp, Seconds([&] { g_sink = DecodeOursToBmp(file); }));
        }
#if BENCH_WITH_GIFLIB
        std::printf("gif: file=%s ours_ms=%.2f giflib_ms=%.2f ratio=%.2f\n", name.c_str(),
                    bestOurs * 1e3, bestPeer * 1e3, bestOurs / bestPeer);
#else
        std::printf("gif: file=%s ours_ms=%.2f giflib_ms=n/a ratio=n/a\n", name.c_str(),
                    bestOurs * 1e3);
#endif
        std::printf("gif: file=%s bmp_ms=%.2f\n", name.c_str(), bestBmp * 1e3);
        std::fflush(stdout);
    }
    return status;
}
