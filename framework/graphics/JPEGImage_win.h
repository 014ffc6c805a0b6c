#pragma once

#include <cstdint>
#include <vector>

#include "framework/graphics/Graphic_win.h"

class TBitmap;

// A JPEG picture: the compressed data as read, decoded at once into a 24-bit
// DIB by the portable decode core (framework/jpeg), so that a bad file fails
// while loading (EInvalidGraphic) and drawing never does. Saving writes the
// data as read; encoding is not offered.
class TJPEGImage : public TGraphic {
    FW_CLASS(TJPEGImage, TGraphic)
public:
    TJPEGImage();
    ~TJPEGImage() override;

    bool Empty() const override { return data_.empty(); }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Raise EInvalidGraphicOperation ("Cannot change the size of a JPEG image").
    void SetWidth(int) override;
    void SetHeight(int) override;
    bool Grayscale() const noexcept { return grayscale_; }

    // Reads the rest of the stream as one JPEG file.
    void LoadFromStream(TStream& stream) override;
    // Reads a JPEG held in memory.
    void LoadFromBytes(const std::uint8_t* data, std::size_t size);
    // Writes the data as read (nothing when empty).
    void SaveToStream(TStream& stream) override;

    // A TJPEGImage: a copy. nullptr: empty. Otherwise the default.
    void Assign(TPersistent* Source) override;
    // The decoded pixels (nullptr when empty); owned by the image.
    TBitmap* Bitmap() const noexcept { return bitmap_; }
    void Draw(TCanvas* canvas, const TRect& rect) override;

protected:
    // A TBitmap receives the decoded pixels exactly.
    void AssignTo(TPersistent* Dest) override;

private:
    std::vector<std::uint8_t> data_;
    TBitmap* bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool grayscale_ = false;
};

// Registers TJPEGImage for "jpg", "jpeg" and "jpe" ("JPEG Image File").
// Called once by the program's start-up, never by the band library.
void RegisterJPEGImage();
void UnregisterJPEGImage();
