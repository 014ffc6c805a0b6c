#include "raster/Bitmap32.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "framework/core/Exceptions.h"
#include "framework/core/Filer.h"
#include "framework/core/Stream.h"
#include "framework/core/TypInfo.h"
#include "raster/Blend.h"
#include "raster/LowLevel.h"
#include "raster/Resamplers.h"

namespace {
const char* const kDrawModeNames[] = {"dmOpaque", "dmBlend", "dmCustom", "dmTransparent"};
const char* const kCombineModeNames[] = {"cmBlend", "cmMerge"};
const char* const kWrapModeNames[] = {"wmClamp", "wmRepeat", "wmMirror"};

// Runs body, then final, also when body raises. The final steps call user handlers that may
// raise themselves, so they run in a handler rather than a destructor (an exception leaving a
// destructor ends the program); an exception of final wins over one of body, as the last raised.
template <class Body, class Final> void TryFinally(Body&& body, Final&& final) {
    try {
        body();
    } catch (...) {
        final();
        throw;
    }
    final();
}
} // namespace

const TEnumType kDrawModeType(kDrawModeNames);
const TEnumType kCombineModeType(kCombineModeNames);
const TEnumType kWrapModeType(kWrapModeNames);

const TPropList& TBitmap32::PublishedProperties() {
    static const TPropList list =
        TPropList(TInherited::PublishedProperties())
            .Enum("DrawMode", kDrawModeType, &TBitmap32::DrawMode, &TBitmap32::SetDrawMode)
            .Default(dmOpaque)
            .Enum("CombineMode", kCombineModeType, &TBitmap32::CombineMode,
                  &TBitmap32::SetCombineMode)
            .Default(cmBlend)
            .Enum("WrapMode", kWrapModeType, &TBitmap32::WrapMode, &TBitmap32::SetWrapMode)
            .Default(wmClamp)
            .Integer("MasterAlpha", &TBitmap32::MasterAlpha, &TBitmap32::SetMasterAlpha)
            .Default(255)
            .Integer("OuterColor", &TBitmap32::OuterColor, &TBitmap32::SetOuterColor)
            .Default(0)
            .String("ResamplerClassName", &TBitmap32::ResamplerClassName,
                    &TBitmap32::SetResamplerClassName)
            .Class("Resampler", &TBitmap32::Resampler);
    return list;
}

TBitmap32::TBitmap32() {
    Init(nullptr);
}

TBitmap32::TBitmap32(TBitmapStorage* storage) {
    Init(storage);
}

void TBitmap32::Init(TBitmapStorage* storage) {
    storage_ = storage != nullptr ? storage : NewDefaultStorage();
    // The resampler installs itself through SetResampler.
    Create<TNearestResampler>(this);
#ifdef _WIN32
    InitPlatform();
#endif
}

TBitmap32::~TBitmap32() {
    BeginUpdate();
    Lock();
#ifdef _WIN32
    FreeCanvas();
#endif
    try {
        SetSize(0, 0);
    } catch (...) {
        // Shrinking to nothing only gives blocks back; a listener's failure has no caller left
        // to hear it.
    }
#ifdef _WIN32
    DestroyPlatform();
#endif
    TCustomResampler* r = resampler_;
    resampler_ = nullptr;
    if (r != nullptr)
        r->Free();
    Unlock();
    if (storage_ != nullptr) {
        storage_->Release();
        delete storage_;
    }
}

bool TBitmap32::Empty() const {
    return bits_ == nullptr || TCustomMap::Empty();
}

void TBitmap32::Delete() {
    SetSize(0, 0);
}

void TBitmap32::ChangeSize(int& width, int& height, int newWidth, int newHeight) {
    // Also after a failed allocation: the bitmap is then empty with an empty clip rect.
    TryFinally(
        [&] {
#ifdef _WIN32
            ReleaseFontHandle();
            FreeCanvas();
#endif
            storage_->Release();
            bits_ = nullptr;
            width = 0;
            height = 0;
            if (newWidth > 0 && newHeight > 0)
                bits_ = storage_->Allocate(newWidth, newHeight); // raises with the storage empty
            width = newWidth;
            height = newHeight;
        },
        [this] {
            ResetClipArea();
            HandleChanged();
        });
}

