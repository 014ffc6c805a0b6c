#include "components/gif/GIFImage_win.h"

#include <utility>

#include "components/MaxMin.h"
#include "components/gif/GifBitmap.h"
#include "components/gif/GifDraw_win.h"
#include "components/gif/GifErrors.h"
#include "components/gif/GifStreamIo.h"
#include "components/gif/GraphicProgress_win.h"
#include "framework/core/ClassRegistry.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/GdiUtils_win.h"
#include "framework/graphics/Picture_win.h"

namespace {

std::uint32_t gClipboardFormat = 0;

TColor NearestColor(TColor color) {
    HDC screen = GetDC(nullptr);
    const COLORREF nearest = GetNearestColor(screen, ColorRef(color));
    ReleaseDC(nullptr, screen);
    return TColor(nearest);
}

// Locks a global memory block for the scope.
class GlobalLock_ {
public:
    explicit GlobalLock_(HANDLE data)
        : data_(HGLOBAL(data)), bytes_(static_cast<const std::uint8_t*>(GlobalLock(data_))) {}
    ~GlobalLock_() {
        if (bytes_)
            GlobalUnlock(data_);
    }
    std::span<const std::uint8_t> Bytes() const {
        return bytes_ ? std::span<const std::uint8_t>(bytes_, GlobalSize(data_))
                      : std::span<const std::uint8_t>();
    }

private:
    HGLOBAL data_;
    const std::uint8_t* bytes_;
};

} // namespace

// ---------------------------------------------------------------------------
// TGIFFrame

TGIFFrame::TGIFFrame(TGIFImage* owner) : owner_(owner) {}

TGIFFrame::~TGIFFrame() {
    if (bitmap_ != nullptr)
        bitmap_->Free();
}

void TGIFFrame::AdoptBitmap(TBitmap* bitmap) {
    if (bitmap_ != nullptr)
        bitmap_->Free();
    bitmap_ = bitmap;
}

TBitmap* TGIFFrame::Bitmap() {
    if (bitmap_ != nullptr && !bitmap_->Empty()) {
        return bitmap_;
    }
    AdoptBitmap(Create<TBitmap>());
    const GifItem& item = *info_.Item;
    if (!item.EncodedData) {
        return bitmap_;
    }
    GraphicProgress progress(owner_);
    bool corrupted = info_.Corrupted;
    std::vector<std::uint8_t> bmp =
        DecodeFrameBitmap(info_, TGIFImage::Options(), corrupted,
                          (owner_ != nullptr && owner_->OnProgress) ? &progress : nullptr);
    info_.Corrupted = corrupted;
    if (item.Width > 0 && item.Height > 0) {
        TMemoryStream stream;
        stream.WriteBuffer(bmp.data(), bmp.size());
        stream.SetPosition(0);
        bitmap_->LoadFromStream(stream);
        if (!bitmap_->Monochrome()) {
            bitmap_->SetHandleType(bmDDB);
        }
    }
    return bitmap_;
}

int TGIFFrame::Width() {
    if (bitmap_ == nullptr && !info_.Item->EncodedData)
        return 0;
    return Bitmap()->Width();
}

int TGIFFrame::Height() {
    if (bitmap_ == nullptr && !info_.Item->EncodedData)
        return 0;
    return Bitmap()->Height();
}

