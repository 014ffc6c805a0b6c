#pragma once

// Shared pieces of the bitmap tests: start-up, a bitmap freed at the end of its scope, counters
// for every notification, and a stream over a byte vector.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/core/MemoryStream.h"
#include "raster/Bitmap32.h"
#include "raster/Startup.h"

namespace BitmapTest {

// Starts the library once for the whole test program.
class StartedTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { raster::Startup(); }
};

// A bitmap of the test's own, freed when it goes out of scope.
struct Owned {
    TBitmap32* b = Create<TBitmap32>();
    ~Owned() { b->Free(); }
    TBitmap32* operator->() const { return b; }
    TBitmap32& operator*() const { return *b; }
};

// Counts every notification a bitmap sends and keeps the areas.
struct Counters {
    int change = 0, resize = 0, handle = 0, area = 0;
    std::vector<TRect> areas;

    void OnChange(TObject*) { ++change; }
    void OnResize(TObject*) { ++resize; }
    void OnHandle(TObject*) { ++handle; }
    void OnArea(TObject*, const TRect& r, std::uint32_t) {
        ++area;
        areas.push_back(r);
    }
    void Attach(TBitmap32& b) {
        b.OnChange = TNotifyEvent(this, &Counters::OnChange);
        b.OnResize = TNotifyEvent(this, &Counters::OnResize);
        b.OnHandleChanged = TNotifyEvent(this, &Counters::OnHandle);
        b.OnAreaChanged = TAreaChangedEvent(this, &Counters::OnArea);
    }
    void Reset() { *this = Counters{}; }
};

// A memory stream holding bytes, at position 0.
inline void Fill(TMemoryStream& s, const std::vector<std::uint8_t>& bytes) {
    s.SetSize(0);
    if (!bytes.empty())
        s.WriteBuffer(bytes.data(), bytes.size());
    s.SetPosition(0);
}

// A "Data" blob: width, height, then the pixels.
inline std::vector<std::uint8_t> Blob(std::int32_t w, std::int32_t h,
                                      const std::vector<TColor32>& pixels) {
    std::vector<std::uint8_t> out(8 + pixels.size() * 4);
    std::memcpy(out.data(), &w, 4);
    std::memcpy(out.data() + 4, &h, 4);
    if (!pixels.empty())
        std::memcpy(out.data() + 8, pixels.data(), pixels.size() * 4);
    return out;
}

// Each pixel encodes its coordinates: x | y << 12 (opaque), so a copy tells where it came from.
inline void Encode(TBitmap32& b) {
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.SetPixel(x, y, 0xFF000000u | static_cast<TColor32>(x) | (static_cast<TColor32>(y) << 12));
}
inline int XOf(TColor32 c) {
    return static_cast<int>(c & 0xFFF);
}
inline int YOf(TColor32 c) {
    return static_cast<int>((c >> 12) & 0xFFF);
}

} // namespace BitmapTest
