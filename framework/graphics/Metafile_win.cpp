#include "framework/graphics/Metafile_win.h"

#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/core/Stream.h"
#include "framework/graphics/Canvas_win.h"

namespace {

[[noreturn]] void Invalid() {
    throw EInvalidGraphic("Metafile is not valid");
}

// The picture frame (hundredths of a millimetre) in pixels of the device it was made for.
void FrameSize(HENHMETAFILE handle, int& width, int& height) {
    width = height = 0;
    ENHMETAHEADER h{};
    if (handle == nullptr || GetEnhMetaFileHeader(handle, sizeof h, &h) == 0)
        return;
    if (h.szlMillimeters.cx > 0)
        width =
            MulDiv(h.rclFrame.right - h.rclFrame.left, h.szlDevice.cx, h.szlMillimeters.cx * 100);
    if (h.szlMillimeters.cy > 0)
        height =
            MulDiv(h.rclFrame.bottom - h.rclFrame.top, h.szlDevice.cy, h.szlMillimeters.cy * 100);
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
}

} // namespace

TMetafile::~TMetafile() {
    if (handle_ != nullptr)
        DeleteEnhMetaFile(handle_);
}

void TMetafile::Replace(HENHMETAFILE handle, int width, int height) {
    if (handle_ != nullptr && handle_ != handle)
        DeleteEnhMetaFile(handle_);
    handle_ = handle;
    width_ = width;
    height_ = height;
    Changed(this);
}

void TMetafile::SetHandle(HENHMETAFILE handle) {
    int w, h;
    FrameSize(handle, w, h);
    Replace(handle, w, h);
}

void TMetafile::SetWidth(int width) {
    if (width == width_)
        return;
    width_ = width < 0 ? 0 : width;
    Changed(this);
}

void TMetafile::SetHeight(int height) {
    if (height == height_)
        return;
    height_ = height < 0 ? 0 : height;
    Changed(this);
}

void TMetafile::Draw(TCanvas* canvas, const TRect& rect) {
    if (Empty() || canvas == nullptr)
        return;
    const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    PlayEnhMetaFile(canvas->Handle(), handle_, &r);
}

void TMetafile::LoadFromStream(TStream& stream) {
    const std::int64_t left = stream.Size() - stream.Position();
    // The header record alone is 88 bytes; the system checks the rest.
    if (left < 88 || left > 0x7FFFFFFF)
        Invalid();
    std::vector<BYTE> bytes(static_cast<std::size_t>(left));
    stream.ReadBuffer(bytes.data(), bytes.size());
    HENHMETAFILE handle = SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
    if (handle == nullptr)
        Invalid();
    SetHandle(handle);
}

void TMetafile::SaveToStream(TStream& stream) {
    if (Empty())
        return;
    const UINT size = GetEnhMetaFileBits(handle_, 0, nullptr);
    std::vector<BYTE> bytes(size);
    if (size == 0 || GetEnhMetaFileBits(handle_, size, bytes.data()) != size)
        Invalid();
    stream.WriteBuffer(bytes.data(), bytes.size());
}

void TMetafile::LoadFromClipboardFormat(std::uint32_t format, HANDLE data, HPALETTE) {
    if (format != CF_ENHMETAFILE || data == nullptr)
        Invalid();
    // The clipboard keeps its own handle.
    HENHMETAFILE copy = CopyEnhMetaFileA(static_cast<HENHMETAFILE>(data), nullptr);
    if (copy == nullptr)
        Invalid();
    SetHandle(copy);
}

void TMetafile::SaveToClipboardFormat(std::uint32_t& format, HANDLE& data, HPALETTE& palette) {
    format = CF_ENHMETAFILE;
    palette = nullptr;
    data = handle_ != nullptr ? CopyEnhMetaFileA(handle_, nullptr) : nullptr;
}

void TMetafile::Assign(TPersistent* Source) {
    if (Source == this)
        return;
    if (Source == nullptr) {
        Replace(nullptr, 0, 0);
        return;
    }
    if (auto* other = dynamic_cast<TMetafile*>(Source)) {
        HENHMETAFILE copy =
            other->handle_ != nullptr ? CopyEnhMetaFileA(other->handle_, nullptr) : nullptr;
        if (other->handle_ != nullptr && copy == nullptr)
            Invalid();
        Replace(copy, other->width_, other->height_);
        return;
    }
    TGraphic::Assign(Source);
}