void TGIFFrame::Assign(TPersistent* Source) {
    if (Source == this)
        return;
    if (Source == nullptr) {
        info_.Item = std::make_shared<GifItem>();
        AdoptBitmap(nullptr);
    } else if (auto* frame = dynamic_cast<TGIFFrame*>(Source)) {
        const GifFrameInfo& from = frame->info_;
        info_.Item = from.Item;
        info_.LocalColors = frame->owner_ == owner_ ? from.LocalColors : true;
        info_.Left = from.Left;
        info_.Top = from.Top;
        info_.Interlaced = from.Interlaced;
        if (frame->bitmap_ != nullptr) {
            TBitmap* copy = Create<TBitmap>();
            try {
                copy->Assign(frame->bitmap_);
            } catch (...) {
                copy->Free();
                throw;
            }
            AdoptBitmap(copy);
        }
        info_.TransparentColor = from.TransparentColor;
        info_.AnimationInterval = from.AnimationInterval;
        info_.Disposal = from.Disposal;
        info_.Grayscale = from.Grayscale;
        info_.Corrupted = from.Corrupted;
        const std::vector<std::string>* comment = from.Comment();
        if (comment != nullptr && !comment->empty()) {
            GifExtension extension;
            extension.Kind = GifExtensionKind::ekComment;
            extension.Data = *comment;
            info_.Extensions.push_back(std::move(extension));
        }
    } else if (auto* image = dynamic_cast<TGIFImage*>(Source)) {
        if (image->frames_.empty()) {
            Assign(nullptr);
            return;
        }
        Assign(image->CurrentOrFirst());
        return;
    } else if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        if (graphic->Empty()) {
            Assign(nullptr);
            return;
        }
        info_.Item = std::make_shared<GifItem>();
        TBitmap* copy = Create<TBitmap>();
        try {
            try {
                copy->Assign(graphic);
            } catch (const Exception&) {
                // A class the bitmap cannot take: draw it on a magenta ground.
                copy->Canvas()->Brush()->SetColor(clFuchsia);
                copy->SetSize(graphic->Width(), graphic->Height());
                copy->Canvas()->Draw(0, 0, graphic);
            }
        } catch (...) {
            copy->Free();
            throw;
        }
        AdoptBitmap(copy);
        if (graphic->Transparent()) {
            auto* bitmap = dynamic_cast<TBitmap*>(graphic);
            info_.TransparentColor = bitmap != nullptr
                                         ? bitmap->TransparentColor()
                                         : NearestColor(copy->Canvas()->Brush()->Color());
        }
    } else {
        TPersistent::Assign(Source);
        return;
    }
    if (owner_ != nullptr)
        owner_->RecomputeScreenSize();
}

void TGIFFrame::AssignTo(TPersistent* Dest) {
    if (dynamic_cast<TGIFFrame*>(Dest) != nullptr || dynamic_cast<TGIFImage*>(Dest) != nullptr) {
        Dest->Assign(this);
        return;
    }
    auto* graphic = dynamic_cast<TGraphic*>(Dest);
    if (graphic == nullptr) {
        TPersistent::AssignTo(Dest);
        return;
    }
    graphic->Assign(Bitmap());
    if (auto* bitmap = dynamic_cast<TBitmap*>(Dest);
        bitmap != nullptr && info_.TransparentColor != clNone) {
        bitmap->SetTransparentColor(NearestColor(info_.TransparentColor));
        bitmap->SetTransparent(true);
    }
}

// ---------------------------------------------------------------------------
// TGIFImage

GifOptions& TGIFImage::Options() {
    static GifOptions options;
    return options;
}

std::uint32_t TGIFImage::ClipboardFormat() {
    return gClipboardFormat;
}

TGIFImage::TGIFImage() {
    Reset();
    SetTransparent(true);
}

TGIFImage::~TGIFImage() {
    OnChange = TNotifyEvent();
    ClearFrames();
}

void TGIFImage::ClearFrames() {
    std::vector<TGIFFrame*> frames;
    frames.swap(frames_);
    for (TGIFFrame* frame : frames)
        frame->Free();
}

void TGIFImage::Reset() {
    data_ = std::make_shared<GifData>();
    ClearFrames();
    corrupted_ = false;
    frameIndex_ = -1;
    backgroundColor_ = clNone;
    repeatCount_ = 1;
    looping_ = false;
    version_ = 0;
}

void TGIFImage::TakeState(GifImageState& state) {
    data_ = state.Data;
    version_ = state.Version;
    screenWidth_ = state.ScreenWidth;
    screenHeight_ = state.ScreenHeight;
    backgroundColor_ = state.BackgroundColor;
    looping_ = state.Looping;
    corrupted_ = state.Corrupted;
    repeatCount_ = state.RepeatCount;
    for (GifFrameInfo& info : state.Frames) {
        auto* frame = new TGIFFrame(this);
        frame->info_ = std::move(info);
        frames_.push_back(frame);
    }
    frameIndex_ = state.FrameIndex;
}

void TGIFImage::Load(const std::function<void(GifImageState&)>& read, bool decodeFirst) {
    Reset();
    GifImageState state;
    try {
        read(state);
    } catch (...) {
        TakeState(state);
        throw;
    }
    TakeState(state);
    if (!frames_.empty()) {
        frameIndex_ = 0;
        if (decodeFirst) {
            try {
                frames_[0]->Bitmap();
            } catch (...) {
                frames_[0]->Free();
                frames_.erase(frames_.begin());
                if (frames_.empty())
                    frameIndex_ = -1;
                throw;
            }
        }
    }
    SetPaletteModified(true);
    Changed(this);
}

