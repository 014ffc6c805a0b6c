#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/graphics/BmpCodec.h"
#include "framework/graphics/Graphic_win.h"

class TCanvas;
class TBitmapCanvas;

enum TBitmapHandleType : std::uint8_t { bmDIB, bmDDB };
enum TTransparentMode : std::uint8_t { tmAuto, tmFixed };

// A bitmap on an HBITMAP: a DIB section (bottom-up rows) for the pixel
// formats pf1bit ... pf32bit, a device-dependent bitmap for pfDevice (and
// HandleType bmDDB). Its Canvas draws on it through a memory DC of its own.
//
// Files: LoadFromStream reads BMP files of 1, 4, 8, 16, 24 and 32 bits
// (plain, bit fields, RLE) through the portable reader, which raises
// EInvalidGraphic for bad data and never reads past it; SaveToStream writes a
// 40-byte header, the full palette for 1, 4 and 8 bits, and the rows.
//
// Monochrome rule: making a bitmap monochrome turns each pixel whose colour
// equals the canvas's brush colour (white unless changed) into white and every
// other pixel into black; the result is a 1-bit DIB with the palette black,
// white.
class TBitmap : public TGraphic {
    FW_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    ~TBitmap() override;

    bool Empty() const override { return width_ <= 0 || height_ <= 0; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int width) override { SetSize(width, height_); }
    void SetHeight(int height) override { SetSize(width_, height); }
    // Resizes, keeping the pixels that still fit; new pixels take the
    // canvas's brush colour. Sizes below 1 make the bitmap empty.
    void SetSize(int width, int height);

    // The canvas on the bitmap; its drawing marks the bitmap changed.
    TCanvas* Canvas();
    // True while the canvas holds a memory DC.
    bool CanvasAllocated() const noexcept;

    // The HBITMAP (0 when empty), owned by the bitmap.
    HBITMAP Handle();
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }
    // Adopts bitmap (owned from now on); its size and format are read from it.
    void SetHandle(HBITMAP bitmap);
    // Gives the HBITMAP to the caller; the bitmap is empty afterwards.
    HBITMAP ReleaseHandle();

    TBitmapHandleType HandleType() const noexcept { return handleType_; }
    void SetHandleType(TBitmapHandleType type);
    TPixelFormat PixelFormat() const noexcept { return pixelFormat_; }
    // pfDevice makes a device-dependent bitmap, every other format a DIB
    // section; the pixels are converted.
    void SetPixelFormat(TPixelFormat format);
    bool Monochrome() const;
    void SetMonochrome(bool monochrome);
    HPALETTE Palette() override;
    // Adopts palette; an indexed DIB takes its colours.
    void SetPalette(HPALETTE palette) override;

    // tmAuto: the bottom-left pixel OR 0x02000000 (white for a monochrome
    // bitmap, clDefault when empty); tmFixed: the colour set.
    TColor TransparentColor();
    // clDefault selects tmAuto; any other colour tmFixed.
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const noexcept { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode);

    // The pixels of row (0 = top) of the DIB section (a device-dependent
    // bitmap becomes one first). Raises EInvalidGraphic ("Scan line index out
    // of range") for a row outside the bitmap.
    void* ScanLine(int row);

    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // An RT_BITMAP resource (a DIB without the file header). Raises
    // EResNotFound when instance has no such resource.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    void LoadFromResourceID(HINSTANCE instance, int id);
    // CF_BITMAP (a copy of the handle) and CF_DIB.
    void LoadFromClipboardFormat(std::uint32_t format, HANDLE data, HPALETTE palette) override;
    void SaveToClipboardFormat(std::uint32_t& format, HANDLE& data, HPALETTE& palette) override;

    // The portable forms of the pixels.
    void LoadFromBmpImage(const TBmpImage& image);
    TBmpImage ToBmpImage();

    // A TBitmap: copies it (pixels, format, transparency). nullptr: empty.
    // Any other TGraphic: its size, the canvas brush colour, then the graphic
    // drawn on it. Anything else: the default assignment.
    void Assign(TPersistent* Source) override;
    // Kept for the library's interface; the bitmap keeps its handle.
    void Dormant() {}
    void FreeImage() {}

    void Draw(TCanvas* canvas, const TRect& rect) override;

private:
    friend class TBitmapCanvas;
    void CanvasChanged(TObject*);
    void ReplaceHandle(HBITMAP handle, void* bits, int width, int height, TPixelFormat format,
                       TBitmapHandleType type);
    void Reformat(int width, int height, TPixelFormat format, TBitmapHandleType type);
    std::vector<std::uint32_t> ColourTable();
    void FreePalette();

    HBITMAP handle_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    TPixelFormat pixelFormat_ = pfDevice;
    TBitmapHandleType handleType_ = bmDDB;
    HPALETTE palette_ = nullptr;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
    TBitmapCanvas* canvas_ = nullptr;
};
