#include "framework/jpeg/JpegDecoder.h"

#include <string>

#include "framework/core/Exceptions.h"
#include "framework/jpeg/JpegShim.h"

namespace {

constexpr std::size_t kMessageSize = 200;

[[noreturn]] void Fail(int status, const char* message) {
    switch (status) {
    case QV_JPEG_TOO_LARGE: throw EInvalidGraphic("JPEG image is too large");
    case QV_JPEG_UNSUPPORTED: throw EInvalidGraphic("Unsupported JPEG colour format");
    case QV_JPEG_TOO_MANY_SCANS: throw EInvalidGraphic("JPEG image has too many scans");
    default: break;
    }
    std::string text = "JPEG error: ";
    text += message[0] != '\0' ? message : "invalid data";
    throw EInvalidGraphic(text);
}

}  // namespace

TJpegHeader ReadJpegHeader(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size == 0) throw EInvalidGraphic("JPEG error: empty data");
    QvJpegHeader h{};
    char message[kMessageSize];
    const int status = qv_jpeg_read_header(data, size, &h, message, sizeof message);
    if (status != QV_JPEG_OK) Fail(status, message);
    TJpegHeader header;
    header.Width = static_cast<int>(h.width);
    header.Height = static_cast<int>(h.height);
    header.Components = h.components;
    header.Grayscale = h.colour == QV_JPEG_GRAY;
    header.Cmyk = h.colour == QV_JPEG_CMYK;
    header.AdobeInverted = header.Cmyk && h.adobe != 0;
    header.Progressive = h.progressive != 0;
    return header;
}

void DecodeJpegInto(const std::uint8_t* data, std::size_t size, const TJpegHeader& header, std::uint8_t* out,
                    std::size_t outSize, std::size_t stride, const TJpegDecodeOptions& options) {
    if (data == nullptr || size == 0) throw EInvalidGraphic("JPEG error: empty data");
    char message[kMessageSize];
    const int status = qv_jpeg_decode(data, size, static_cast<unsigned>(header.Width),
                                      static_cast<unsigned>(header.Height), options.MaxPixels, options.MaxScans, out,
                                      outSize, stride, 0, message, sizeof message);
    if (status != QV_JPEG_OK) Fail(status, message);
}

TJpegPixels DecodeJpeg(const std::uint8_t* data, std::size_t size, const TJpegDecodeOptions& options) {
    const TJpegHeader header = ReadJpegHeader(data, size);
    // The limit is checked here before allocating, and again by the shim before
    // decompression starts.
    const std::uint64_t pixels = static_cast<std::uint64_t>(header.Width) * static_cast<std::uint64_t>(header.Height);
    if (header.Width <= 0 || header.Height <= 0 || pixels > options.MaxPixels)
        Fail(QV_JPEG_TOO_LARGE, "");
    TJpegPixels out;
    out.Width = header.Width;
    out.Height = header.Height;
    out.Stride = (static_cast<std::size_t>(header.Width) * 3 + 3) & ~std::size_t{3};
    out.Bits.assign(out.Stride * static_cast<std::size_t>(header.Height), 0);
    DecodeJpegInto(data, size, header, out.Bits.data(), out.Bits.size(), out.Stride, options);
    return out;
}