void TGIFImage::RecomputeScreenSize() {
    int width = 0;
    int height = 0;
    for (TGIFFrame* frame : frames_) {
        // An encoded frame's size is its item's, which its bitmap will have:
        // no frame needs decoding (nor can fail) just to be measured.
        const GifItem& item = *frame->info_.Item;
        int w = 0;
        int h = 0;
        if (frame->bitmap_ != nullptr && !frame->bitmap_->Empty()) {
            w = frame->bitmap_->Width();
            h = frame->bitmap_->Height();
        } else if (item.EncodedData) {
            w = item.Width;
            h = item.Height;
        }
        width = IntMax(width, w + frame->info_.Left);
        height = IntMax(height, h + frame->info_.Top);
    }
    screenWidth_ = width;
    screenHeight_ = height;
}

TGIFFrame* TGIFImage::CurrentOrFirst() const {
    if (frames_.empty())
        return nullptr;
    if (frameIndex_ >= 0 && std::size_t(frameIndex_) < frames_.size())
        return frames_[std::size_t(frameIndex_)];
    return frames_[0];
}

bool TGIFImage::Empty() const {
    TGIFFrame* frame = CurrentOrFirst();
    if (frame == nullptr)
        return true;
    if (frame->bitmap_ != nullptr)
        return false;
    const auto& encoded = frame->info_.Item->EncodedData;
    return !encoded || encoded->empty();
}

int TGIFImage::Width() const {
    if (Empty() || frameIndex_ < 0 || std::size_t(frameIndex_) >= frames_.size())
        return 0;
    return frames_[std::size_t(frameIndex_)]->Bitmap()->Width();
}

int TGIFImage::Height() const {
    if (Empty() || frameIndex_ < 0 || std::size_t(frameIndex_) >= frames_.size())
        return 0;
    return frames_[std::size_t(frameIndex_)]->Bitmap()->Height();
}

void TGIFImage::SetWidth(int) {
    GifRaise(kGifCannotResize);
}
void TGIFImage::SetHeight(int) {
    GifRaise(kGifCannotResize);
}

bool TGIFImage::Transparent() const {
    if (!TGraphic::Transparent())
        return false;
    for (TGIFFrame* frame : frames_) {
        if (frame->info_.TransparentColor != clNone)
            return true;
    }
    return false;
}

HPALETTE TGIFImage::Palette() {
    if (frames_.empty())
        return nullptr;
    return Bitmap()->Palette();
}

void TGIFImage::Draw(TCanvas* canvas, const TRect& rect) {
    if (frameIndex_ < 0)
        return;
    // An index past the list falls back to frame 0, as Bitmap() does.
    TGIFFrame* frame = CurrentOrFirst();
    if (frame == nullptr)
        return;
    TBitmap* bitmap = frame->Bitmap();
    if (Transparent() && frame->info_.TransparentColor != clNone) {
        DrawBitmapPartTransparent(canvas, rect.Left, rect.Top, rect.Width(), rect.Height(), bitmap,
                                  Rect(0, 0, bitmap->Width(), bitmap->Height()),
                                  frame->info_.TransparentColor);
    } else {
        canvas->StretchDraw(rect, bitmap);
    }
}

void TGIFImage::LoadFromStream(TStream& stream) {
    Load(
        [&](GifImageState& state) {
            GifLoadFromStream(stream.Size() - stream.Position(), stream, Options(), state);
        },
        true);
}

void TGIFImage::ReadData(TStream& stream) {
    Load([&](GifImageState& state) { GifReadDataStream(stream, Options(), state); }, true);
}

void TGIFImage::LoadFromClipboardFormat(std::uint32_t format, HANDLE data, HPALETTE palette) {
    if (format == gClipboardFormat && gClipboardFormat != 0 && data != nullptr) {
        GlobalLock_ lock(data);
        Load(
            [&](GifImageState& state) {
                GifLoadFromClipboardBlock(lock.Bytes(), Options(), state);
            },
            false);
        if (!frames_.empty() && IsClipboardFormatAvailable(CF_BITMAP)) {
            TBitmap* bitmap = Create<TBitmap>();
            try {
                bitmap->LoadFromClipboardFormat(CF_BITMAP, GetClipboardData(CF_BITMAP), palette);
            } catch (...) {
                bitmap->Free();
                throw;
            }
            frames_[0]->AdoptBitmap(bitmap);
        }
        return;
    }
    TBitmap* bitmap = Create<TBitmap>();
    try {
        bitmap->LoadFromClipboardFormat(format, data, palette);
        Assign(bitmap);
    } catch (...) {
        bitmap->Free();
        throw;
    }
    bitmap->Free();
}

