#include "framework/graphics/BmpCodec.h"

#include <cstring>

#include "framework/core/Exceptions.h"

// Every offset below is checked as "n > size - offset" against the bytes that
// remain, never as "offset + n > size", so no sum can wrap; sizes are formed
// in 64 bits and checked against the limit before anything is allocated.

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitFields = 3;
constexpr std::uint32_t kBiAlphaBitFields = 6;
constexpr int kMaxDimension = 0x8000 * 2;  // 65536: far above any screen, far below overflow

[[noreturn]] void Invalid() { throw EInvalidGraphic(); }

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::uint64_t StrideOf(std::uint64_t width, unsigned bitCount) { return ((width * bitCount + 31) / 32) * 4; }

// The fields of every header form, widened to the 40-byte Windows layout.
struct Header {
    std::uint32_t size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    unsigned bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t sizeImage = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    bool hasMasks = false;
    unsigned paletteEntrySize = 4;
};

// One colour channel of a bit-field pixel: where it sits and how to widen it to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    unsigned shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (mask == 0) return;
        while (((mask >> shift) & 1u) == 0) ++shift;
        max = mask >> shift;
    }
    std::uint8_t Extract(std::uint32_t pixel) const {
        if (max == 0) return 0;
        const std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }
};

Header ReadHeader(const std::uint8_t* data, std::size_t size, std::size_t at) {
    Header h;
    if (size - at < 4) Invalid();
    h.size = Le32(data + at);
    if (h.size < 12 || (h.size > 12 && h.size < 16) || h.size > 4096) Invalid();
    if (h.size > size - at) Invalid();
    const std::uint8_t* p = data + at;
    if (h.size == 12) {
        h.width = Le16(p + 4);
        h.height = Le16(p + 6);
        h.bitCount = Le16(p + 10);
        h.paletteEntrySize = 3;
        return h;
    }
    // The forms between 16 and 40 bytes (OS/2 2.x short headers) leave the later fields zero.
    std::uint8_t full[56] = {};
    std::memcpy(full, p, h.size < sizeof full ? h.size : sizeof full);
    h.width = static_cast<std::int32_t>(Le32(full + 4));
    h.height = static_cast<std::int32_t>(Le32(full + 8));
    h.bitCount = Le16(full + 14);
    h.compression = Le32(full + 16);
    h.sizeImage = Le32(full + 20);
    h.clrUsed = Le32(full + 32);
    if (h.compression == kBiBitFields || h.compression == kBiAlphaBitFields) {
        // OS/2 headers shorter than 40 bytes give compression 3 another meaning.
        if (h.size < 40) Invalid();
        if (h.size >= 52) {
            // V2 and later headers hold the masks themselves, V3 and later the alpha mask too.
            for (unsigned i = 0; i < 3; ++i) h.masks[i] = Le32(full + 40 + 4 * i);
            if (h.size >= 56) h.masks[3] = Le32(full + 52);
        } else {
            // A 40-byte header: the masks follow it, and the palette follows them.
            const unsigned maskCount = h.compression == kBiAlphaBitFields ? 4 : 3;
            const std::size_t masksAt = at + h.size;
            if (masksAt > size || 4 * maskCount > size - masksAt) Invalid();
            for (unsigned i = 0; i < maskCount; ++i) h.masks[i] = Le32(data + masksAt + 4 * i);
            h.size += 4 * maskCount;
        }
        h.hasMasks = true;
    }
    return h;
}

void CheckGeometry(const Header& h, std::uint64_t maxBytes, bool& topDown, int& width, int& height) {
    if (h.width <= 0 || h.width > kMaxDimension) Invalid();
    if (h.height == 0 || h.height > kMaxDimension || h.height < -kMaxDimension) Invalid();
    topDown = h.height < 0;
    width = static_cast<int>(h.width);
    height = static_cast<int>(topDown ? -h.height : h.height);
    const unsigned outBits = h.bitCount == 16 ? 24 : h.bitCount;
    if (StrideOf(width, outBits) * static_cast<std::uint64_t>(height) > maxBytes) Invalid();
}

void ReadPalette(const Header& h, const std::uint8_t* data, std::size_t at, std::size_t entries,
                 TBmpImage& image) {
    for (std::size_t i = 0; i < entries && i < image.Palette.size(); ++i) {
        const std::uint8_t* e = data + at + i * h.paletteEntrySize;
        image.Palette[i] = static_cast<std::uint32_t>(e[0]) | (static_cast<std::uint32_t>(e[1]) << 8) |
                           (static_cast<std::uint32_t>(e[2]) << 16);
    }
}

