#include "components/gif/GifLzw.h"

#include <algorithm>

#include "components/gif/GifErrors.h"
#include "framework/core/Exceptions.h"

namespace {

constexpr int kMaxCodeSize = 12;
constexpr int kTableSize = 1 << kMaxCodeSize;
// A valid chain is at most kTableSize - 2 codes long; one longer has a cycle.
constexpr int kMaxChain = kTableSize;

// Codes least significant bit first out of the sub-blocks that follow the
// minimum code size byte. Zero-size sub-blocks are skipped; the data's end
// is reported, never read past.
class CodeReader {
public:
    explicit CodeReader(std::span<const std::uint8_t> data)
        : p_(data.data()), end_(data.data() + data.size()) {}

    // The next code of codeSize bits, or -1 when the data ends first.
    int Next(int codeSize) {
        while (bitCount_ < codeSize) {
            if (blockLeft_ == 0) {
                if (p_ == end_) {
                    return -1;
                }
                blockLeft_ = *p_++;
                continue;
            }
            if (p_ == end_) {
                return -1;
            }
            bits_ |= std::uint32_t(*p_++) << bitCount_;
            bitCount_ += 8;
            --blockLeft_;
        }
        const int code = int(bits_ & ((1u << codeSize) - 1));
        bits_ >>= codeSize;
        bitCount_ -= codeSize;
        return code;
    }

    const std::uint8_t* Position() const { return p_; }

private:
    const std::uint8_t* p_;
    const std::uint8_t* end_;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
    unsigned blockLeft_ = 0;
};

// Puts pixel values in output order; everything after the last row is dropped.
// The depth is a template argument so the per-pixel path has no switch.
template <int Depth> class PixelWriter {
public:
    explicit PixelWriter(const GifPixelTarget& target) : t_(target) { SelectLine(); }

    bool Done() const { return row_ >= t_.Height; }

    void Put(unsigned value) {
        if (row_ >= t_.Height) {
            return;
        }
        if constexpr (Depth == 8) {
            line_[x_] = std::uint8_t(value);
        } else if constexpr (Depth == 4) {
            if ((x_ & 1) == 0) {
                line_[x_ >> 1] = std::uint8_t(value << 4);
            } else {
                line_[x_ >> 1] |= std::uint8_t(value & 0x0F);
            }
        } else {
            if ((x_ & 7) == 0) {
                line_[x_ >> 3] = std::uint8_t((value & 1) << 7);
            } else {
                line_[x_ >> 3] |= std::uint8_t((value & 1) << (7 - (x_ & 7)));
            }
        }
        if (++x_ == t_.Width) {
            x_ = 0;
            row_ = t_.Interlaced ? NextInterlacedRow(row_, t_.Height, pass_) : row_ + 1;
            SelectLine();
        }
    }

private:
    void SelectLine() {
        if (row_ < t_.Height) {
            line_ = t_.Pixels.data() + std::size_t(t_.Height - 1 - row_) * t_.RowSize;
        }
    }

    const GifPixelTarget& t_;
    std::uint8_t* line_ = nullptr;
    std::int32_t x_ = 0;
    std::int32_t row_ = 0;
    int pass_ = 0;
};

} // namespace

std::int32_t NextInterlacedRow(std::int32_t row, std::int32_t height, int& pass) {
    static constexpr std::int32_t kStep[4] = {8, 8, 4, 2};
    static constexpr std::int32_t kStart[4] = {0, 4, 2, 1};
    if (pass < 0 || pass > 3) {
        return height;
    }
    const std::int32_t next = row + kStep[pass];
    if (next < height) {
        return next;
    }
    while (++pass < 4) {
        if (kStart[pass] < height) {
            return kStart[pass];
        }
    }
    return height;
}

