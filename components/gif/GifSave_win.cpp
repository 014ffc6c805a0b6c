// TGIFImage's writing: the portable writer over the image's frames, with
// frames that exist only as bitmaps encoded from their BMP form (reduced to
// 8 bits first when they have more).
#include <cstring>
#include <memory>
#include <utility>

#include "components/gif/ColorReduction.h"
#include "components/gif/GIFImage_win.h"
#include "components/gif/GifErrors.h"
#include "components/gif/GifWriter.h"
#include "components/gif/GraphicProgress_win.h"
#include "components/gif/ReduceBitmap_win.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "framework/graphics/Bitmap_win.h"

namespace {

std::vector<std::uint8_t> BytesOf(TMemoryStream& stream) {
    const auto* p = static_cast<const std::uint8_t*>(stream.Memory());
    return std::vector<std::uint8_t>(p, p + stream.Size());
}

} // namespace

int& GifDefaultReductionMethod() {
    static int method = rmHistogram;
    return method;
}

std::vector<std::uint8_t> TGIFImage::SaveToBytes(bool sizePrefix) {
    GifImageState state;
    state.Data = data_;
    state.Version = version_;
    state.ScreenWidth = std::uint16_t(screenWidth_);
    state.ScreenHeight = std::uint16_t(screenHeight_);
    state.BackgroundColor = backgroundColor_;
    state.Looping = looping_;
    state.Corrupted = corrupted_;
    state.RepeatCount = std::uint16_t(repeatCount_);
    state.FrameIndex = frameIndex_;
    for (TGIFFrame* frame : frames_) {
        state.Frames.push_back(std::move(frame->info_));
    }
    // The frames go back whatever happens, with what preparing them changed.
    struct Restore {
        TGIFImage& image;
        GifImageState& state;
        ~Restore() {
            for (std::size_t i = 0; i < image.frames_.size() && i < state.Frames.size(); ++i) {
                image.frames_[i]->info_ = std::move(state.Frames[i]);
            }
            image.version_ = state.Version;
            image.screenWidth_ = state.ScreenWidth;
            image.screenHeight_ = state.ScreenHeight;
        }
    } restore{*this, state};

    GraphicProgress progress(this);
    GifProgress* listener = OnProgress ? &progress : nullptr;
    return GifSaveToBytes(
        state,
        [&](std::size_t index, GifFrameInfo& info) {
            TBitmap* bitmap = frames_[index]->bitmap_;
            if (bitmap == nullptr || bitmap->Empty()) {
                GifRaise(kGifNoData);
            }
            std::unique_ptr<TMemoryStream> bmp;
            const TPixelFormat format = bitmap->PixelFormat();
            if (format == pf1bit || format == pf4bit || format == pf8bit) {
                bmp = std::make_unique<TMemoryStream>();
                bitmap->SaveToStream(*bmp);
            } else {
                const int method = info.Grayscale ? rmGrayscale : GifDefaultReductionMethod();
                bmp.reset(ReduceBitmapColors(bitmap, pf8bit, method));
                if (method == rmGrayscale) {
                    info.Grayscale = true;
                }
                if (bmp->Size() == 0) {
                    bmp = std::make_unique<TMemoryStream>();
                    bitmap->SaveToStream(*bmp);
                }
            }
            try {
                EncodeFrameFromBmp(state, info, BytesOf(*bmp), listener);
            } catch (const EAbort&) {
                info.Item = std::make_shared<GifItem>();
                throw;
            }
        },
        sizePrefix);
}

void TGIFImage::SaveToStream(TStream& stream) {
    const std::vector<std::uint8_t> bytes = SaveToBytes(false);
    stream.WriteBuffer(bytes.data(), bytes.size());
}

void TGIFImage::WriteData(TStream& stream) {
    const std::vector<std::uint8_t> bytes = SaveToBytes(true);
    stream.WriteBuffer(bytes.data(), bytes.size());
}

void TGIFImage::SaveToClipboardFormat(std::uint32_t& format, HANDLE& data, HPALETTE& palette) {
    if (frames_.empty()) {
        return;
    }
    frames_[0]->Bitmap()->SaveToClipboardFormat(format, data, palette);
    for (TGIFFrame* frame : frames_) {
        const auto& encoded = frame->info_.Item->EncodedData;
        if (!encoded || encoded->empty()) {
            return;
        }
    }
    const std::vector<std::uint8_t> bytes = SaveToBytes(true);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (block == nullptr) {
        throw EOutOfMemory();
    }
    void* p = GlobalLock(block);
    if (p == nullptr) {
        GlobalFree(block);
        throw EOutOfMemory();
    }
    std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(block);
    if (SetClipboardData(ClipboardFormat(), block) == nullptr) {
        const DWORD error = GetLastError();
        GlobalFree(block);
        throw Exception::CreateFmt<EInvalidOperation>(
            "Cannot put the GIF image on the clipboard (error %d)", {int(error)});
    }
}
