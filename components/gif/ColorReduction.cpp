#include "components/gif/ColorReduction.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <memory>
#include <new>

#include "framework/core/Exceptions.h"

namespace {

template <std::size_t N>
constexpr std::array<std::uint8_t, 256> NearestTable(const std::uint8_t (&levels)[N]) {
    std::array<std::uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        std::size_t best = 0;
        for (std::size_t i = 1; i < N; ++i) {
            const int d = v > levels[i] ? v - levels[i] : levels[i] - v;
            const int bestD = v > levels[best] ? v - levels[best] : levels[best] - v;
            if (d < bestD) { // strictly nearer: the lower level keeps a tie
                best = i;
            }
        }
        table[std::size_t(v)] = std::uint8_t(best);
    }
    return table;
}

// Built by the compiler: nothing to fill at start-up.
constexpr auto kNearest4 = NearestTable(TColorLevels::Levels4);
constexpr auto kNearest6 = NearestTable(TColorLevels::Levels6);
constexpr auto kNearest7 = NearestTable(TColorLevels::Levels7);
constexpr auto kNearest8 = NearestTable(TColorLevels::Levels8);
static_assert(kNearest7[64] == 1, "64 lies between 43 and 85: the lower level wins");

void SetEntry(TReducedImage& image, int i, int r, int g, int b, int reserved = 0) {
    image.Palette[i][0] = std::uint8_t(b);
    image.Palette[i][1] = std::uint8_t(g);
    image.Palette[i][2] = std::uint8_t(r);
    image.Palette[i][3] = std::uint8_t(reserved);
}

struct Rows {
    const std::uint8_t* Data;
    std::size_t InStride;
    std::size_t OutStride;
    int Width;
    int Height;
};

template <class F> void EachPixel(const Rows& rows, std::uint8_t* out, F&& map) {
    for (int y = 0; y < rows.Height; ++y) {
        const std::uint8_t* in = rows.Data + std::size_t(y) * rows.InStride;
        std::uint8_t* o = out + std::size_t(y) * rows.OutStride;
        for (int x = 0; x < rows.Width; ++x) {
            const int index = map(in[3 * x + 2], in[3 * x + 1], in[3 * x], x, y);
            assert(index >= 0 && index < 256);
            o[x] = std::uint8_t(index);
        }
    }
}

// Method 0: a popularity count over masked colours.
class Histogram {
public:
    static constexpr int kMaxEntries = 2049;
    static constexpr int kSlots = 5191;

    void Run(const Rows& rows, std::uint8_t* out, TReducedImage& image) {
        while (!Fill(rows)) {
            Coarsen();
        }
        int chosen = 0;
        for (; chosen < 256 && chosen < count_; ++chosen) {
            int best = -1;
            for (int e = 0; e < count_; ++e) {
                if (best < 0 || entries_[e].Count > entries_[best].Count) {
                    best = e;
                }
            }
            Entry& entry = entries_[best];
            SetEntry(image, chosen, entry.R, entry.G, entry.B);
            entry.Index = std::uint8_t(chosen);
            entry.Count = 0;
            entry.Chosen = true;
        }
        for (int i = chosen; i < 256; ++i) {
            SetEntry(image, i, 128, 128, 128);
        }
        for (int e = 0; e < count_; ++e) {
            Entry& entry = entries_[e];
            if (entry.Chosen) {
                continue;
            }
            int best = 0;
            int bestD = -1;
            for (int i = 0; i < chosen; ++i) {
                const int dr = entry.R - image.Palette[i][2];
                const int dg = entry.G - image.Palette[i][1];
                const int db = entry.B - image.Palette[i][0];
                const int d = dr * dr + dg * dg + db * db;
                if (bestD < 0 || d < bestD) {
                    bestD = d;
                    best = i;
                }
            }
            entry.Index = std::uint8_t(best);
        }
        image.ColorsUsed = chosen;
        EachPixel(rows, out, [&](int r, int g, int b, int, int) {
            return entries_[Find(r & maskR_, g & maskG_, b & maskB_)].Index;
        });
    }

private:
    struct Entry {
        std::uint8_t B, G, R;
        std::uint8_t Index;
        bool Chosen;
        std::uint32_t Count;
    };

    static int Hash(int r, int g, int b) { return ((r + g) * (b + g) * (r + b)) % kSlots; }

    // The entry's slot, or the empty slot where it belongs.
    int Slot(int r, int g, int b) const {
        int slot = Hash(r, g, b);
        for (;;) {
            const std::uint16_t e = slots_[slot];
            if (e == 0xFFFF || (entries_[e].R == r && entries_[e].G == g && entries_[e].B == b)) {
                return slot;
            }
            if (++slot == kSlots) {
                slot = 0;
            }
        }
    }

