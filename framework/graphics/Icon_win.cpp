#include "framework/graphics/Icon_win.h"

#include <cstring>

#include "framework/core/Exceptions.h"
#include "framework/core/Stream.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/IconFile.h"
#include "framework/graphics/PictureFormats.h"

TIcon::~TIcon() {
    if (handle_ != nullptr) DestroyIcon(handle_);
}

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::Replace(HICON icon, std::vector<std::uint8_t> file) {
    if (handle_ != nullptr && handle_ != icon) DestroyIcon(handle_);
    handle_ = icon;
    file_ = std::move(file);
    width_ = height_ = 0;
    ICONINFO info{};
    if (icon != nullptr && GetIconInfo(icon, &info)) {
        BITMAP bm{};
        if (info.hbmColor != nullptr && GetObjectA(info.hbmColor, sizeof bm, &bm)) {
            width_ = bm.bmWidth;
            height_ = bm.bmHeight;
        } else if (info.hbmMask != nullptr && GetObjectA(info.hbmMask, sizeof bm, &bm)) {
            width_ = bm.bmWidth;
            height_ = bm.bmHeight / 2;
        }
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    }
    Changed(this);
}

void TIcon::SetHandle(HICON icon) {
    if (icon == handle_) return;
    HICON copy = icon != nullptr ? CopyIcon(icon) : nullptr;
    if (icon != nullptr && copy == nullptr) throw EInvalidGraphic("Icon image is not valid");
    Replace(copy, {});
}

void TIcon::AdoptHandle(HICON icon) {
    if (icon == handle_) return;
    Replace(icon, {});
}

HICON TIcon::ReleaseHandle() {
    HICON icon = handle_;
    handle_ = nullptr;
    Replace(nullptr, {});
    return icon;
}

void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    // The system's icon size, as the classic LoadIcon gives: without
    // LR_DEFAULTSIZE the first image of the group would be taken, whatever its size.
    HICON icon = static_cast<HICON>(
        LoadImageA(instance, name.c_str(), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR | LR_DEFAULTSIZE));
    if (icon == nullptr) throw EResNotFound("Resource " + name + " not found");
    Replace(icon, {});
}

void TIcon::LoadFromIconFile(const std::uint8_t* data, std::size_t size) {
    const TIconDirectory dir = ParseIconDirectory(data, size);
    const TIconDirEntry& e = dir.Entries[BestIconEntry(dir)];
    HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(data + e.Offset), e.Size, TRUE, 0x00030000, e.Width,
                                          e.Height, LR_DEFAULTCOLOR);
    if (icon == nullptr) throw EInvalidGraphic("Icon image is not valid");
    Replace(icon, std::vector<std::uint8_t>(data, data + dir.BytesUsed));
}

void TIcon::LoadFromStream(TStream& stream) {
    const std::int64_t start = stream.Position();
    const std::int64_t available = stream.Size() - start;
    if (available <= 0 || available > (64 << 20)) throw EInvalidGraphic("Icon image is not valid");
    std::vector<std::uint8_t> data(static_cast<std::size_t>(available));
    stream.ReadBuffer(data.data(), data.size());
    LoadFromIconFile(data.data(), data.size());
    stream.SetPosition(start + static_cast<std::int64_t>(file_.size()));
}

// One 32-bit image from the icon's colour and mask bitmaps.
std::vector<std::uint8_t> TIcon::BuildFile() const {
    ICONINFO info{};
    if (handle_ == nullptr || !GetIconInfo(handle_, &info)) throw EInvalidGraphic("Icon image is not valid");
    const int w = width_;
    const int h = height_;
    std::vector<std::uint8_t> image(40);
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = w;
    header.biHeight = h * 2;
    header.biPlanes = 1;
    header.biBitCount = 32;
    const std::size_t colourBytes = static_cast<std::size_t>(w) * h * 4;
    const std::size_t maskStride = ((static_cast<std::size_t>(w) + 31) / 32) * 4;
    header.biSizeImage = static_cast<DWORD>(colourBytes + maskStride * h);
    std::memcpy(image.data(), &header, 40);
    image.resize(40 + colourBytes + maskStride * h);
    HDC screen = GetDC(nullptr);
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD c[2];
    } bi{};
    bi.h.biSize = 40;
    bi.h.biWidth = w;
    bi.h.biPlanes = 1;
    bool ok = true;
    if (info.hbmColor != nullptr) {
        bi.h.biHeight = h;
        bi.h.biBitCount = 32;
        ok = GetDIBits(screen, info.hbmColor, 0, h, image.data() + 40, reinterpret_cast<BITMAPINFO*>(&bi),
                       DIB_RGB_COLORS) != 0;
        // The mask's lower half (monochrome icons keep the image in the upper half).
        bi.h.biHeight = h;
        bi.h.biBitCount = 1;
        ok = ok && GetDIBits(screen, info.hbmMask, 0, h, image.data() + 40 + colourBytes,
                             reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS) != 0;
    } else {
        ok = false;
    }
    ReleaseDC(nullptr, screen);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (!ok) throw EInvalidGraphic("Icon image is not valid");
    return MakeIconFile(w, h, 32, image);
}

void TIcon::SaveToStream(TStream& stream) {
    if (Empty()) return;
    if (file_.empty()) file_ = BuildFile();
    stream.WriteBuffer(file_.data(), file_.size());
}

void TIcon::LoadFromClipboardFormat(std::uint32_t format, HANDLE data, HPALETTE) {
    if (data == nullptr || PictureFormats().FindClipboardFormat(format) != TIcon::StaticClass())
        throw EInvalidGraphic("Clipboard does not support Icons");
    const SIZE_T size = GlobalSize(data);
    const void* p = GlobalLock(data);
    if (p == nullptr) throw EInvalidGraphic("Icon image is not valid");
    try {
        LoadFromIconFile(static_cast<const std::uint8_t*>(p), size);
    } catch (...) {
        GlobalUnlock(data);
        throw;
    }
    GlobalUnlock(data);
}

void TIcon::SaveToClipboardFormat(std::uint32_t& format, HANDLE& data, HPALETTE& palette) {
    format = 0;
    for (const auto& f : PictureFormats().ClipboardFormats())
        if (f.GraphicClass == TIcon::StaticClass()) {
            format = f.Format;
            break;
        }
    if (format == 0) throw EInvalidGraphic("Clipboard does not support Icons");
    palette = nullptr;
    data = nullptr;
    if (Empty()) return;
    if (file_.empty()) file_ = BuildFile();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, file_.size());
    void* p = block != nullptr ? GlobalLock(block) : nullptr;
    if (p == nullptr) {
        if (block != nullptr) GlobalFree(block);
        throw EOutOfMemory();
    }
    std::memcpy(p, file_.data(), file_.size());
    GlobalUnlock(block);
    data = block;
}

void TIcon::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (Source == nullptr) {
        Replace(nullptr, {});
        return;
    }
    if (auto* other = dynamic_cast<TIcon*>(Source)) {
        HICON copy = other->handle_ != nullptr ? CopyIcon(other->handle_) : nullptr;
        Replace(copy, other->file_);
        return;
    }
    TGraphic::Assign(Source);
}

void TIcon::Draw(TCanvas* canvas, const TRect& rect) {
    if (Empty() || canvas == nullptr) return;
    DrawIconEx(canvas->Handle(), rect.Left, rect.Top, handle_, rect.Width(), rect.Height(), 0, nullptr, DI_NORMAL);
}