void TBitmap32::HandleChanged() {
#ifdef _WIN32
    PlatformHandleChanged();
#endif
    if (OnHandleChanged)
        OnHandleChanged(this);
}

void TBitmap32::Changed() {
    if ((updateCount_ == 0 || recording_) && OnAreaChanged)
        OnAreaChanged(this, WholeRect(), kAreaInfoRect);
    if (!recording_)
        TCustomMap::Changed();
}

void TBitmap32::AreaChanged(const TRect& area, std::uint32_t info) {
    if ((updateCount_ == 0 || recording_) && OnAreaChanged)
        OnAreaChanged(this, area, info);
}

void TBitmap32::StartAreaRecording(const TAreaChangedEvent& handler) {
    recording_ = true;
    savedOnAreaChanged_ = OnAreaChanged;
    OnAreaChanged = handler;
}

void TBitmap32::StopAreaRecording() {
    recording_ = false;
    OnAreaChanged = savedOnAreaChanged_;
}

void TBitmap32::SetDrawMode(TDrawMode v) {
    if (v != drawMode_) {
        drawMode_ = v;
        Changed();
    }
}

void TBitmap32::SetCombineMode(TCombineMode v) {
    if (v != combineMode_) {
        combineMode_ = v;
        Changed();
    }
}

void TBitmap32::SetWrapMode(TWrapMode v) {
    if (v != wrapMode_) {
        wrapMode_ = v;
        Changed();
    }
}

void TBitmap32::SetMasterAlpha(std::uint32_t v) {
    if (v != masterAlpha_) {
        masterAlpha_ = v;
        Changed();
    }
}

void TBitmap32::SetResampler(TCustomResampler* r) {
    if (r == nullptr || r == resampler_)
        return;
    TCustomResampler* old = resampler_;
    resampler_ = r;
    if (old != nullptr)
        old->Free();
    Changed();
}

std::string TBitmap32::ResamplerClassName() const {
    return resampler_ != nullptr ? resampler_->ClassName() : std::string();
}

void TBitmap32::SetResamplerClassName(const std::string& name) {
    if (name.empty() || name == ResamplerClassName())
        return;
    TClass cls = ResamplerRegistry().Find(name);
    if (cls == nullptr || !cls->InheritsFrom(TCustomResampler::StaticClass()))
        return;
    // The new resampler installs itself.
    TCustomResamplerClass(cls).Create(this);
}

void TBitmap32::SetClipArea(const TRect& r) {
    RectIntersect(clipRect_, r, WholeRect());
    fixedClipRect_ = FixedRectOf(clipRect_);
    const auto s8 = [](int v) { return static_cast<int>(static_cast<std::uint32_t>(v) << 8); };
    clipRect256_ = {s8(clipRect_.Left), s8(clipRect_.Top), s8(clipRect_.Right),
                    s8(clipRect_.Bottom)};
    clipping_ = !(clipRect_ == WholeRect());
}

void TBitmap32::Clear(TColor32 color) {
    if (Empty())
        return;
    if (!recording_) {
        if (clipping_)
            FillArea(clipRect_.Left, clipRect_.Top, clipRect_.Right, clipRect_.Bottom, color);
        else
            Fill32(bits_, width_ * height_, color);
    }
    Changed();
}

void TBitmap32::SetAllAlpha(std::uint32_t alpha) {
    if (!recording_ && bits_ != nullptr) {
        const TColor32 a = (alpha & 0xFF) << 24;
        TColor32* p = bits_;
        const std::ptrdiff_t n = std::ptrdiff_t{width_} * height_;
        for (std::ptrdiff_t i = 0; i < n; ++i)
            p[i] = (p[i] & 0x00FFFFFF) | a;
    }
    Changed();
}

void TBitmap32::FillArea(int x1, int y1, int x2, int y2, TColor32 color) {
    // A rectangle the caller got wrong must not turn into a huge count or a wild row.
    assert(x1 <= x2 && y1 <= y2);
    if (bits_ != nullptr && x1 < x2 && y1 < y2) {
        for (int y = y1; y < y2; ++y)
            Fill32(PixelAddress(x1, y), x2 - x1, color);
    }
    AreaChanged(TRect{x1, y1, x2, y2}, kAreaInfoRect);
}