    int Find(int r, int g, int b) const { return slots_[Slot(r, g, b)]; }

    // False on the first colour beyond the store.
    bool Fill(const Rows& rows) {
        std::memset(slots_, 0xFF, sizeof slots_);
        count_ = 0;
        for (int y = 0; y < rows.Height; ++y) {
            const std::uint8_t* in = rows.Data + std::size_t(y) * rows.InStride;
            int lastSlot = -1;
            std::uint32_t lastKey = 0xFFFFFFFF;
            for (int x = 0; x < rows.Width; ++x) {
                const int r = in[3 * x + 2] & maskR_;
                const int g = in[3 * x + 1] & maskG_;
                const int b = in[3 * x] & maskB_;
                const std::uint32_t key = std::uint32_t(r << 16 | g << 8 | b);
                if (key == lastKey) {
                    ++entries_[slots_[lastSlot]].Count;
                    continue;
                }
                const int slot = Slot(r, g, b);
                if (slots_[slot] == 0xFFFF) {
                    if (count_ == kMaxEntries) {
                        return false;
                    }
                    entries_[count_] =
                        Entry{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), 0, false, 0};
                    slots_[slot] = std::uint16_t(count_++);
                }
                ++entries_[slots_[slot]].Count;
                lastSlot = slot;
                lastKey = key;
            }
        }
        return true;
    }

    // Blue first, then red, then green, one bit at a time.
    void Coarsen() {
        if (maskR_ < maskG_) {
            maskG_ = std::uint8_t(maskG_ << 1);
        } else if (maskB_ < maskR_) {
            maskR_ = std::uint8_t(maskR_ << 1);
        } else {
            maskB_ = std::uint8_t(maskB_ << 1);
        }
    }

    std::uint8_t maskR_ = 0xFF, maskG_ = 0xFF, maskB_ = 0xFF;
    Entry entries_[kMaxEntries];
    std::uint16_t slots_[kSlots];
    int count_ = 0;
};

// Method 1: median cut over 4096 cells of 4 bits per component.
class MedianCut {
public:
    void Run(const Rows& rows, std::uint8_t* out, TReducedImage& image,
             std::vector<std::uint16_t>& cellOfPixel) {
        for (int c = 0; c < 4096; ++c) {
            cells_[c].C[0] = std::uint8_t(c >> 8);
            cells_[c].C[1] = std::uint8_t((c >> 4) & 15);
            cells_[c].C[2] = std::uint8_t(c & 15);
        }
        std::size_t p = 0;
        for (int y = 0; y < rows.Height; ++y) {
            const std::uint8_t* in = rows.Data + std::size_t(y) * rows.InStride;
            for (int x = 0; x < rows.Width; ++x, ++p) {
                const int cell =
                    (in[3 * x + 2] >> 4) * 256 + (in[3 * x + 1] >> 4) * 16 + (in[3 * x] >> 4);
                ++cells_[cell].Count;
                cellOfPixel[p] = std::uint16_t(cell);
            }
        }
        Box& first = boxes_[0];
        for (int c = 0; c < 4096; ++c) {
            if (cells_[c].Count > 0) {
                first.Cells.push_back(std::uint16_t(c));
            }
        }
        first.Pixels = std::uint64_t(rows.Width) * std::uint64_t(rows.Height);
        for (int a = 0; a < 3; ++a) {
            first.Lower[a] = 0;
            first.Extent[a] = 255;
        }
        count_ = 1;
        while (count_ < 256 && Split()) {
        }
        for (int i = count_; i < 256; ++i) {
            SetEntry(image, i, 0, 0, 0);
        }
        for (int b = 0; b < count_; ++b) {
            const Box& box = boxes_[b];
            if (box.Cells.empty()) {
                continue;
            }
            std::uint64_t sum[3] = {};
            for (std::uint16_t c : box.Cells) {
                cells_[c].Box = std::uint8_t(b);
                for (int a = 0; a < 3; ++a) {
                    sum[a] += cells_[c].C[a];
                }
            }
            int v[3];
            for (int a = 0; a < 3; ++a) {
                v[a] = int((16 * sum[a] + 15) / box.Cells.size());
            }
            if (v[0] <= 16 && v[1] <= 16 && v[2] <= 16) {
                v[0] = v[1] = v[2] = 0;
            }
            SetEntry(image, b, v[0], v[1], v[2]);
        }
        image.ColorsUsed = count_;
        p = 0;
        for (int y = 0; y < rows.Height; ++y) {
            std::uint8_t* o = out + std::size_t(y) * rows.OutStride;
            for (int x = 0; x < rows.Width; ++x, ++p) {
                const int index = cells_[cellOfPixel[p]].Box;
                assert(index < count_);
                o[x] = std::uint8_t(index);
            }
        }
    }

private:
    struct Cell {
        std::uint8_t C[3] = {};
        std::uint32_t Count = 0;
        std::uint8_t Box = 0;
    };
    struct Box {
        int Lower[3] = {};
        int Extent[3] = {};
        std::uint64_t Pixels = 0;
        std::vector<std::uint16_t> Cells; // the box's list of cells, in order
    };

