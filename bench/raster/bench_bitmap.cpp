// Clear, SetAllAlpha and ReadDataStream of a 1920x1080 bitmap beside the floor of the same
// bytes moved by the C library (memset for the fill, memcpy for the two passes that read and
// write). One line per figure:
//   bitmap: op=X ours_ms=A floor_ms=B ratio=A/B
// Ours and the floor run in alternating batches and each keeps its best, so that other work on
// the machine disturbs both alike.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "framework/core/MemoryStream.h"
#include "raster/Bitmap32.h"
#include "raster/Startup.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr std::size_t kBytes = std::size_t{kWidth} * kHeight * 4;

using Work = std::function<void()>;

double BestMs(const Work& work) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    constexpr int kCalls = 5;
    for (int i = 0; i < kCalls; ++i)
        work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / kCalls;
}

void Race(const char* op, const Work& ours, const Work& floor) {
    for (int i = 0; i < 5; ++i) {
        ours();
        floor();
    }
    double bestOurs = 1e30, bestFloor = 1e30;
    for (int round = 0; round < 30; ++round) {
        bestOurs = std::min(bestOurs, BestMs(ours));
        bestFloor = std::min(bestFloor, BestMs(floor));
    }
    std::printf("bitmap: op=%s ours_ms=%.3f floor_ms=%.3f ratio=%.2f\n", op, bestOurs, bestFloor,
                bestOurs / bestFloor);
    std::fflush(stdout);
}

} // namespace

int main() {
    raster::Startup();
    TBitmap32* bitmap = Create<TBitmap32>();
    bitmap->SetSize(kWidth, kHeight);
    std::vector<std::uint8_t> a(kBytes, 1), b(kBytes, 2);
    std::uint32_t colour = 0xFF102030;

    Race("Clear", [&] { bitmap->Clear(colour++); },
         [&] { std::memset(a.data(), static_cast<int>(colour++ & 0xFF), kBytes); });
    Race("SetAllAlpha", [&] { bitmap->SetAllAlpha(colour++ & 0xFF); },
         [&] { std::memcpy(a.data(), b.data(), kBytes); });

    TMemoryStream blob;
    bitmap->WriteDataStream(blob);
    Race("ReadDataStream",
         [&] {
             blob.SetPosition(0);
             bitmap->ReadDataStream(blob);
         },
         [&] { std::memcpy(a.data(), static_cast<const std::uint8_t*>(blob.Memory()) + 8, kBytes); });
    bitmap->Free();
    return 0;
}
