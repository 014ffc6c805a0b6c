// Throughput of the bound row blends and of the fill on 1920-pixel rows, beside the peers: pixman's
// OVER on the same pixels (when built with pixman) and memset for the fill. One line per figure:
//   blend: op=X ours_mpix=A pixman_mpix=B ratio=A/B
// Ours and the peer are timed in alternating batches and each keeps its best batch, so that other
// work on the machine disturbs both alike and as little as possible.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "raster/Bindings.h"
#include "raster/Blend.h"
#include "raster/LowLevel.h"

#if BENCH_WITH_PIXMAN
#include <pixman.h>
#endif

namespace {

constexpr int kWidth = 1920;
constexpr int kRows = 32; // 240 KiB per picture: source and destination stay in the L2 cache
constexpr int kPixels = kWidth * kRows;

using Work = std::function<void()>;

double BatchSeconds(const Work& work) {
    using Clock = std::chrono::steady_clock;
    constexpr int kCalls = 10;
    const auto start = Clock::now();
    for (int i = 0; i < kCalls; ++i) {
        work();
    }
    return std::chrono::duration<double>(Clock::now() - start).count() / kCalls;
}

// Mpixel/s of ours and of the peer (0 when there is none).
struct Figures {
    double ours = 0, peer = 0;
};

Figures Race(const Work& ours, const Work& peer) {
    for (int i = 0; i < 20; ++i) { // warm the caches and the branch predictors
        ours();
        if (peer) {
            peer();
        }
    }
    double bestOurs = 1e30, bestPeer = 1e30;
    for (int round = 0; round < 60; ++round) {
        bestOurs = std::min(bestOurs, BatchSeconds(ours));
        if (peer) {
            bestPeer = std::min(bestPeer, BatchSeconds(peer));
        }
    }
    Figures f;
    f.ours = kPixels / bestOurs / 1e6;
    f.peer = peer ? kPixels / bestPeer / 1e6 : 0;
    return f;
}

void Report(const char* op, const char* peerName, Figures f) {
    if (f.peer > 0) {
        std::printf("blend: op=%s ours_mpix=%.0f %s_mpix=%.0f ratio=%.2f\n", op, f.ours, peerName,
                    f.peer, f.ours / f.peer);
    } else {
        std::printf("blend: op=%s ours_mpix=%.0f %s_mpix=n/a ratio=n/a\n", op, f.ours, peerName);
    }
    std::fflush(stdout);
}

std::uint32_t Next(std::uint32_t& x) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
}

// Every channel random: alphas spread evenly over 0-255, so the clear and opaque shortcuts of
// either library come up no more than chance allows.
std::vector<TColor32> RandomPixels(std::uint32_t seed) {
    std::vector<TColor32> v(kPixels);
    for (auto& c : v) {
        c = Next(seed);
    }
    return v;
}

// Like a sprite or an anti-aliased picture: runs of 16 to 79 clear, opaque or translucent pixels.
std::vector<TColor32> RunPixels(std::uint32_t seed) {
    std::vector<TColor32> v(kPixels);
    for (int i = 0; i < kPixels;) {
        const int run = 16 + static_cast<int>(Next(seed) % 64);
        const std::uint32_t kind = Next(seed) % 3;
        for (int k = 0; k < run && i < kPixels; ++k, ++i) {
            const TColor32 c = Next(seed);
            v[i] = kind == 0 ? c & 0x00FFFFFF : kind == 1 ? c | 0xFF000000 : c;
        }
    }
    return v;
}

const char* FormName() {
    const TCpuFeatures& f = BoundFeatures();
    if (!f.mmx) {
        return "plain";
    }
    return RASTER_SSE2_FORMS && f.sse2 ? "sse2" : "mmx";
}

// A source and a destination picture with their rows.
struct Pictures {
    std::vector<TColor32> src, dst;
    const std::vector<TColor32>* fresh = nullptr; // copied into dst before each pass
    Work EachRow(void (*row)(const TColor32*, TColor32*)) {
        return [this, row] {
            if (fresh) {
                std::memcpy(dst.data(), fresh->data(), kPixels * sizeof(TColor32));
            }
            for (int y = 0; y < kRows; ++y) {
                row(src.data() + y * kWidth, dst.data() + y * kWidth);
            }
        };
    }
};

