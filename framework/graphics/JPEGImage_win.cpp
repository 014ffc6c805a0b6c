#include "framework/graphics/JPEGImage_win.h"

#include <cstring>

#include "framework/core/Exceptions.h"
#include "framework/core/Stream.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Picture_win.h"
#include "framework/jpeg/JpegDecoder.h"

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() {
    if (bitmap_ != nullptr) bitmap_->Free();
}

void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }
void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of a JPEG image"); }

void TJPEGImage::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
    // Decode into a fresh DIB section first: a failure leaves the image as it
    // was, and the pixels are held once (no second buffer in a 32-bit process).
    const TJpegHeader header = ReadJpegHeader(data, size);
    const TJpegDecodeOptions options;
    const std::uint64_t pixels = static_cast<std::uint64_t>(header.Width) * static_cast<std::uint64_t>(header.Height);
    if (header.Width <= 0 || header.Height <= 0 || pixels > options.MaxPixels)
        throw EInvalidGraphic("JPEG image is too large");
    TBitmap* fresh = Create<TBitmap>();
    try {
        fresh->SetPixelFormat(pf24bit);
        fresh->SetSize(header.Width, header.Height);
        const std::size_t stride = ((static_cast<std::size_t>(header.Width) * 24 + 31) / 32) * 4;
        // Row 0 of a bottom-up DIB section is the bottom row: its scan line starts the buffer.
        auto* bits = static_cast<std::uint8_t*>(fresh->ScanLine(header.Height - 1));
        DecodeJpegInto(data, size, header, bits, stride * static_cast<std::size_t>(header.Height), stride, options);
    } catch (...) {
        fresh->Free();
        throw;
    }
    std::vector<std::uint8_t> copy(data, data + size);
    if (bitmap_ != nullptr) bitmap_->Free();
    bitmap_ = fresh;
    data_ = std::move(copy);
    width_ = header.Width;
    height_ = header.Height;
    grayscale_ = header.Grayscale;
    Changed(this);
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    const std::int64_t available = stream.Size() - stream.Position();
    if (available <= 0) throw EInvalidGraphic("JPEG error: empty data");
    if (available > (256 << 20)) throw EInvalidGraphic("JPEG image is too large");
    std::vector<std::uint8_t> data(static_cast<std::size_t>(available));
    stream.ReadBuffer(data.data(), data.size());
    LoadFromBytes(data.data(), data.size());
}

void TJPEGImage::SaveToStream(TStream& stream) {
    if (!data_.empty()) stream.WriteBuffer(data_.data(), data_.size());
}

void TJPEGImage::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (Source == nullptr) {
        if (bitmap_ != nullptr) bitmap_->Free();
        bitmap_ = nullptr;
        data_.clear();
        width_ = height_ = 0;
        grayscale_ = false;
        Changed(this);
        return;
    }
    if (auto* other = dynamic_cast<TJPEGImage*>(Source)) {
        if (other->Empty()) {
            Assign(nullptr);
            return;
        }
        TBitmap* copy = Create<TBitmap>();
        try {
            copy->Assign(other->bitmap_);
        } catch (...) {
            copy->Free();
            throw;
        }
        if (bitmap_ != nullptr) bitmap_->Free();
        bitmap_ = copy;
        data_ = other->data_;
        width_ = other->width_;
        height_ = other->height_;
        grayscale_ = other->grayscale_;
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
        bitmap->Assign(bitmap_);
        return;
    }
    TGraphic::AssignTo(Dest);
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& rect) {
    if (bitmap_ != nullptr) bitmap_->Draw(canvas, rect);
}

void RegisterJPEGImage() {
    for (const char* ext : {"jpeg", "jpe", "jpg"})
        TPicture::RegisterFileFormat(ext, "JPEG Image File", TGraphicClass::Of<TJPEGImage>());
}

void UnregisterJPEGImage() { TPicture::UnregisterGraphicClass(TGraphicClass::Of<TJPEGImage>()); }
