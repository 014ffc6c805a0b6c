#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Hand-made GIF files for the reader and decoder tests, and a plain LZW
// encoder (written from the format's rules, independent of the decoder) so
// that decodes can be compared pixel by pixel with the indexes put in.

using Bytes = std::vector<std::uint8_t>;

// (code, bit width) pairs packed least significant bit first.
Bytes PackCodes(const std::vector<std::pair<int, int>>& codes);

// Wraps a packed code stream as image data: the minimum code size byte,
// sub-blocks of at most blockSize bytes, the zero terminator.
Bytes ImageData(int minimumCodeSize, const Bytes& packed, int blockSize = 255);

struct LzwOptions {
    bool LeadingClear = true;
    bool ClearWhenFull = true; // else the table stays full (the decoder freezes)
    bool EndCode = true;
};

// The packed code stream of indexes (each below 2^minimumCodeSize).
Bytes LzwEncode(const Bytes& indexes, int minimumCodeSize, const LzwOptions& options = {});

// Colour table entry i of the test tables: distinct, easy to recompute.
inline std::uint8_t TestRed(int i) {
    return std::uint8_t(i * 3 + 1);
}
inline std::uint8_t TestGreen(int i) {
    return std::uint8_t(i * 5 + 2);
}
inline std::uint8_t TestBlue(int i) {
    return std::uint8_t(255 - i);
}
inline std::int32_t TestColor(int i) {
    return TestRed(i) | (TestGreen(i) << 8) | (TestBlue(i) << 16);
}

class GifBuilder {
public:
    GifBuilder& Signature(const std::string& text = "GIF89a");
    // Logical screen; with globalBits 1..8 a global table of 2^bits test colours follows.
    GifBuilder& Screen(int width, int height, int globalBits = 0, int background = 0,
                       int aspect = 0);
    GifBuilder& GraphicControl(int packed, int delay, int transparentIndex);
    GifBuilder& Comment(std::initializer_list<std::string> subBlocks);
    GifBuilder& Application(const std::string& idAndAuth,
                            std::initializer_list<std::string> subBlocks);
    GifBuilder& Loop(int count) {
        return Application("NETSCAPE2.0", {std::string{1, char(count & 0xFF), char(count >> 8)}});
    }
    GifBuilder& PlainText(std::initializer_list<std::string> subBlocks);
    // Image descriptor; with localBits 1..8 a local table follows. interlaced sets bit 6.
    GifBuilder& Descriptor(int left, int top, int width, int height, int localBits = 0,
                           bool interlaced = false);
    // A whole frame of indexes, LZW-encoded with the given minimum code size.
    GifBuilder& Frame(int width, int height, const Bytes& indexes, int minimumCodeSize,
                      int localBits = 0, bool interlaced = false);
    GifBuilder& Raw(const Bytes& bytes);
    GifBuilder& Trailer() { return Raw({0x3B}); }

    const Bytes& Data() const { return data_; }
    operator const Bytes&() const { return data_; }

private:
    void Table(int bits);
    void SubBlocks(std::initializer_list<std::string> blocks);
    Bytes data_;
};

// Reads the BMP that DecodeFrameBitmap builds.
struct BmpView {
    explicit BmpView(Bytes bytes);
    std::uint32_t U32(std::size_t offset) const;
    std::uint16_t U16(std::size_t offset) const;
    std::int32_t Width() const { return std::int32_t(U32(18)); }
    std::int32_t Height() const { return std::int32_t(U32(22)); }
    int Depth() const { return U16(28); }
    std::size_t RowSize() const { return std::size_t((Width() * Depth() + 31) / 32 * 4); }
    // The colour index at (x, y), y counted from the top.
    int Index(int x, int y) const;
    // All indexes, rows from the top.
    Bytes Indexes() const;
    Bytes bmp;
};