// Writes one index of a 4- or 8-bit RLE image; pixels outside the image are dropped.
void PutIndex(TBmpImage& image, int x, int y, unsigned value) {
    if (x < 0 || y < 0 || x >= image.Width || y >= image.Height) return;
    std::uint8_t* row = image.Bits.data() + static_cast<std::size_t>(y) * image.Stride();
    if (image.BitCount == 8) {
        row[x] = static_cast<std::uint8_t>(value);
    } else {
        std::uint8_t& b = row[x / 2];
        b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | (value & 0x0F))
                    : static_cast<std::uint8_t>((b & 0x0F) | ((value & 0x0F) << 4));
    }
}

// RLE rows run bottom-up like the output. Runs and absolute groups that pass the
// row end are clipped; data that ends without the end-of-bitmap code ends the image.
std::size_t DecodeRle(const std::uint8_t* p, std::size_t n, TBmpImage& image) {
    const bool four = image.BitCount == 4;
    int x = 0;
    int y = 0;
    std::size_t i = 0;
    while (n - i >= 2 && y < image.Height) {
        const unsigned count = p[i];
        const unsigned value = p[i + 1];
        i += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count && x < image.Width; ++k, ++x)
                PutIndex(image, x, y, four ? ((k & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            return i;
        } else if (value == 2) {  // delta
            if (n - i < 2) break;
            x = x + p[i] < image.Width ? x + p[i] : image.Width;  // saturate: x never wraps
            y += p[i + 1];
            i += 2;
        } else {  // absolute: value indices, padded to a 16-bit boundary
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            const std::size_t padded = (bytes + 1) & ~static_cast<std::size_t>(1);
            if (padded > n - i) Invalid();
            for (unsigned k = 0; k < value && x < image.Width; ++k, ++x) {
                const unsigned v = four ? ((k & 1) ? p[i + k / 2] & 0x0F : p[i + k / 2] >> 4) : p[i + k];
                PutIndex(image, x, y, v);
            }
            i += padded;
        }
    }
    return i;
}

void DecodeBitFields(const Header& h, const std::uint8_t* src, std::uint64_t srcStride, bool topDown,
                     TBmpImage& image) {
    std::uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
    if (!h.hasMasks) {  // 16 bits without bit fields: 5-5-5
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    const Channel r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);
    const unsigned inBytes = h.bitCount / 8;
    const unsigned outBytes = static_cast<unsigned>(image.BitCount / 8);
    for (int y = 0; y < image.Height; ++y) {
        const std::uint8_t* in = src + static_cast<std::size_t>(topDown ? image.Height - 1 - y : y) * srcStride;
        std::uint8_t* out = image.Bits.data() + static_cast<std::size_t>(y) * image.Stride();
        for (int x = 0; x < image.Width; ++x, in += inBytes, out += outBytes) {
            const std::uint32_t px = inBytes == 2 ? Le16(in) : Le32(in);
            out[0] = b.Extract(px);
            out[1] = g.Extract(px);
            out[2] = r.Extract(px);
            if (outBytes == 4) out[3] = a.Extract(px);
        }
    }
}

}  // namespace

std::size_t TBmpImage::Stride() const {
    return static_cast<std::size_t>(StrideOf(static_cast<std::uint64_t>(Width), static_cast<unsigned>(BitCount)));
}

void TBmpImage::Allocate(int width, int height, int bitCount) {
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) Invalid();
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) Invalid();
    if (StrideOf(width, bitCount) * static_cast<std::uint64_t>(height) > TBmpDecodeOptions{}.MaxBytes) Invalid();
    Width = width;
    Height = height;
    BitCount = bitCount;
    Bits.assign(Stride() * static_cast<std::size_t>(height), 0);
    Palette.assign(bitCount <= 8 ? (std::size_t{1} << bitCount) : 0, 0);
}

std::uint32_t TBmpImage::PixelColor(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width || y >= Height || Bits.size() < Stride() * static_cast<std::size_t>(Height))
        Invalid();
    const std::uint8_t* row = Bits.data() + static_cast<std::size_t>(Height - 1 - y) * Stride();
    std::uint32_t rgbQuad;
    if (BitCount <= 8) {
        const unsigned bit = static_cast<unsigned>(x) * static_cast<unsigned>(BitCount);
        const unsigned shift = 8 - static_cast<unsigned>(BitCount) - bit % 8;
        const unsigned index = (row[bit / 8] >> shift) & ((1u << BitCount) - 1);
        if (index >= Palette.size()) Invalid();
        rgbQuad = Palette[index];
    } else {
        const std::uint8_t* p = row + static_cast<std::size_t>(x) * (BitCount / 8);
        rgbQuad = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                  (static_cast<std::uint32_t>(p[2]) << 16);
    }
    // 0x00RRGGBB -> 0x00BBGGRR
    return ((rgbQuad & 0xFF) << 16) | (rgbQuad & 0xFF00) | ((rgbQuad >> 16) & 0xFF);
}