void TBitmap32::FillAreaClipped(int x1, int y1, int x2, int y2, TColor32 color) {
    const TRect& c = clipRect_;
    if (!recording_ && x1 < x2 && y1 < y2 && x1 < c.Right && y1 < c.Bottom && c.Left < x2 &&
        c.Top < y2) {
        x1 = std::max(x1, c.Left);
        y1 = std::max(y1, c.Top);
        x2 = std::min(x2, c.Right);
        y2 = std::min(y2, c.Bottom);
        // FillArea reports the cut rectangle once, which is the report this call owes.
        FillArea(x1, y1, x2, y2, color);
        return;
    }
    AreaChanged(TRect{x1, y1, x2, y2}, kAreaInfoRect);
}

TColor32 TBitmap32::PixelClipped(int x, int y) const noexcept {
    if (x < clipRect_.Left || x >= clipRect_.Right || y < clipRect_.Top || y >= clipRect_.Bottom)
        return outerColor_;
    return Pixel(x, y);
}

TColor32 TBitmap32::PixelWrapped(int x, int y) const noexcept {
    if (RectIsEmpty(clipRect_))
        return outerColor_;
    const TWrapProc wrap = WrapProcs[wrapMode_];
    return Pixel(wrap(x, clipRect_.Left, clipRect_.Right - 1),
                 wrap(y, clipRect_.Top, clipRect_.Bottom - 1));
}

TColor32 TBitmap32::SampleBilinear256(int x, int y) const noexcept {
    const TColor32* p = bits_ + (x >> 8) + std::ptrdiff_t{y >> 8} * width_;
    return BilinearMix4(GammaTable[255 - (x & 255)], GammaTable[255 - (y & 255)], p, p + width_);
}

TColor32 TBitmap32::SampleBilinear256Safe(int x, int y) const noexcept {
    if (x < 0 || y < 0 || Empty())
        return outerColor_;
    // In 64 bits: the data stream accepts sides above 2^23, whose last position does not fit.
    const std::int64_t w1 = (std::int64_t{width_} - 1) * 256;
    const std::int64_t h1 = (std::int64_t{height_} - 1) * 256;
    if (x < w1 && y < h1)
        return SampleBilinear256(x, y);
    if (x == w1 && y <= h1)
        return Pixel(width_ - 1, y >> 8);
    if (x <= w1 && y == h1)
        return Pixel(x >> 8, height_ - 1);
    return outerColor_;
}

TColor32 TBitmap32::SampleFixed(TFixed x, TFixed y) const noexcept {
    const TColor32 c = SampleBilinear256(static_cast<int>((std::int64_t{x} + 127) >> 8),
                                         static_cast<int>((std::int64_t{y} + 127) >> 8));
    EndMMX();
    return c;
}

TColor32 TBitmap32::SampleFixedSafe(TFixed x, TFixed y) const noexcept {
    const TColor32 c = SampleBilinear256Safe(static_cast<int>((std::int64_t{x} + 127) >> 8),
                                             static_cast<int>((std::int64_t{y} + 127) >> 8));
    EndMMX();
    return c;
}

TColor32 TBitmap32::SampleFixedWrapped(TFixed x, TFixed y) const noexcept {
    if (RectIsEmpty(clipRect_))
        return outerColor_;
    const TWrapProc wrap = WrapProcs[wrapMode_];
    const int l = clipRect_.Left, r = clipRect_.Right - 1;
    const int t = clipRect_.Top, b = clipRect_.Bottom - 1;
    const int xi = x >> 16, yi = y >> 16;
    // The + 1 is taken in 64 bits: the wrap maps any value, but int overflow would be undefined.
    const auto next = [](int v) {
        return static_cast<int>(std::min<std::int64_t>(std::int64_t{v} + 1, INT32_MAX));
    };
    const int x0 = wrap(xi, l, r), x1 = wrap(next(xi), l, r);
    const int y0 = wrap(yi, t, b), y1 = wrap(next(yi), t, b);
    const std::uint32_t fx = (x >> 8) & 255, fy = (y >> 8) & 255;
    const TColor32 top = MixColors(Pixel(x1, y0), Pixel(x0, y0), fx);
    const TColor32 bottom = MixColors(Pixel(x1, y1), Pixel(x0, y1), fx);
    const TColor32 c = MixColors(bottom, top, fy);
    EndMMX();
    return c;
}

