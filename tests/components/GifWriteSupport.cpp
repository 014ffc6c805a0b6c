#include "tests/components/GifWriteSupport.h"

#include <gtest/gtest.h>

#include <random>

#include "components/gif/GifBitmap.h"
#include "components/gif/GifWriter.h"
#include "framework/core/Exceptions.h"

namespace {

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    }
}

} // namespace

Bytes MakeBmp(const BmpLayout& layout) {
    const int height = layout.Height < 0 ? -layout.Height : layout.Height;
    const std::size_t rowSize = std::size_t((layout.Width * layout.Depth + 31) / 32 * 4);
    const int entries =
        layout.Depth <= 8 ? (layout.ColorsUsed ? layout.ColorsUsed : 1 << layout.Depth) : 0;
    const std::size_t offset = 14 + std::size_t(layout.HeaderSize) + 4 * std::size_t(entries);
    Bytes b(offset + rowSize * std::size_t(height), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, std::uint32_t(b.size()));
    Put32(b, 10, std::uint32_t(offset));
    Put32(b, 14, std::uint32_t(layout.HeaderSize));
    if (layout.HeaderSize >= 40) {
        Put32(b, 18, std::uint32_t(layout.Width));
        Put32(b, 22, std::uint32_t(layout.Height));
        b[26] = 1;
        b[28] = std::uint8_t(layout.Depth);
        Put32(b, 30, std::uint32_t(layout.Compression));
        Put32(b, 34, std::uint32_t(rowSize * std::size_t(height)));
        Put32(b, 46, std::uint32_t(layout.ColorsUsed));
    }
    for (int i = 0; i < entries; ++i) {
        const std::size_t at = 14 + std::size_t(layout.HeaderSize) + 4 * std::size_t(i);
        b[at] = BmpBlue(i);
        b[at + 1] = BmpGreen(i);
        b[at + 2] = BmpRed(i);
    }
    for (int y = 0; y < height && !layout.Indexes.empty(); ++y) {
        const int stored = layout.Height < 0 ? y : height - 1 - y;
        std::uint8_t* row = b.data() + offset + std::size_t(stored) * rowSize;
        for (int x = 0; x < layout.Width; ++x) {
            const int v = layout.Indexes.at(std::size_t(y * layout.Width + x));
            if (layout.Depth == 8) {
                row[x] = std::uint8_t(v);
            } else if (layout.Depth == 4) {
                row[x / 2] |= std::uint8_t((x & 1) ? v : v << 4);
            } else if (layout.Depth == 1) {
                row[x / 8] |= std::uint8_t(v << (7 - (x & 7)));
            }
        }
    }
    return b;
}

Bytes NoiseIndexes(std::size_t count, int bits, unsigned seed) {
    std::mt19937 random(seed);
    Bytes out(count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = (i > 0 && random() % 4 == 0) ? out[i - 1] : std::uint8_t(random() % (1u << bits));
    }
    return out;
}

GifImageState EncodedImage(int width, int height, int depth, const Bytes& indexes) {
    GifImageState image;
    image.Version = 1;
    image.Frames.emplace_back();
    BmpLayout layout;
    layout.Width = width;
    layout.Height = height;
    layout.Depth = depth;
    layout.Indexes = indexes;
    EncodeFrameFromBmp(image, image.Frames.back(), MakeBmp(layout));
    return image;
}

std::vector<int> ReadCodes(const std::vector<std::uint8_t>& data) {
    Bytes packed;
    for (std::size_t pos = 1; pos < data.size() && data[pos] != 0; pos += 1 + data[pos]) {
        packed.insert(packed.end(), data.begin() + std::ptrdiff_t(pos + 1),
                      data.begin() + std::ptrdiff_t(pos + 1 + data[pos]));
    }
    const int minimum = data.at(0);
    const int clear = 1 << minimum;
    int size = minimum + 1;
    int next = clear + 2;
    bool first = true;
    std::vector<int> codes;
    std::size_t bit = 0;
    while (bit + std::size_t(size) <= packed.size() * 8) {
        int code = 0;
        for (int i = 0; i < size; ++i, ++bit) {
            code |= ((packed[bit / 8] >> (bit % 8)) & 1) << i;
        }
        codes.push_back(code);
        if (code == clear + 1) {
            break;
        }
        if (code == clear) {
            size = minimum + 1;
            next = clear + 2;
            first = true;
            continue;
        }
        if (!first && next < 4096) {
            ++next;
            if (next == (1 << size) && size < 12) {
                ++size;
            }
        }
        first = false;
    }
    return codes;
}

Bytes DecodedIndexes(const GifFrameInfo& frame) {
    bool corrupted = false;
    return BmpView(DecodeFrameBitmap(frame, GifOptions(), corrupted)).Indexes();
}

void ExpectGraphicError(const std::function<void()>& action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no exception, expected \"" << message << "\"";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message(), message);
    }
}