    bool Split() {
        int best = -1;
        int axis = 0;
        for (int b = 0; b < count_; ++b) {
            if (boxes_[b].Cells.size() < 2) {
                continue;
            }
            for (int a = 0; a < 3; ++a) {
                if (best < 0 || boxes_[b].Extent[a] > boxes_[best].Extent[axis]) {
                    best = b;
                    axis = a;
                }
            }
        }
        if (best < 0) {
            return false;
        }
        Box& box = boxes_[best];
        // Equal components keep cell order, so the palette never depends on
        // how the sort breaks ties.
        std::sort(box.Cells.begin(), box.Cells.end(), [&](std::uint16_t x, std::uint16_t y) {
            return cells_[x].C[axis] != cells_[y].C[axis] ? cells_[x].C[axis] < cells_[y].C[axis]
                                                          : x < y;
        });
        const std::uint64_t half = box.Pixels / 2;
        std::size_t m = 0;
        std::uint64_t sum = 0;
        while (m < box.Cells.size() && sum + cells_[box.Cells[m]].Count <= half) {
            sum += cells_[box.Cells[m]].Count;
            ++m;
        }
        m = std::clamp<std::size_t>(m, 1, box.Cells.size() - 1);
        std::uint64_t kept = 0;
        for (std::size_t i = 0; i < m; ++i) {
            kept += cells_[box.Cells[i]].Count;
        }
        Box& fresh = boxes_[count_++];
        fresh.Cells.assign(box.Cells.begin() + std::ptrdiff_t(m), box.Cells.end());
        box.Cells.resize(m);
        // Each box counts the pixels of its own cells.
        fresh.Pixels = box.Pixels - kept;
        box.Pixels = kept;
        std::copy(box.Lower, box.Lower + 3, fresh.Lower);
        std::copy(box.Extent, box.Extent + 3, fresh.Extent);
        const int upper = box.Lower[axis] + box.Extent[axis];
        fresh.Lower[axis] = 16 * cells_[fresh.Cells.front()].C[axis];
        fresh.Extent[axis] = upper - fresh.Lower[axis];
        box.Extent[axis] = 16 * cells_[box.Cells.back()].C[axis] - box.Lower[axis];
        return true;
    }

    Cell cells_[4096];
    Box boxes_[256];
    int count_ = 0;
};

