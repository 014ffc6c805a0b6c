#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "components/gif/GifTypes.h"
#include "framework/graphics/Graphic_win.h"

class TBitmap;
class TGIFImage;

// One frame of a TGIFImage: the portable frame record (position, flags,
// transparency, interval, extensions, shared encoded item) and its device
// bitmap, decoded on first use.
class TGIFFrame : public TPersistent {
    FW_CLASS(TGIFFrame, TPersistent)
public:
    explicit TGIFFrame(TGIFImage* owner = nullptr);
    ~TGIFFrame() override;

    TGIFImage* Owner() const noexcept { return owner_; }
    GifFrameInfo& Info() noexcept { return info_; }
    const GifFrameInfo& Info() const noexcept { return info_; }
    bool HasBitmap() const noexcept { return bitmap_ != nullptr; }

    // The decoded bitmap (owned by the frame). A frame without encoded data
    // gives an empty bitmap. Decoding errors propagate; a corruption found
    // while decoding marks the frame corrupted.
    TBitmap* Bitmap();
    // 0 when the frame has neither a bitmap nor encoded data.
    int Width();
    int Height();

    // nullptr: a new empty item, no bitmap. A TGIFFrame: shares its item and
    // copies its state. A TGIFImage: its current frame. A TBitmap or other
    // graphic: a new empty item and a bitmap assigned from it.
    void Assign(TPersistent* Source) override;

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    friend class TGIFImage;
    void AdoptBitmap(TBitmap* bitmap);

    TGIFImage* owner_;
    TBitmap* bitmap_ = nullptr;
    GifFrameInfo info_;
};

// A GIF picture (87a or 89a, any number of frames) for the picture-format
// registry. The file is parsed into encoded frames by the portable reader;
// a frame is decoded into a device bitmap only when drawn or measured, except
// frame 0, which a file load decodes at once so that a bad file fails there.
// Drawing shows the current frame, with its transparent colour keyed out.
class TGIFImage : public TGraphic {
    FW_CLASS(TGIFImage, TGraphic)
public:
    TGIFImage();
    ~TGIFImage() override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    // Raise EInvalidGraphicOperation "Cannot change the Size of a GIF image".
    void SetWidth(int) override;
    void SetHeight(int) override;
    // The Transparent flag and a frame with a transparent colour.
    bool Transparent() const override;
    HPALETTE Palette() override;
    void Draw(TCanvas* canvas, const TRect& rect) override;

    // The rest of the stream as a GIF file; frame 0 is decoded at once.
    void LoadFromStream(TStream& stream) override;
    // Writes the whole GIF (GifSave_win.cpp): frames without encoded data
    // are encoded from their bitmaps, reduced to 8 bits first when deeper.
    void SaveToStream(TStream& stream) override;
    // "GIF Image" data (a size-prefixed GIF file, with CF_BITMAP for frame 0
    // when present), or any format a TBitmap reads.
    void LoadFromClipboardFormat(std::uint32_t format, HANDLE data, HPALETTE palette) override;
    void SaveToClipboardFormat(std::uint32_t& format, HANDLE& data, HPALETTE& palette) override;
    // Form data: a signed 32-bit size, then the file.
    void ReadData(TStream& stream) override;
    void WriteData(TStream& stream) override;
    // Another TGIFImage sharing the same data.
    bool Equals(TGraphic* other) override;

    // nullptr: empty. A TGIFImage: shares its data and copies its frames. A
    // TGIFFrame: an image of that frame. A TBitmap: one frame of it.
    void Assign(TPersistent* Source) override;
    // Appends a frame assigned from graphic; returns its index, now current.
    virtual int AddFrame(TGraphic* graphic);

    // The current frame's bitmap (frame 0 when the index is outside the list);
    // an image without frames gets one empty frame.
    TBitmap* Bitmap();

    int FrameCount() const noexcept { return int(frames_.size()); }
    TGIFFrame* Frame(int index) const { return frames_.at(std::size_t(index)); }
    int FrameIndex() const noexcept { return frameIndex_; }
    void SetFrameIndex(int index) noexcept { frameIndex_ = index; }
    const GifData& Data() const noexcept { return *data_; }
    std::uint8_t Version() const noexcept { return version_; }
    int ScreenWidth() const noexcept { return screenWidth_; }
    int ScreenHeight() const noexcept { return screenHeight_; }
    TColor BackgroundColor() const noexcept { return backgroundColor_; }
    bool Looping() const noexcept { return looping_; }
    int RepeatCount() const noexcept { return repeatCount_; }
    bool Corrupted() const noexcept { return corrupted_; }

    // The reader's settings; keeping damaged frames is on, as the program wants.
    static GifOptions& Options();
    // The registered "GIF Image" clipboard format (0 before registration).
    static std::uint32_t ClipboardFormat();

protected:
    void AssignTo(TPersistent* Dest) override;

private:
    friend class TGIFFrame;
    void Reset();
    void ClearFrames();
    // Takes over what a load produced, also after a failed one.
    void TakeState(GifImageState& state);
    // Resets, reads through read, takes over what was read (also after a
    // failure) and, when asked, decodes frame 0, dropping it when that fails.
    void Load(const std::function<void(GifImageState&)>& read, bool decodeFirst);
    void RecomputeScreenSize();
    // The file, prefixed with its size when asked; the frames are prepared first.
    std::vector<std::uint8_t> SaveToBytes(bool sizePrefix);
    TGIFFrame* CurrentOrFirst() const;

    std::shared_ptr<GifData> data_;
    std::uint8_t version_ = 0;
    std::vector<TGIFFrame*> frames_;
    int frameIndex_ = -1;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    TColor backgroundColor_ = clNone;
    bool looping_ = false;
    bool corrupted_ = false;
    int repeatCount_ = 1;
};

// Registers the "GIF Image" clipboard format, the streaming classes, and
// TGIFImage for "gif" ("CompuServe GIF Image") and that clipboard format.
// Called once by the program's start-up, never by the band library.
void RegisterGIFImage();
// The reduction method for bitmaps of more than 8 bits (0, the histogram).
int& GifDefaultReductionMethod();
void UnregisterGIFImage();