#if BENCH_WITH_PIXMAN
// pixman's OVER of a source picture (optionally through a solid mask) onto a destination, in one
// call for the whole picture as pixman is meant to be used.
class PixmanOver {
public:
    PixmanOver(std::vector<TColor32> src, std::vector<TColor32> dst, int maskAlpha,
               const std::vector<TColor32>* fresh)
        : src_(std::move(src)), dst_(std::move(dst)), fresh_(fresh) {
        s_ = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kRows, src_.data(), kWidth * 4);
        d_ = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kRows, dst_.data(), kWidth * 4);
        if (maskAlpha >= 0) {
            const pixman_color_t c = {0, 0, 0, static_cast<std::uint16_t>(maskAlpha * 257)};
            m_ = pixman_image_create_solid_fill(&c);
        }
    }
    ~PixmanOver() {
        if (m_) {
            pixman_image_unref(m_);
        }
        pixman_image_unref(d_);
        pixman_image_unref(s_);
    }
    PixmanOver(const PixmanOver&) = delete;
    PixmanOver& operator=(const PixmanOver&) = delete;
    Work Run() {
        return [this] {
            if (fresh_) {
                std::memcpy(dst_.data(), fresh_->data(), kPixels * sizeof(TColor32));
            }
            pixman_image_composite32(PIXMAN_OP_OVER, s_, m_, d_, 0, 0, 0, 0, 0, 0, kWidth, kRows);
        };
    }

private:
    std::vector<TColor32> src_, dst_;
    const std::vector<TColor32>* fresh_;
    pixman_image_t* s_ = nullptr;
    pixman_image_t* d_ = nullptr;
    pixman_image_t* m_ = nullptr;
};
#endif

} // namespace

int main() {
    StartPrimitives();
    std::printf("blend: forms=%s width=%d rows=%d\n", FormName(), kWidth, kRows);
    std::fflush(stdout);

    const std::vector<TColor32> src = RandomPixels(0x12345678);
    const std::vector<TColor32> dst = RandomPixels(0x9ABCDEF0);
    const std::vector<TColor32> runs = RunPixels(0x2468ACE1);
    constexpr int kMaster = 200;

    struct Case {
        const char* op;
        const std::vector<TColor32>* src;
        void (*row)(const TColor32*, TColor32*);
        int maskAlpha; // pixman's mask for the peer, -1 for none
        // Merging over the same background again and again makes it opaque, which the merge
        // then blends; these passes start from the translucent background each time (both
        // sides pay the copy).
        bool freshBackground;
    };
    const Case cases[] = {
        {"BlendRow", &src, [](const TColor32* s, TColor32* d) { BlendRow(s, d, kWidth); }, -1,
         false},
        {"BlendRowMaster", &src,
         [](const TColor32* s, TColor32* d) { BlendRowMaster(s, d, kWidth, kMaster); }, kMaster,
         false},
        {"MergeRow", &src, [](const TColor32* s, TColor32* d) { MergeRow(s, d, kWidth); }, -1,
         true},
        {"MergeRowMaster", &src,
         [](const TColor32* s, TColor32* d) { MergeRowMaster(s, d, kWidth, kMaster); }, kMaster,
         true},
        {"BlendRowRuns", &runs, [](const TColor32* s, TColor32* d) { BlendRow(s, d, kWidth); }, -1,
         false},
    };
    for (const Case& c : cases) {
        const std::vector<TColor32>* fresh = c.freshBackground ? &dst : nullptr;
        Pictures ours{*c.src, dst, fresh};
        Work peerWork;
#if BENCH_WITH_PIXMAN
        PixmanOver pixman(*c.src, dst, c.maskAlpha, fresh);
        peerWork = pixman.Run();
#endif
        Report(c.op, "pixman", Race(ours.EachRow(c.row), peerWork));
    }

    std::vector<TColor32> cells(kPixels);
    const Work fill = [&] {
        for (int y = 0; y < kRows; ++y) {
            Fill32(cells.data() + y * kWidth, kWidth, 0x80112233u + y);
        }
    };
    const Work memsetFill = [&] {
        for (int y = 0; y < kRows; ++y) {
            std::memset(cells.data() + y * kWidth, 0x40 + y, kWidth * sizeof(TColor32));
        }
    };
    Report("Fill32", "memset", Race(fill, memsetFill));
    return 0;
}
