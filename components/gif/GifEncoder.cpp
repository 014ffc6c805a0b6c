#include "components/gif/GifEncoder.h"

#include <cstring>
#include <memory>

#include "components/gif/GifErrors.h"
#include "components/gif/GifWriter.h"

namespace {

constexpr std::uint32_t kHashSize = 17777;
constexpr int kClearThreshold = 4094; // two codes below the 12-bit limit

// Collects codes least significant bit first and cuts them into sub-blocks.
class CodeWriter {
public:
    explicit CodeWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void Put(std::uint32_t code, int size) {
        bits_ |= std::uint64_t(code) << count_;
        count_ += size;
        while (count_ >= 8) {
            block_[fill_++] = std::uint8_t(bits_);
            bits_ >>= 8;
            count_ -= 8;
            if (fill_ == 255) {
                FlushBlock();
            }
        }
    }

    // The last partial byte, the last sub-block and the terminator.
    void Finish() {
        if (count_ > 0) {
            block_[fill_++] = std::uint8_t(bits_);
            bits_ = 0;
            count_ = 0;
            if (fill_ == 255) {
                FlushBlock();
            }
        }
        if (fill_ > 0) {
            FlushBlock();
        }
        out_.push_back(0);
    }

private:
    void FlushBlock() {
        out_.push_back(std::uint8_t(fill_));
        out_.insert(out_.end(), block_, block_ + fill_);
        fill_ = 0;
    }

    std::vector<std::uint8_t>& out_;
    std::uint64_t bits_ = 0;
    int count_ = 0;
    std::uint8_t block_[255];
    int fill_ = 0;
};

// The string table as an open-addressed hash: a slot holds (prefix << 8 |
// suffix) + 1, 0 when empty, and the code of that string.
struct StringTable {
    std::uint32_t Keys[kHashSize];
    std::uint16_t Codes[kHashSize];
    void Clear() { std::memset(Keys, 0, sizeof Keys); }
};

// The row of the source that is visual row y.
const std::uint8_t* RowAt(const GifPixelSource& source, std::int32_t y) {
    const std::size_t stored = source.TopDown ? std::size_t(y) : std::size_t(source.Height - 1 - y);
    return source.Pixels.data() + stored * source.RowSize;
}

// The row after row in the four interlace passes (every 8th from 0, every
// 8th from 4, every 4th from 2, every 2nd from 1); height or more at the end.
std::int32_t NextInterlaced(std::int32_t row, std::int32_t height, int& pass) {
    static constexpr std::int32_t kStep[4] = {8, 8, 4, 2};
    static constexpr std::int32_t kStart[4] = {0, 4, 2, 1};
    const std::int32_t next = row + kStep[pass];
    if (next < height) {
        return next;
    }
    while (++pass < 4) {
        if (kStart[pass] < height) {
            return kStart[pass];
        }
    }
    pass = 3;
    return height;
}

} // namespace

void GifEncodeLzw(const GifPixelSource& source, std::vector<std::uint8_t>& out,
                  GifProgress* progress) {
    const int depth = source.Depth;
    if ((depth != 1 && depth != 4 && depth != 8) || source.Width < 0 || source.Height < 0) {
        GifRaise(kGifEncodingError);
    }
    const std::uint64_t needRow = (std::uint64_t(source.Width) * std::uint64_t(depth) + 7) / 8;
    if (source.Height > 0 &&
        (source.RowSize < needRow ||
         std::uint64_t(source.Pixels.size()) / std::uint64_t(source.Height) < source.RowSize)) {
        GifRaise(kGifEncodingError);
    }

    // A 1-bit image still needs room for the two control codes above its colours.
    const int startSize = depth == 1 ? 3 : depth + 1;
    out.push_back(std::uint8_t(startSize - 1));
    const std::uint32_t clearCode = 1u << (startSize - 1);
    const std::uint32_t endCode = clearCode + 1;
    int codeSize = startSize;
    std::uint32_t limit = 1u << codeSize;
    std::uint32_t nextFree = endCode;

    CodeWriter writer(out);
    auto table = std::make_unique<StringTable>();
    table->Clear();
    writer.Put(clearCode, codeSize);

    std::uint32_t prefix = 0;
    std::uint32_t hash = 0;
    std::uint32_t length = 0;
    auto pixel = [&](std::uint32_t p) {
        ++length;
        if (length == 1) {
            prefix = p;
            hash = (p + 3) * 301;
            return;
        }
        hash = ((p + length + 4) * hash) % kHashSize;
        const std::uint32_t key = ((prefix << 8) | p) + 1;
        std::uint32_t slot = hash;
        for (;;) {
            const std::uint32_t k = table->Keys[slot];
            if (k == key) {
                prefix = table->Codes[slot];
                return;
            }
            if (k == 0) {
                break;
            }
            if (++slot == kHashSize) {
                slot = 0;
            }
        }
        writer.Put(prefix, codeSize);
        ++nextFree;
        table->Keys[slot] = key;
        table->Codes[slot] = std::uint16_t(nextFree);
        prefix = p;
        hash = (p + 3) * 301;
        length = 1;
        if (nextFree == limit) {
            limit <<= 1;
            ++codeSize;
        } else if (nextFree >= kClearThreshold) {
            writer.Put(prefix, codeSize);
            writer.Put(clearCode, codeSize);
            length = 0;
            nextFree = endCode;
            codeSize = startSize;
            limit = 1u << codeSize;
            table->Clear();
        }
    };

    int pass = 0;
    std::int32_t row = 0;
    for (std::int32_t done = 0; done < source.Height; ++done) {
        const std::uint8_t* bytes = RowAt(source, row);
        const std::int32_t width = source.Width;
        if (depth == 8) {
            for (std::int32_t x = 0; x < width; ++x) {
                pixel(bytes[x]);
            }
        } else if (depth == 4) {
            for (std::int32_t x = 0; x < width; ++x) {
                pixel((x & 1) ? (bytes[x >> 1] & 0x0F) : (bytes[x >> 1] >> 4));
            }
        } else {
            for (std::int32_t x = 0; x < width; ++x) {
                pixel((bytes[x >> 3] >> (7 - (x & 7))) & 1);
            }
        }
        if (progress) {
            progress->Progress(GifProgressStage::psRunning,
                               int(std::int64_t(done + 1) * 100 / source.Height), std::string());
        }
        row = source.Interlaced ? NextInterlaced(row, source.Height, pass) : row + 1;
    }
    // A clear on the very last pixel already wrote the last string.
    if (length > 0) {
        writer.Put(prefix, codeSize);
    }
    writer.Put(endCode, codeSize);
    writer.Finish();
}