bool TGIFImage::Equals(TGraphic* other) {
    auto* gif = dynamic_cast<TGIFImage*>(other);
    return gif != nullptr && gif->data_ == data_;
}

int TGIFImage::AddFrame(TGraphic* graphic) {
    auto* frame = new TGIFFrame(this);
    frames_.push_back(frame);
    const int index = int(frames_.size()) - 1;
    frameIndex_ = index;
    try {
        frame->Assign(graphic);
    } catch (...) {
        frames_.pop_back();
        frame->Free();
        frameIndex_ = int(frames_.size()) - 1;
        throw;
    }
    if (version_ == 0)
        version_ = 1;
    if (frames_.size() > 1)
        version_ = 2;
    return index;
}

void TGIFImage::Assign(TPersistent* Source) {
    if (Source == this)
        return;
    if (Source == nullptr) {
        Reset();
        Changed(this);
        return;
    }
    if (auto* image = dynamic_cast<TGIFImage*>(Source)) {
        data_ = image->data_;
        version_ = image->version_;
        backgroundColor_ = image->backgroundColor_;
        repeatCount_ = image->repeatCount_;
        looping_ = image->looping_;
        corrupted_ = image->corrupted_;
        ClearFrames();
        for (TGIFFrame* source : image->frames_) {
            auto* frame = new TGIFFrame(this);
            frames_.push_back(frame);
            frame->Assign(source);
            frame->info_.LocalColors = source->info_.LocalColors;
        }
        screenWidth_ = image->screenWidth_;
        screenHeight_ = image->screenHeight_;
        frameIndex_ = image->frameIndex_;
        Changed(this);
        return;
    }
    if (auto* frame = dynamic_cast<TGIFFrame*>(Source)) {
        Reset();
        if (frame->owner_ != nullptr) {
            const GifData& from = *frame->owner_->data_;
            data_->AspectRatio = from.AspectRatio;
            data_->BitsPerPixel = from.BitsPerPixel;
            data_->ColorResolution = from.ColorResolution;
            data_->GlobalColors = from.GlobalColors;
        }
        auto* copy = new TGIFFrame(this);
        frames_.push_back(copy);
        copy->Assign(frame);
        frameIndex_ = 0;
        if (version_ == 0)
            version_ = 1;
        Changed(this);
        return;
    }
    if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        Reset();
        AddFrame(bitmap);
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TGIFImage::AssignTo(TPersistent* Dest) {
    if (dynamic_cast<TGIFImage*>(Dest) != nullptr) {
        Dest->Assign(this);
        return;
    }
    auto* graphic = dynamic_cast<TGraphic*>(Dest);
    if (graphic == nullptr) {
        TGraphic::AssignTo(Dest);
        return;
    }
    if (Empty()) {
        graphic->Assign(nullptr);
    } else if (frameIndex_ < 0) {
        graphic->Assign(Bitmap());
    } else {
        CurrentOrFirst()->AssignTo(Dest);
    }
}

TBitmap* TGIFImage::Bitmap() {
    if (!frames_.empty())
        return CurrentOrFirst()->Bitmap();
    frameIndex_ = 0;
    TBitmap* empty = Create<TBitmap>();
    try {
        Assign(empty);
    } catch (...) {
        empty->Free();
        throw;
    }
    empty->Free();
    return frames_[0]->Bitmap();
}

void RegisterGIFImage() {
    gClipboardFormat = RegisterClipboardFormatA("GIF Image");
    RegisterClasses({TPersistentClass::Of<TGIFFrame>(), TPersistentClass::Of<TGIFImage>()});
    TPicture::RegisterFileFormat("gif", "CompuServe GIF Image", TGraphicClass::Of<TGIFImage>());
    TPicture::RegisterClipboardFormat(gClipboardFormat, TGraphicClass::Of<TGIFImage>());
}

void UnregisterGIFImage() {
    TPicture::UnregisterGraphicClass(TGraphicClass::Of<TGIFImage>());
}