TBmpDecodeResult DecodeBmp(const std::uint8_t* data, std::size_t size, const TBmpDecodeOptions& options) {
    if (data == nullptr) Invalid();
    std::size_t headerAt = 0;
    std::size_t pixelAt = 0;
    if (options.HasFileHeader) {
        if (size < 14 || data[0] != 'B' || data[1] != 'M') Invalid();
        headerAt = 14;
        pixelAt = Le32(data + 10);
    }
    const Header h = ReadHeader(data, size, headerAt);
    bool topDown = false;
    int width = 0;
    int height = 0;
    CheckGeometry(h, options.MaxBytes, topDown, width, height);

    const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
    const bool fields = h.compression == kBiBitFields || h.compression == kBiAlphaBitFields;
    switch (h.bitCount) {
    case 1: case 24:
        if (h.compression != kBiRgb) Invalid();
        break;
    case 4:
        if (h.compression != kBiRgb && h.compression != kBiRle4) Invalid();
        break;
    case 8:
        if (h.compression != kBiRgb && h.compression != kBiRle8) Invalid();
        break;
    case 16: case 32:
        if (h.compression != kBiRgb && !fields) Invalid();
        break;
    default:
        Invalid();
    }
    if (rle && topDown) Invalid();

    TBmpDecodeResult result;
    TBmpImage& image = result.Image;
    image.Allocate(width, height, h.bitCount == 16 ? 24 : static_cast<int>(h.bitCount));

    // The palette: the header announces how many entries lie before the pixels
    // (all 2^bits when it says 0); an indexed image keeps at most 2^bits of them and
    // pads a shorter palette with black. Above 8 bits a palette is only an
    // optimisation hint and is skipped.
    const std::size_t paletteAt = headerAt + h.size;
    std::uint64_t announced = h.clrUsed;
    if (h.bitCount <= 8 && (announced == 0 || h.paletteEntrySize == 3)) announced = image.Palette.size();
    if (paletteAt > size || announced > (size - paletteAt) / h.paletteEntrySize) Invalid();
    ReadPalette(h, data, paletteAt, static_cast<std::size_t>(announced), image);
    const std::size_t paletteEnd = paletteAt + static_cast<std::size_t>(announced) * h.paletteEntrySize;
    if (!options.HasFileHeader) {
        pixelAt = paletteEnd;
    } else if (pixelAt < paletteAt || pixelAt > size) {
        Invalid();
    }

    const std::uint8_t* pixels = data + pixelAt;
    const std::size_t available = size - pixelAt;
    if (rle) {
        const std::size_t n = h.sizeImage != 0 && h.sizeImage < available ? h.sizeImage : available;
        result.BytesUsed = pixelAt + DecodeRle(pixels, n, image);
        return result;
    }
    const std::uint64_t srcStride = StrideOf(width, h.bitCount);
    const std::uint64_t needed = srcStride * static_cast<std::uint64_t>(height);
    if (needed > available) Invalid();
    if (h.bitCount == 16 || (h.bitCount == 32 && fields)) {
        DecodeBitFields(h, pixels, srcStride, topDown, image);
    } else {
        const std::size_t stride = image.Stride();
        for (int y = 0; y < height; ++y)
            std::memcpy(image.Bits.data() + static_cast<std::size_t>(y) * stride,
                        pixels + static_cast<std::size_t>(topDown ? height - 1 - y : y) * srcStride, stride);
    }
    result.BytesUsed = pixelAt + static_cast<std::size_t>(needed);
    return result;
}

std::vector<std::uint8_t> EncodeBmp(const TBmpImage& image) {
    const int bits = image.BitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) Invalid();
    if (image.Width <= 0 || image.Height <= 0) Invalid();
    const std::size_t paletteEntries = bits <= 8 ? (std::size_t{1} << bits) : 0;
    const std::uint64_t imageSize = StrideOf(image.Width, bits) * static_cast<std::uint64_t>(image.Height);
    if (image.Bits.size() != imageSize || image.Palette.size() > paletteEntries ||
        (bits > 8 && !image.Palette.empty()) || imageSize > 0xFFFFFFFFull / 2)
        Invalid();
    const std::uint32_t offBits = static_cast<std::uint32_t>(54 + 4 * paletteEntries);
    std::vector<std::uint8_t> out;
    out.reserve(offBits + static_cast<std::size_t>(imageSize));
    out.push_back('B');
    out.push_back('M');
    Put32(out, static_cast<std::uint32_t>(offBits + imageSize));
    Put32(out, 0);
    Put32(out, offBits);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(image.Width));
    Put32(out, static_cast<std::uint32_t>(image.Height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bits));
    Put32(out, kBiRgb);
    Put32(out, static_cast<std::uint32_t>(imageSize));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (std::size_t i = 0; i < paletteEntries; ++i)
        Put32(out, i < image.Palette.size() ? image.Palette[i] & 0x00FFFFFF : 0);
    out.insert(out.end(), image.Bits.begin(), image.Bits.end());
    return out;
}
