#pragma once

#include <cstdint>
#include <optional>

#include "framework/core/Types.h"

// The decisions of the toolkit's image list that need no window system:
// colour depth to creation flags, when the stored images go into a form
// description, how a picture strip is cut, and the change bracket.

// Where a toolkit image list takes its images from.
enum TTkImageListMode : std::uint8_t { imClassic, imPicture, imResourceIds, imItemList };

// How a strip's key colour is found. Scoped: the bitmap class already owns
// the unscoped name tmAuto.
enum class TTkImageListTransparentMode : std::uint8_t { tmNone, tmAuto, tmColor };

// The creation flags of the system's image lists (the values are the system's).
inline constexpr std::uint32_t kIlcMask = 0x01;
inline constexpr std::uint32_t kIlcColor4 = 0x04;
inline constexpr std::uint32_t kIlcColor8 = 0x08;
inline constexpr std::uint32_t kIlcColor16 = 0x10;
inline constexpr std::uint32_t kIlcColor24 = 0x18;
inline constexpr std::uint32_t kIlcColor32 = 0x20;
inline constexpr std::uint32_t kIlcColorDdb = 0xFE;

// The screen's depth (planes x bits per pixel) as a pixel format; a depth
// that names no format gives pfDevice.
TPixelFormat PixelFormatFromDepth(int planesTimesBits) noexcept;

// The colour flag of a format; pfDevice, pf1bit and pfCustom give the
// device-dependent flag.
std::uint32_t ImageListColorFlag(TPixelFormat format) noexcept;

// The creation flags of a list: pfDevice first stands for the screen's format.
std::uint32_t ImageListCreateFlags(TPixelFormat format, TPixelFormat screen, bool masked) noexcept;

// Formats a toolkit list refuses (the property keeps its value).
constexpr bool IsIgnoredImageListFormat(TPixelFormat format) noexcept {
    return format == pf1bit || format == pfCustom;
}

// What a list holds as the source of its images.
struct TTkImageSourceState {
    TTkImageListMode Mode = imPicture;
    bool PictureHasImage = false; // a graphic that is not empty
    int ResourceIdLines = 0;
    int ItemCount = 0;
};

// True when the list has a source of its own in its mode: it is rebuilt from
// that source on loading, and its images are then not stored.
bool HasImageSource(const TTkImageSourceState& state) noexcept;

// True when the framework's stored image data is written with the list.
inline bool StoresImageData(const TTkImageSourceState& state) noexcept {
    return !HasImageSource(state);
}

// Whether an internal rebuild (a new mode, depth or key rule, a copy of
// another list) may replace the images: only a picture that holds an image
// does, so stored or added images survive a list whose picture is empty.
// An explicit change of the picture itself always rebuilds.
inline bool RebuildsFromPicture(bool pictureHasImage, bool pictureChanged) noexcept {
    return pictureHasImage || pictureChanged;
}

// The number of images cut from a strip bitmapWidth wide: whole cells only,
// but a bitmap narrower than one cell still gives one.
int StripCellCount(int bitmapWidth, int cellWidth) noexcept;

// The pixel that keys cell `cell` under the automatic rule: its bottom-left,
// in the list's height. Empty when that pixel lies outside the bitmap.
std::optional<TPoint> StripKeyPixel(int cell, int cellWidth, int cellHeight, int bitmapWidth,
                                    int bitmapHeight) noexcept;

// The change bracket: inside Begin/End changes are recorded, the outermost
// End delivers at most one.
class TTkChangeBracket {
public:
    void Begin() noexcept {
        if (count_ == 0)
            pending_ = false;
        ++count_;
    }
    // True when the caller must deliver the change now.
    bool End() noexcept {
        if (count_ > 0)
            --count_;
        return count_ == 0 && pending_;
    }
    // Records a change; true when it is to be delivered now (no bracket open).
    bool Change() noexcept {
        pending_ = true;
        return count_ == 0;
    }
    // Raises and lowers the count without the delivery of End (attaching a
    // handle records its change but does not announce it).
    void Raise() noexcept { ++count_; }
    void Lower() noexcept {
        if (count_ > 0)
            --count_;
    }
    int Count() const noexcept { return count_; }
    bool Pending() const noexcept { return pending_; }

private:
    int count_ = 0;
    bool pending_ = false;
};