void TBitmap32::CopyMapTo(TBitmap32* dest) {
    if (dest == this)
        return;
    dest->SetSize(width_, height_);
    if (!Empty() && !dest->Empty())
        std::memcpy(dest->bits_, bits_, static_cast<std::size_t>(width_) * height_ * 4);
}

void TBitmap32::CopyPropertiesTo(TBitmap32* dest) {
    if (dest == this)
        return;
    dest->SetDrawMode(drawMode_);
    dest->SetCombineMode(combineMode_);
    dest->SetWrapMode(wrapMode_);
    dest->SetMasterAlpha(masterAlpha_);
    dest->outerColor_ = outerColor_;
    dest->SetResamplerClassName(ResamplerClassName());
    if (resampler_ != nullptr && dest->resampler_ != nullptr)
        dest->resampler_->Assign(resampler_);
#ifdef _WIN32
    CopyFontTo(dest);
#endif
}

void TBitmap32::Assign(TPersistent* Source) {
    BeginUpdate();
    TryFinally(
        [&] {
            if (Source == nullptr) {
                SetSize(0, 0);
            } else if (auto* src = dynamic_cast<TBitmap32*>(Source)) {
                if (src != this) {
                    src->CopyMapTo(this);
                    src->CopyPropertiesTo(this);
                }
            } else if (!AssignForeign(Source)) {
                TCustomMap::Assign(Source);
            }
        },
        [this] {
            EndUpdate();
            Changed();
        });
}

void TBitmap32::AssignTo(TPersistent* Dest) {
    if (!AssignToForeign(Dest))
        TCustomMap::AssignTo(Dest);
}

#ifndef _WIN32
bool TBitmap32::AssignForeign(TPersistent*) {
    return false;
}
bool TBitmap32::AssignToForeign(TPersistent*) {
    return false;
}
#endif

bool TBitmap32::Equal(TBitmap32* other) {
    if (other == nullptr)
        return Empty();
    if (Empty() || other->Empty())
        return Empty() && other->Empty();
    if (ClassType() != other->ClassType())
        return false;
    // Equal BMP files of 32-bit bitmaps are equal sizes and equal pixel bytes; comparing those
    // directly says the same without writing two files.
    return width_ == other->width_ && height_ == other->height_ &&
           std::memcmp(bits_, other->bits_, static_cast<std::size_t>(width_) * height_ * 4) == 0;
}

void TBitmap32::DefineProperties(TFiler* Filer) {
    bool hasData;
    if (Filer->Ancestor() != nullptr) {
        auto* ancestor = dynamic_cast<TBitmap32*>(Filer->Ancestor());
        hasData = ancestor == nullptr || !ancestor->Equal(this);
    } else {
        hasData = !Empty();
    }
    Filer->DefineBinaryProperty(
        "Data", [this](TStream& s) { ReadDataStream(s); }, [this](TStream& s) { WriteDataStream(s); },
        hasData);
}

void TBitmap32::ReadDataStream(TStream& stream) {
    TryFinally(
        [&] {
            std::int32_t header[2];
            stream.ReadBuffer(header, sizeof header);
            const std::int32_t w = header[0], h = header[1];
            // The sizes come from a file: they must be sane and covered by the bytes that follow
            // before anything is allocated. w x h fits 62 bits; times 4 it might not, so the
            // pixel count is compared first.
            const std::int64_t left = stream.Size() - stream.Position();
            if (w < 0 || h < 0)
                throw EReadError();
            const std::int64_t pixels = std::int64_t{w} * h;
            if (pixels > kMaxBitmapBytes / 4 || pixels * 4 > left)
                throw EReadError();
            SetSize(w, h);
            if (!Empty())
                stream.ReadBuffer(bits_, static_cast<std::size_t>(pixels * 4));
        },
        [this] { Changed(); });
}

void TBitmap32::WriteDataStream(TStream& stream) {
    const std::int32_t header[2] = {width_, height_};
    stream.WriteBuffer(header, sizeof header);
    if (!Empty())
        stream.WriteBuffer(bits_, static_cast<std::size_t>(width_) * height_ * 4);
}

void TBitmap32::CopyOnto(TBitmap32* dest, const TRect& destRect) {
    StretchTransfer(dest, destRect, dest != nullptr ? dest->ClipRect() : TRect{}, this,
                    WholeRect(), resampler_, drawMode_, OnPixelCombine);
}
