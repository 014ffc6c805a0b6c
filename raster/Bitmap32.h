#pragma once

#include <cstdint>
#include <string>

#include "raster/BitmapStorage.h"
#include "raster/NotifyBases.h"
#include "raster/RasterTypes.h"
#include "raster/Samplers.h"

class TStream;
class TFiler;
class TPropList;
struct TEnumType;

#ifdef _WIN32
class TCanvas;
class TFont;
class TBitmap;
class TGraphic;
class TPicture;
class TClipboard;
struct HDC__;
#endif

// The 32-bit ARGB bitmap under every picture of the library: Width x Height top-down rows
// without padding, each pixel a TColor32. The pixels live in a storage (a DIB section with its
// memory DC on Windows, the heap elsewhere); everything here but the device context, canvas,
// font and the exchange with the class library's pictures is portable.
//
// Every operation that changes pixels or settings ends with Changed or AreaChanged; inside
// BeginUpdate .. EndUpdate they stay silent except towards a recording handler (area recording,
// used to learn what a painter would change without letting it change anything).
class TBitmap32 : public TCustomMap {
    FW_CLASS(TBitmap32, TCustomMap)
public:
    using TConstructorArgs = TCtorArgs<>;

    // Empty (0 x 0), with a nearest resampler. Start-up (raster/Startup.h) must have run.
    TBitmap32();
    // With a storage of the caller's (taken over); nullptr takes the build's default.
    explicit TBitmap32(TBitmapStorage* storage);
    // Silent: BeginUpdate first, then the pixels, canvas, font and resampler go.
    ~TBitmap32() override;

    static const TPropList& PublishedProperties();

    // No pixels (no block) or a zero side.
    bool Empty() const override;
    void Delete() override;

    // Assign: nullptr empties; a TBitmap32 copies its pixels (CopyMapTo) and then its settings
    // (CopyPropertiesTo); on Windows the class library's bitmaps, graphics, pictures and the
    // clipboard too. Anything else raises the class library's assignment error. Always ends with
    // EndUpdate and Changed, also on failure. Copying a bitmap onto itself changes nothing.
    void Assign(TPersistent* Source) override;
    // To the class library's TPicture, TBitmap or clipboard (Windows); else the assignment error.
    void AssignTo(TPersistent* Dest) override;
    // Declares the binary property "Data".
    void DefineProperties(TFiler* Filer) override;

    // Dest's size := this size, then the pixels. No notification beyond that of SetSize.
    virtual void CopyMapTo(TBitmap32* dest);
    // Dest's draw, combine and wrap modes, master alpha, outer colour, resampler class and
    // resampler settings (and font, on Windows).
    virtual void CopyPropertiesTo(TBitmap32* dest);
    // Gives a canvas the new device context and fires OnHandleChanged.
    virtual void HandleChanged();
    // int32 width, int32 height, then the pixels. Raises EReadError, with the bitmap unchanged,
    // for a negative side or fewer bytes than the sizes need (checked before any allocation);
    // Changed runs in every case.
    virtual void ReadDataStream(TStream& stream);
    virtual void WriteDataStream(TStream& stream);
    // Fires OnAreaChanged(this, Area, Info) when (the update count is 0 or recording) and set.
    virtual void AreaChanged(const TRect& area, std::uint32_t info);

    // Also reports WholeRect to OnAreaChanged; OnChange only when not recording.
    void Changed() override;

    // True when both are empty, false when one is; else false for other classes, else true when
    // the sizes and all pixels are the same.
    bool Equal(TBitmap32* other);

    // Fills; see the class comment for notification and recording.
    void Clear(TColor32 color = 0);
    void SetAllAlpha(std::uint32_t alpha = 255);
    // Unclipped: the caller gives a rectangle inside the bitmap. An inverted or empty rectangle
    // fills nothing (and still reports itself).
    void FillArea(int x1, int y1, int x2, int y2, TColor32 color);
    void FillAreaClipped(int x1, int y1, int x2, int y2, TColor32 color);

    // The stretch transfer of the whole bitmap into dest's destRect, by this bitmap's resampler,
    // draw mode and combiner.
    void CopyOnto(TBitmap32* dest, const TRect& destRect);

    TRect WholeRect() const noexcept { return TRect{0, 0, width_, height_}; }
    TRect ClipRect() const noexcept { return clipRect_; }
    // Clip := R cut to the bounds.
    void SetClipArea(const TRect& r);
    void ResetClipArea() { SetClipArea(WholeRect()); }
    bool Clipping() const noexcept { return clipping_; }
    const TFixedRect& FixedClipRect() const noexcept { return fixedClipRect_; }
    const TRect& ClipRect256() const noexcept { return clipRect256_; }

    // Pixel access without checks.
    TColor32* Bits() const noexcept { return bits_; }
    TColor32* RowAddress(int y) const noexcept { return bits_ + std::ptrdiff_t{y} * width_; }
    TColor32* PixelAddress(int x, int y) const noexcept { return RowAddress(y) + x; }
    TColor32 Pixel(int x, int y) const noexcept { return *PixelAddress(x, y); }
    void SetPixel(int x, int y, TColor32 c) noexcept { *PixelAddress(x, y) = c; }
    // OuterColor outside the clip rect.
    TColor32 PixelClipped(int x, int y) const noexcept;
    // X and Y wrapped into the clip rect by WrapMode; OuterColor when the clip rect is empty.
    TColor32 PixelWrapped(int x, int y) const noexcept;