template <class T> std::unique_ptr<T> MakeStore() {
    try {
        return std::make_unique<T>();
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

void CheckBytes(std::span<const std::uint8_t> bytes, std::uint64_t need) {
    if (bytes.size() != need) {
        throw EInvalidGraphic();
    }
}

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

} // namespace

const std::uint8_t* TColorLevels::Nearest4() {
    return kNearest4.data();
}
const std::uint8_t* TColorLevels::Nearest6() {
    return kNearest6.data();
}
const std::uint8_t* TColorLevels::Nearest7() {
    return kNearest7.data();
}
const std::uint8_t* TColorLevels::Nearest8() {
    return kNearest8.data();
}

std::uint64_t BmpRowSize(int bits, std::int64_t width) {
    return (std::uint64_t(bits) * std::uint64_t(width) + 31) / 32 * 4;
}

TReducedImage Reduce24To8(std::span<const std::uint8_t> pixels, int width, int height, int method) {
    if (width < 0 || height < 0 || method < rmHistogram || method > rmGrayscale) {
        throw EInvalidGraphic();
    }
    const std::uint64_t inStride = BmpRowSize(24, width);
    const std::uint64_t outStride = BmpRowSize(8, width);
    if (width > 0 && pixels.size() / inStride < std::uint64_t(height)) {
        throw EInvalidGraphic();
    }
    const std::uint64_t outSize = outStride * std::uint64_t(height);
    const std::uint64_t pixelCount = std::uint64_t(width) * std::uint64_t(height);
    if (outSize > SIZE_MAX / 2 || pixelCount > SIZE_MAX / 4) {
        throw EOutOfMemory();
    }
    TReducedImage image;
    try {
        image.Indexes.assign(std::size_t(outSize), 0);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    const Rows rows{pixels.data(), std::size_t(inStride), std::size_t(outStride), width, height};
    std::uint8_t* out = image.Indexes.data();
    switch (method) {
    case rmHistogram:
        MakeStore<Histogram>()->Run(rows, out, image);
        break;
    case rmMedianCut: {
        std::vector<std::uint16_t> cellOfPixel;
        try {
            cellOfPixel.resize(std::size_t(pixelCount));
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory();
        }
        // The boxes' cell lists grow as the cut goes: their allocations fail the same way.
        std::unique_ptr<MedianCut> cut = MakeStore<MedianCut>();
        try {
            cut->Run(rows, out, image, cellOfPixel);
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory();
        }
        break;
    }
    case rmFixed784: {
        for (int r = 0; r < 7; ++r)
            for (int g = 0; g < 8; ++g)
                for (int b = 0; b < 4; ++b)
                    SetEntry(image, 32 * r + 4 * g + b, TColorLevels::Levels7[r],
                             TColorLevels::Levels8[g], TColorLevels::Levels4[b]);
        for (int i = 224; i < 256; ++i) {
            SetEntry(image, i, 128, 128, 128, 128);
        }
        image.ColorsUsed = 224;
        EachPixel(rows, out, [](int r, int g, int b, int, int) {
            return 32 * kNearest7[r] + 4 * kNearest8[g] + kNearest4[b];
        });
        break;
    }
    case rmFixed666: {
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    SetEntry(image, 36 * r + 6 * g + b, TColorLevels::Levels6[r],
                             TColorLevels::Levels6[g], TColorLevels::Levels6[b]);
        for (int i = 216; i < 256; ++i) {
            SetEntry(image, i, 128, 128, 128, 128);
        }
        image.ColorsUsed = 216;
        EachPixel(rows, out, [](int r, int g, int b, int, int) {
            return 36 * kNearest6[r] + 6 * kNearest6[g] + kNearest6[b];
        });
        break;
    }
    case rmTripel:
        for (int i = 0; i < 64; ++i) {
            SetEntry(image, i, 4 * i, 0, 0);
            SetEntry(image, 64 + i, 0, 4 * i, 0);
            SetEntry(image, 128 + i, 0, 0, 4 * i);
            SetEntry(image, 192 + i, 0, 0, 0);
        }
        image.ColorsUsed = 192;
        EachPixel(rows, out, [](int r, int g, int b, int x, int y) {
            switch ((x + y) % 3) {
            case 0:
                return r >> 2;
            case 1:
                return 64 + (g >> 2);
            default:
                return 128 + (b >> 2);
            }
        });
        break;
    default:
        for (int i = 0; i < 256; ++i) {
            SetEntry(image, i, i, i, i);
        }
        image.ColorsUsed = 256;
        EachPixel(rows, out,
                  [](int r, int g, int b, int, int) { return (77 * r + 150 * g + 29 * b) >> 8; });
        break;
    }
    return image;
}

std::vector<std::uint8_t> BuildBmpFile(int width, int height, int bits,
                                       std::span<const std::uint8_t> palette,
                                       std::span<const std::uint8_t> rows,
                                       std::uint32_t importantColors) {
    if (width < 0 || height < 0) {
        throw EInvalidGraphic();
    }
    const std::uint64_t paletteSize = bits <= 8 ? std::uint64_t(4) << bits : 0;
    const std::uint64_t imageSize = BmpRowSize(bits, width) * std::uint64_t(height);
    CheckBytes(palette, paletteSize);
    CheckBytes(rows, imageSize);
    const std::uint64_t offset = 14 + 40 + paletteSize;
    const std::uint64_t fileSize = offset + imageSize;
    if (fileSize > 0x7FFFFFFF) {
        throw EOutOfMemory();
    }
    std::vector<std::uint8_t> b;
    try {
        b.assign(std::size_t(offset), 0);
        b.insert(b.end(), rows.begin(), rows.end());
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, std::uint32_t(fileSize));
    Put32(b, 10, std::uint32_t(offset));
    Put32(b, 14, 40);
    Put32(b, 18, std::uint32_t(width));
    Put32(b, 22, std::uint32_t(height));
    Put16(b, 26, 1);
    Put16(b, 28, std::uint32_t(bits));
    Put32(b, 34, std::uint32_t(imageSize));
    Put32(b, 50, importantColors);
    std::copy(palette.begin(), palette.end(), b.begin() + 54);
    return b;
}

std::vector<std::uint8_t> BuildReducedBmp(int width, int height, int method,
                                          const TReducedImage& image) {
    const bool counted = method == rmMedianCut || method == rmFixed784 || method == rmFixed666;
    return BuildBmpFile(width, height, 8, std::span<const std::uint8_t>(&image.Palette[0][0], 1024),
                        image.Indexes, counted ? std::uint32_t(image.ColorsUsed) : 0);
}
