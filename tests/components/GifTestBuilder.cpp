#include "tests/components/GifTestBuilder.h"

#include <algorithm>
#include <map>
#include <stdexcept>

Bytes PackCodes(const std::vector<std::pair<int, int>>& codes) {
    Bytes out;
    std::uint32_t bits = 0;
    int count = 0;
    for (auto [code, width] : codes) {
        bits |= std::uint32_t(code) << count;
        count += width;
        while (count >= 8) {
            out.push_back(std::uint8_t(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0) {
        out.push_back(std::uint8_t(bits));
    }
    return out;
}

Bytes ImageData(int minimumCodeSize, const Bytes& packed, int blockSize) {
    Bytes out{std::uint8_t(minimumCodeSize)};
    for (std::size_t i = 0; i < packed.size(); i += std::size_t(blockSize)) {
        const std::size_t n = std::min(std::size_t(blockSize), packed.size() - i);
        out.push_back(std::uint8_t(n));
        out.insert(out.end(), packed.begin() + std::ptrdiff_t(i),
                   packed.begin() + std::ptrdiff_t(i + n));
    }
    out.push_back(0);
    return out;
}

Bytes LzwEncode(const Bytes& indexes, int minimumCodeSize, const LzwOptions& options) {
    const int clear = 1 << minimumCodeSize;
    const int end = clear + 1;
    std::vector<std::pair<int, int>> codes;
    std::map<std::pair<int, int>, int> table;
    int size = minimumCodeSize + 1;
    int next = clear + 2;
    auto reset = [&] {
        table.clear();
        size = minimumCodeSize + 1;
        next = clear + 2;
    };
    if (options.LeadingClear) {
        codes.emplace_back(clear, size);
    }
    int current = -1;
    for (std::uint8_t k : indexes) {
        if (k >= clear) {
            throw std::logic_error("index does not fit the code size");
        }
        if (current < 0) {
            current = k;
            continue;
        }
        auto found = table.find({current, k});
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        codes.emplace_back(current, size);
        // The decoder adds its entry one code later, so the width grows once
        // the entry about to be added would not fit.
        if (next >= (1 << size) && size < 12) {
            ++size;
        }
        if (next < 4096) {
            table[{current, k}] = next++;
            if (next == 4096 && options.ClearWhenFull) {
                codes.emplace_back(clear, size);
                reset();
            }
        }
        current = k;
    }
    if (current >= 0) {
        codes.emplace_back(current, size);
        if (next >= (1 << size) && size < 12) {
            ++size;
        }
    }
    if (options.EndCode) {
        codes.emplace_back(end, size);
    }
    return PackCodes(codes);
}

GifBuilder& GifBuilder::Signature(const std::string& text) {
    data_.insert(data_.end(), text.begin(), text.end());
    return *this;
}

void GifBuilder::Table(int bits) {
    for (int i = 0; i < (1 << bits); ++i) {
        data_.push_back(TestRed(i));
        data_.push_back(TestGreen(i));
        data_.push_back(TestBlue(i));
    }
}

void GifBuilder::SubBlocks(std::initializer_list<std::string> blocks) {
    for (const std::string& block : blocks) {
        data_.push_back(std::uint8_t(block.size()));
        data_.insert(data_.end(), block.begin(), block.end());
    }
    data_.push_back(0);
}

GifBuilder& GifBuilder::Screen(int width, int height, int globalBits, int background, int aspect) {
    const int packed = globalBits > 0 ? 0x80 | 0x70 | (globalBits - 1) : 0x70;
    Raw({std::uint8_t(width), std::uint8_t(width >> 8), std::uint8_t(height),
         std::uint8_t(height >> 8), std::uint8_t(packed), std::uint8_t(background),
         std::uint8_t(aspect)});
    if (globalBits > 0) {
        Table(globalBits);
    }
    return *this;
}

GifBuilder& GifBuilder::GraphicControl(int packed, int delay, int transparentIndex) {
    return Raw({0x21, 0xF9, 4, std::uint8_t(packed), std::uint8_t(delay), std::uint8_t(delay >> 8),
                std::uint8_t(transparentIndex), 0});
}

GifBuilder& GifBuilder::Comment(std::initializer_list<std::string> subBlocks) {
    Raw({0x21, 0xFE});
    SubBlocks(subBlocks);
    return *this;
}

GifBuilder& GifBuilder::Application(const std::string& idAndAuth,
                                    std::initializer_list<std::string> subBlocks) {
    Raw({0x21, 0xFF, 11});
    std::string fixed = idAndAuth;
    fixed.resize(11, ' ');
    data_.insert(data_.end(), fixed.begin(), fixed.end());
    SubBlocks(subBlocks);
    return *this;
}

GifBuilder& GifBuilder::PlainText(std::initializer_list<std::string> subBlocks) {
    Raw({0x21, 0x01, 12, 0, 0, 0, 0, 8, 0, 8, 0, 8, 8, 1, 0});
    SubBlocks(subBlocks);
    return *this;
}

GifBuilder& GifBuilder::Descriptor(int left, int top, int width, int height, int localBits,
                                   bool interlaced) {
    int packed = interlaced ? 0x40 : 0;
    if (localBits > 0) {
        packed |= 0x80 | (localBits - 1);
    }
    Raw({0x2C, std::uint8_t(left), std::uint8_t(left >> 8), std::uint8_t(top),
         std::uint8_t(top >> 8), std::uint8_t(width), std::uint8_t(width >> 8),
         std::uint8_t(height), std::uint8_t(height >> 8), std::uint8_t(packed)});
    if (localBits > 0) {
        Table(localBits);
    }
    return *this;
}

GifBuilder& GifBuilder::Frame(int width, int height, const Bytes& indexes, int minimumCodeSize,
                              int localBits, bool interlaced) {
    Descriptor(0, 0, width, height, localBits, interlaced);
    return Raw(ImageData(minimumCodeSize, LzwEncode(indexes, minimumCodeSize)));
}

GifBuilder& GifBuilder::Raw(const Bytes& bytes) {
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    return *this;
}

BmpView::BmpView(Bytes bytes) : bmp(std::move(bytes)) {}

std::uint16_t BmpView::U16(std::size_t offset) const {
    return std::uint16_t(bmp.at(offset) | (bmp.at(offset + 1) << 8));
}

std::uint32_t BmpView::U32(std::size_t offset) const {
    return U16(offset) | (std::uint32_t(U16(offset + 2)) << 16);
}

int BmpView::Index(int x, int y) const {
    const std::size_t row = U32(10) + std::size_t(Height() - 1 - y) * RowSize();
    switch (Depth()) {
    case 8:
        return bmp.at(row + std::size_t(x));
    case 4:
        return (bmp.at(row + std::size_t(x / 2)) >> ((x & 1) ? 0 : 4)) & 0x0F;
    default:
        return (bmp.at(row + std::size_t(x / 8)) >> (7 - (x & 7))) & 1;
    }
}

Bytes BmpView::Indexes() const {
    Bytes out;
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            out.push_back(std::uint8_t(Index(x, y)));
        }
    }
    return out;
}