    // Sampling in 8.8 (…256) and 16.16 (…Fixed) coordinates, gamma-weighted bilinear.
    TColor32 SampleBilinear256(int x, int y) const noexcept;
    TColor32 SampleBilinear256Safe(int x, int y) const noexcept;
    TColor32 SampleFixed(TFixed x, TFixed y) const noexcept;
    TColor32 SampleFixedSafe(TFixed x, TFixed y) const noexcept;
    // OuterColor when the clip rect is empty.
    TColor32 SampleFixedWrapped(TFixed x, TFixed y) const noexcept;

    // Area recording: Clear, SetAllAlpha and FillAreaClipped touch no pixels, Changed and
    // AreaChanged report to handler even inside an update and fire no OnChange.
    void StartAreaRecording(const TAreaChangedEvent& handler);
    void StopAreaRecording();
    bool Recording() const noexcept { return recording_; }

    TDrawMode DrawMode() const noexcept { return drawMode_; }
    void SetDrawMode(TDrawMode v);
    TCombineMode CombineMode() const noexcept { return combineMode_; }
    void SetCombineMode(TCombineMode v);
    TWrapMode WrapMode() const noexcept { return wrapMode_; }
    void SetWrapMode(TWrapMode v);
    std::uint32_t MasterAlpha() const noexcept { return masterAlpha_; }
    void SetMasterAlpha(std::uint32_t v);
    TColor32 OuterColor() const noexcept { return outerColor_; }
    void SetOuterColor(TColor32 v) noexcept { outerColor_ = v; }
    TColor32 PenColor() const noexcept { return penColor_; }
    void SetPenColor(TColor32 v) noexcept { penColor_ = v; }
    float StippleStep() const noexcept { return stippleStep_; }

    TCustomResampler* Resampler() const noexcept { return resampler_; }
    // nullptr and the current one are ignored; else the current one is freed, R kept, Changed.
    void SetResampler(TCustomResampler* r);
    std::string ResamplerClassName() const;
    // A registered class name (exact case) other than the current one makes a new resampler of
    // that class; anything else changes nothing.
    void SetResamplerClassName(const std::string& name);

    TBitmapStorage& Storage() const noexcept { return *storage_; }

    TNotifyEvent OnHandleChanged;
    TPixelCombineEvent OnPixelCombine;
    TAreaChangedEvent OnAreaChanged;

#ifdef _WIN32
    // The memory DC with the pixels selected; nullptr while empty.
    HDC__* Handle() const noexcept;
    // A canvas on the DC, made on first use; its changes call Changed.
    TCanvas* Canvas();
    void FreeCanvas();
    TFont* Font() const noexcept { return font_; }
    // Copies the whole bitmap to dc at (x, y), no blending.
    void CopyOnto(HDC__* dc, int x, int y);
    // Loads a picture file through the picture-format registry (by extension) and takes its
    // pixels. Errors of loading pass on; the temporary picture is always freed.
    void LoadPictureFile(const std::string& fileName);
    // Selects the stock system font back when a font was selected into the DC.
    void ReleaseFontHandle(TObject* sender = nullptr);
#endif

protected:
    void ChangeSize(int& width, int& height, int newWidth, int newHeight) override;

private:
    void Init(TBitmapStorage* storage);
    bool AssignForeign(TPersistent* source);
    bool AssignToForeign(TPersistent* dest);
#ifdef _WIN32
    void InitPlatform();
    void DestroyPlatform() noexcept;
    void PlatformHandleChanged();
    void CopyFontTo(TBitmap32* dest);
    void CanvasChanged(TObject* sender);
    void AssignFromBitmap(TBitmap* source);
    void AssignFromPicture(TPicture* source);
    void AssignFromClipboard(TClipboard* source);
    // Draws graphic stretched into rect through a temporary canvas on the DC.
    void DrawGraphic(TGraphic* graphic, const TRect& rect);
    void CopyToBitmap(TBitmap* dest);
#endif

    TColor32* bits_ = nullptr;
    TRect clipRect_;
    TFixedRect fixedClipRect_;
    TRect clipRect256_;
    bool clipping_ = false;
    TDrawMode drawMode_ = dmOpaque;
    TCombineMode combineMode_ = cmBlend;
    TWrapMode wrapMode_ = wmClamp;
    TBitmapStorage* storage_ = nullptr;
    std::uint32_t masterAlpha_ = 255;
    TColor32 outerColor_ = 0;
    TColor32 penColor_ = 0xFFFFFFFF;
    float stippleStep_ = 1.0f;
    TAreaChangedEvent savedOnAreaChanged_;
    bool recording_ = false;
    TCustomResampler* resampler_ = nullptr;
#ifdef _WIN32
    TCanvas* canvas_ = nullptr;
    TFont* font_ = nullptr;
    void* fontHandle_ = nullptr;
#endif
};

// The draw mode, combine mode and wrap mode names as stored in forms.
extern const TEnumType kDrawModeType;
extern const TEnumType kCombineModeType;
extern const TEnumType kWrapModeType;