namespace {

template <int Depth>
bool Decode(std::span<const std::uint8_t> data, const GifPixelTarget& target, int bitsPerPixel,
            bool loadCorrupted, GifProgress* progress) {
    bool corrupt = false;
    if (data.empty()) {
        if (!loadCorrupted) {
            GifRaise(kGifReadError);
        }
        return true;
    }
    int minimum = data[0];
    if (minimum < 2 || minimum > 9) {
        if (!loadCorrupted) {
            GifRaise(kGifCodeSizeRange);
        }
        corrupt = true;
        minimum = std::clamp(minimum, 2, 9);
    }
    const unsigned pixelMask = (1u << std::clamp(bitsPerPixel, 1, 8)) - 1;
    const int clearCode = 1 << minimum;
    const int endCode = clearCode + 1;
    const int firstFree = clearCode + 2;
    int codeSize = minimum + 1;
    int codeLimit = 1 << codeSize;
    int freeCode = firstFree;
    bool frozen = false;
    // A stream may begin without a clear code; it starts as if after one.
    bool afterClear = true;
    int oldCode = 0;
    unsigned lastPixel = 0;

    std::uint16_t prefix[kTableSize] = {};
    std::uint8_t suffix[kTableSize] = {};
    std::uint8_t stack[kMaxChain + 1];

    CodeReader reader(data.subspan(1));
    PixelWriter<Depth> out(target);
    const std::size_t total = data.size();
    int lastPercent = -1;

    while (!out.Done()) {
        const int code = reader.Next(codeSize);
        if (progress) {
            const int percent = int(std::size_t(reader.Position() - data.data()) * 100 / total);
            if (percent != lastPercent) {
                lastPercent = percent;
                progress->Progress(GifProgressStage::psRunning, percent, std::string());
            }
        }
        if (code < 0) {
            if (!loadCorrupted) {
                GifRaise(kGifReadError);
            }
            corrupt = true;
            break;
        }
        if (code == endCode) {
            break;
        }
        if (code == clearCode) {
            codeSize = minimum + 1;
            codeLimit = 1 << codeSize;
            freeCode = firstFree;
            frozen = false;
            afterClear = true;
            continue;
        }
        if (afterClear) {
            afterClear = false;
            oldCode = code;
            lastPixel = unsigned(code) & pixelMask;
            out.Put(lastPixel);
            continue;
        }

        const int inCode = code;
        int walk = code;
        int depth = 0;
        if (walk >= freeCode) {
            // The code being defined right now: the previous string plus its own first pixel.
            walk = oldCode;
            stack[depth++] = std::uint8_t(lastPixel);
        }
        // Table codes start at the clear code whatever the colour depth; codes
        // between the depth's literals and the clear code are literals too.
        while (walk >= clearCode) {
            if (depth >= kMaxChain) {
                if (!loadCorrupted) {
                    GifRaise(kGifCorruptData);
                }
                corrupt = true;
                break;
            }
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        if (corrupt) {
            break;
        }
        lastPixel = unsigned(walk) & pixelMask;
        stack[depth++] = std::uint8_t(lastPixel);
        while (depth > 0) {
            out.Put(stack[--depth]);
        }
        if (!frozen) {
            prefix[freeCode] = std::uint16_t(oldCode);
            suffix[freeCode] = std::uint8_t(lastPixel);
            if (++freeCode >= codeLimit) {
                if (codeSize < kMaxCodeSize) {
                    ++codeSize;
                    codeLimit <<= 1;
                } else {
                    frozen = true; // until the next clear code
                }
            }
        }
        oldCode = inCode;
    }
    return corrupt;
}

} // namespace

bool GifDecodeLzw(std::span<const std::uint8_t> data, const GifPixelTarget& target,
                  int bitsPerPixel, bool loadCorrupted, GifProgress* progress) {
    if (target.Width <= 0 || target.Height <= 0) {
        return false; // nothing to write: a zero-area frame stays empty
    }
    Assert(target.Depth == 1 || target.Depth == 4 || target.Depth == 8, "GIF pixel depth");
    Assert(std::uint64_t(target.Width) * std::uint64_t(target.Depth) <=
                   std::uint64_t(target.RowSize) * 8 &&
               std::uint64_t(target.RowSize) * std::uint64_t(target.Height) <= target.Pixels.size(),
           "GIF pixel buffer too small");
    switch (target.Depth) {
    case 8:
        return Decode<8>(data, target, bitsPerPixel, loadCorrupted, progress);
    case 4:
        return Decode<4>(data, target, bitsPerPixel, loadCorrupted, progress);
    default:
        return Decode<1>(data, target, bitsPerPixel, loadCorrupted, progress);
    }
}
