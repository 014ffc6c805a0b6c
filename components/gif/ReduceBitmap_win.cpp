#include "components/gif/ReduceBitmap_win.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "components/gif/ColorReduction.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "framework/graphics/Bitmap_win.h"

namespace {

constexpr const char* kNotImplemented = "Function not yet implemented";

void ShowMessageBox(const char* text) {
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    MessageBoxA(nullptr, text, nullptr, MB_OK | MB_ICONERROR);
}

TReductionMessageHook gMessageHook = &ShowMessageBox;

[[noreturn]] void NotImplemented() {
    gMessageHook(kNotImplemented);
    Abort();
}

int BitsOf(TPixelFormat format) {
    switch (format) {
    case pf1bit:
        return 1;
    case pf4bit:
        return 4;
    case pf8bit:
        return 8;
    case pf24bit:
        return 24;
    default:
        return 0;
    }
}

struct Info256 {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[256];
};

class ScopedDC {
public:
    ScopedDC() : dc_(CreateCompatibleDC(nullptr)) {}
    ~ScopedDC() {
        if (old_ != nullptr) {
            SelectPalette(dc_, old_, FALSE);
        }
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    HDC Get() const { return dc_; }
    void Palette(HPALETTE palette) {
        if (palette != nullptr && dc_ != nullptr) {
            old_ = SelectPalette(dc_, palette, FALSE);
            RealizePalette(dc_);
        }
    }

private:
    HDC dc_;
    HPALETTE old_ = nullptr;
};

template <class T> void Resize(std::vector<T>& v, std::uint64_t n) {
    if (n > std::uint64_t(SIZE_MAX / sizeof(T))) {
        throw EOutOfMemory();
    }
    try {
        v.resize(std::size_t(n));
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

// The bitmap's rows at bits per pixel, bottom-up, through a header built
// here: whatever the source's own header says, the read asks for plain rows.
std::vector<std::uint8_t> ReadRows(HBITMAP handle, HPALETTE palette, int width, int height,
                                   int bits, Info256& info) {
    std::memset(&info, 0, sizeof info);
    info.Header.biSize = sizeof(BITMAPINFOHEADER);
    info.Header.biWidth = width;
    info.Header.biHeight = height;
    info.Header.biPlanes = 1;
    info.Header.biBitCount = WORD(bits);
    info.Header.biCompression = BI_RGB;
    std::vector<std::uint8_t> rows;
    Resize(rows, BmpRowSize(bits, width) * std::uint64_t(height));
    info.Header.biSizeImage = DWORD(rows.size());
    ScopedDC dc;
    dc.Palette(palette);
    const int lines = GetDIBits(dc.Get(), handle, 0, UINT(height), rows.data(),
                                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    if (lines != height || info.Header.biBitCount != bits) {
        NotImplemented();
    }
    return rows;
}

TMemoryStream* StreamOf(const std::vector<std::uint8_t>& bmp) {
    auto stream = std::make_unique<TMemoryStream>();
    stream->WriteBuffer(bmp.data(), bmp.size());
    stream->SetPosition(0);
    return stream.release();
}

} // namespace

TReductionMessageHook SetReductionMessageHook(TReductionMessageHook hook) {
    TReductionMessageHook old = gMessageHook;
    gMessageHook = hook != nullptr ? hook : &ShowMessageBox;
    return old;
}

TMemoryStream* ReduceBitmapColors(TBitmap* bitmap, TPixelFormat target, int method) {
    if (bitmap == nullptr || bitmap->Handle() == nullptr) {
        throw EInvalidGraphic();
    }
    if (bitmap->PixelFormat() == target && method != rmGrayscale) {
        auto stream = std::make_unique<TMemoryStream>();
        bitmap->SaveToStream(*stream);
        stream->SetPosition(0);
        return stream.release();
    }
    const int bits = BitsOf(target);
    if (bits == 0) {
        NotImplemented();
    }
    // GetDIBits wants the bitmap out of every DC: a canvas in use keeps it
    // selected, so a copy is read instead.
    struct FreeBitmap {
        void operator()(TBitmap* b) const { b->Free(); }
    };
    std::unique_ptr<TBitmap, FreeBitmap> copy;
    TBitmap* source = bitmap;
    if (bitmap->CanvasAllocated()) {
        copy.reset(Create<TBitmap>());
        copy->Assign(bitmap);
        source = copy.get();
    }
    DIBSECTION ds{};
    if (GetObjectA(source->Handle(), sizeof ds, &ds) == 0) {
        throw EInvalidGraphic();
    }
    const int width = ds.dsBm.bmWidth;
    const int height = ds.dsBm.bmHeight < 0 ? -ds.dsBm.bmHeight : ds.dsBm.bmHeight;
    HPALETTE palette = source->Palette();
    Info256 info;
    if (bits <= 4) {
        const std::vector<std::uint8_t> rows =
            ReadRows(source->Handle(), palette, width, height, bits, info);
        return StreamOf(BuildBmpFile(
            width, height, bits,
            std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(info.Colors),
                                          std::size_t(4) << bits),
            rows));
    }
    const std::vector<std::uint8_t> rows =
        ReadRows(source->Handle(), palette, width, height, 24, info);
    if (bits == 24) {
        return StreamOf(BuildBmpFile(width, height, 24, {}, rows));
    }
    const TReducedImage reduced = Reduce24To8(rows, width, height, method);
    return StreamOf(BuildReducedBmp(width, height, method, reduced));
}
