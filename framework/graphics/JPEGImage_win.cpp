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
    // Decode first: a failure leaves the image as it was.
    const TJpegHeader header = ReadJpegHeader(data, size);
    TJpegPixels pixels = DecodeJpeg(data, size);
    TBmpImage image;
    image.Width = pixels.Width;
    image.Height = pixels.Height;
    image.BitCount = 24;
    image.Bits = std::move(pixels.Bits);
    TBitmap* fresh = Create<TBitmap>();
    try {
        fresh->LoadFromBmpImage(image);
    } catch (...) {
        fresh->Free();
        throw;
    }
    if (bitmap_ != nullptr) bitmap_->Free();
    bitmap_ = fresh;
    data_.assign(data, data + size);
    width_ = pixels.Width;
    height_ = pixels.Height;
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
