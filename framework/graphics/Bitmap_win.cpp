#include "framework/graphics/Bitmap_win.h"

#include <cstring>
#include <memory>

#include "framework/core/Exceptions.h"
#include "framework/core/Stream.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/GdiUtils_win.h"

// The canvas of a bitmap: a memory DC with the bitmap selected, made on first
// use and given up (bitmap deselected) before the bitmap's handle changes.
class TBitmapCanvas : public TCanvas {
    FW_CLASS(TBitmapCanvas, TCanvas)
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }

    void FreeContext() {
        if (memDC_ == nullptr) return;
        HDC dc = memDC_;
        SetHandle(nullptr);
        if (oldBitmap_ != nullptr) SelectObject(dc, oldBitmap_);
        if (oldPalette_ != nullptr) SelectPalette(dc, oldPalette_, TRUE);
        DeleteDC(dc);
        memDC_ = nullptr;
        oldBitmap_ = nullptr;
        oldPalette_ = nullptr;
    }
    bool Allocated() const noexcept { return memDC_ != nullptr; }

protected:
    void CreateHandle() override {
        HDC dc = CreateCompatibleDC(nullptr);
        if (dc == nullptr) return;
        if (bitmap_->handle_ != nullptr) oldBitmap_ = SelectObject(dc, bitmap_->handle_);
        if (bitmap_->palette_ != nullptr) {
            oldPalette_ = SelectPalette(dc, bitmap_->palette_, TRUE);
            RealizePalette(dc);
        }
        memDC_ = dc;
        SetHandle(dc);
    }

private:
    TBitmap* bitmap_;
    HDC memDC_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    HPALETTE oldPalette_ = nullptr;
};

namespace {

int BitCountOf(TPixelFormat format) {
    switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
    }
}

TPixelFormat FormatOfBitCount(int bits) {
    switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfCustom;
    }
}

// The default colour tables: black/white, the 16 VGA colours, and for 8 bits
// those 16, a 6x6x6 cube and grays.
std::vector<std::uint32_t> DefaultColourTable(int bits) {
    static constexpr std::uint32_t kVga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                               0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                               0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};  // as 0x00RRGGBB
    std::vector<std::uint32_t> table;
    if (bits == 1) return {0x000000, 0xFFFFFF};
    table.assign(kVga, kVga + 16);
    if (bits == 4) return table;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                table.push_back(static_cast<std::uint32_t>((r * 51) << 16 | (g * 51) << 8 | (b * 51)));
    for (int i = 0; table.size() < 256; ++i) table.push_back(static_cast<std::uint32_t>(0x0A0A0A * (i + 1) & 0xFFFFFF));
    return table;
}

struct TBitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// Makes the HBITMAP for a format: a bottom-up DIB section, or a compatible
// bitmap for bmDDB. Raises EOutOfMemory when the system refuses.
HBITMAP MakeBitmap(int width, int height, TPixelFormat format, TBitmapHandleType type,
                   const std::vector<std::uint32_t>* table, void** bits) {
    *bits = nullptr;
    if (width <= 0 || height <= 0) return nullptr;
    HBITMAP bitmap = nullptr;
    if (type == bmDDB) {
        HDC screen = GetDC(nullptr);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
    } else {
        auto info = std::make_unique<TBitmapInfo256>();
        std::memset(info.get(), 0, sizeof *info);
        const int bitCount = BitCountOf(format);
        info->header.biSize = sizeof(BITMAPINFOHEADER);
        info->header.biWidth = width;
        info->header.biHeight = height;
        info->header.biPlanes = 1;
        info->header.biBitCount = static_cast<WORD>(bitCount);
        info->header.biCompression = BI_RGB;
        if (format == pf16bit) {
            info->header.biCompression = BI_BITFIELDS;
            const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
            std::memcpy(info->colours, masks, sizeof masks);
        } else if (bitCount <= 8) {
            const std::vector<std::uint32_t> fallback = DefaultColourTable(bitCount);
            const std::vector<std::uint32_t>& colours = table != nullptr && !table->empty() ? *table : fallback;
            const std::size_t n = std::size_t{1} << bitCount;
            for (std::size_t i = 0; i < n && i < colours.size(); ++i)
                std::memcpy(&info->colours[i], &colours[i], sizeof(RGBQUAD));
            info->header.biClrUsed = static_cast<DWORD>(n);
        }
        bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.get()), DIB_RGB_COLORS, bits, nullptr, 0);
    }
    if (bitmap == nullptr) throw EOutOfMemory("Out of system resources");
    return bitmap;
}

void Fill(HBITMAP bitmap, int x, int y, int w, int h, COLORREF colour) {
    if (bitmap == nullptr || w <= 0 || h <= 0) return;
    TScopedMemoryDC dc;
    TScopedSelect select(dc.Get(), bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT r{x, y, x + w, y + h};
    FillRect(dc.Get(), &r, brush);
    DeleteObject(brush);
}

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    delete canvas_;
    if (handle_ != nullptr) DeleteObject(handle_);
    FreePalette();
}

void TBitmap::FreePalette() {
    if (palette_ != nullptr) DeleteObject(palette_);
    palette_ = nullptr;
}

TCanvas* TBitmap::Canvas() {
    if (canvas_ == nullptr) {
        canvas_ = new TBitmapCanvas(this);
        canvas_->OnChange = TNotifyEvent(this, &TBitmap::CanvasChanged);
    }
    return canvas_;
}

bool TBitmap::CanvasAllocated() const noexcept { return canvas_ != nullptr && canvas_->Allocated(); }

void TBitmap::CanvasChanged(TObject*) { Changed(this); }

HBITMAP TBitmap::Handle() { return handle_; }

std::vector<std::uint32_t> TBitmap::ColourTable() {
    std::vector<std::uint32_t> table;
    if (handle_ == nullptr || bits_ == nullptr || BitCountOf(pixelFormat_) > 8 || pixelFormat_ == pfDevice) return table;
    RGBQUAD colours[256];
    UINT n = 0;
    if (canvas_ != nullptr && canvas_->Allocated()) {
        n = GetDIBColorTable(canvas_->Handle(), 0, 256, colours);
    } else {
        TScopedMemoryDC dc;
        TScopedSelect select(dc.Get(), handle_);
        n = GetDIBColorTable(dc.Get(), 0, 256, colours);
    }
    table.resize(n);
    if (n > 0) std::memcpy(table.data(), colours, n * sizeof(RGBQUAD));
    return table;
}

void TBitmap::ReplaceHandle(HBITMAP handle, void* bits, int width, int height, TPixelFormat format,
                            TBitmapHandleType type) {
    if (canvas_ != nullptr) canvas_->FreeContext();
    if (handle_ != nullptr && handle_ != handle) DeleteObject(handle_);
    handle_ = handle;
    bits_ = bits;
    width_ = handle != nullptr ? width : 0;
    height_ = handle != nullptr ? height : 0;
    pixelFormat_ = format;
    handleType_ = type;
    Changed(this);
}

// Makes a new handle of the given size and format and copies the old pixels
// (GDI converts between formats); uncovered pixels take the brush colour.
void TBitmap::Reformat(int width, int height, TPixelFormat format, TBitmapHandleType type) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    const std::vector<std::uint32_t> table = BitCountOf(format) == BitCountOf(pixelFormat_) ? ColourTable()
                                                                                           : std::vector<std::uint32_t>{};
    void* bits = nullptr;
    HBITMAP fresh = MakeBitmap(width, height, format, type, table.empty() ? nullptr : &table, &bits);
    if (fresh != nullptr) {
        const COLORREF fill = ColorRef(canvas_ != nullptr ? canvas_->Brush()->Color() : clWhite);
        Fill(fresh, 0, 0, width, height, fill);
        if (handle_ != nullptr) {
            if (canvas_ != nullptr) canvas_->FreeContext();
            TScopedMemoryDC src;
            TScopedMemoryDC dst;
            TScopedSelect s(src.Get(), handle_);
            TScopedSelect d(dst.Get(), fresh);
            SetStretchBltMode(dst.Get(), COLORONCOLOR);
            BitBlt(dst.Get(), 0, 0, width < width_ ? width : width_, height < height_ ? height : height_, src.Get(), 0,
                   0, SRCCOPY);
        }
    }
    ReplaceHandle(fresh, bits, width, height, format, type);
}

void TBitmap::SetSize(int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (width == width_ && height == height_) return;
    Reformat(width, height, pixelFormat_, handleType_);
}

void TBitmap::SetHandleType(TBitmapHandleType type) {
    if (type == handleType_) return;
    if (type == bmDDB) {
        Reformat(width_, height_, pfDevice, bmDDB);
    } else {
        HDC screen = GetDC(nullptr);
        const int bpp = GetDeviceCaps(screen, BITSPIXEL);
        ReleaseDC(nullptr, screen);
        const TPixelFormat f = bpp <= 8 ? pf8bit : bpp <= 16 ? pf16bit : bpp == 24 ? pf24bit : pf32bit;
        Reformat(width_, height_, f, bmDIB);
    }
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == pixelFormat_) return;
    if (format == pfDevice) {
        Reformat(width_, height_, pfDevice, bmDDB);
    } else {
        Reformat(width_, height_, format == pfCustom ? pf32bit : format, bmDIB);
    }
}

bool TBitmap::Monochrome() const {
    if (handle_ == nullptr) return false;
    BITMAP bm{};
    if (GetObjectA(handle_, sizeof bm, &bm) == 0) return false;
    if (bm.bmBitsPixel != 1 || bm.bmPlanes != 1) return false;
    if (bits_ == nullptr) return true;  // monochrome DDB
    const std::vector<std::uint32_t> table = const_cast<TBitmap*>(this)->ColourTable();
    return table.size() >= 2 && (table[0] & 0xFFFFFF) == 0 && (table[1] & 0xFFFFFF) == 0xFFFFFF;
}

void TBitmap::SetMonochrome(bool monochrome) {
    if (monochrome == Monochrome()) return;
    if (!monochrome) {
        SetPixelFormat(pfDevice);
        return;
    }
    if (Empty()) {
        pixelFormat_ = pf1bit;
        handleType_ = bmDIB;
        Changed(this);
        return;
    }
    // The fixed rule: the brush colour becomes white, everything else black.
    const COLORREF key = ColorRef(Canvas()->Brush()->Color());
    const std::uint32_t keyRgb = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
    SetPixelFormat(pf32bit);
    GdiFlush();
    TBmpImage mono;
    mono.Allocate(width_, height_, 1);
    mono.Palette = {0x000000, 0xFFFFFF};
    const std::uint8_t* src = static_cast<const std::uint8_t*>(bits_);
    const std::size_t srcStride = static_cast<std::size_t>(width_) * 4;
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t* row = reinterpret_cast<const std::uint32_t*>(src + y * srcStride);
        std::uint8_t* out = mono.Bits.data() + y * mono.Stride();
        for (int x = 0; x < width_; ++x)
            if ((row[x] & 0xFFFFFF) == keyRgb) out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    LoadFromBmpImage(mono);
}

HPALETTE TBitmap::Palette() {
    if (palette_ == nullptr) {
        const std::vector<std::uint32_t> table = ColourTable();
        if (!table.empty()) {
            std::vector<std::uint8_t> block(sizeof(LOGPALETTE) + table.size() * sizeof(PALETTEENTRY));
            auto* lp = reinterpret_cast<LOGPALETTE*>(block.data());
            lp->palVersion = 0x300;
            lp->palNumEntries = static_cast<WORD>(table.size());
            for (std::size_t i = 0; i < table.size(); ++i) {
                lp->palPalEntry[i].peRed = static_cast<BYTE>(table[i] >> 16);
                lp->palPalEntry[i].peGreen = static_cast<BYTE>(table[i] >> 8);
                lp->palPalEntry[i].peBlue = static_cast<BYTE>(table[i]);
                lp->palPalEntry[i].peFlags = 0;
            }
            palette_ = CreatePalette(lp);
        }
    }
    return palette_;
}

void TBitmap::SetPalette(HPALETTE palette) {
    if (palette == palette_) return;
    if (canvas_ != nullptr) canvas_->FreeContext();
    FreePalette();
    palette_ = palette;
    if (palette != nullptr && bits_ != nullptr && BitCountOf(pixelFormat_) <= 8) {
        PALETTEENTRY entries[256];
        const UINT n = GetPaletteEntries(palette, 0, 256, entries);
        RGBQUAD colours[256];
        for (UINT i = 0; i < n; ++i) colours[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
        TScopedMemoryDC dc;
        TScopedSelect select(dc.Get(), handle_);
        SetDIBColorTable(dc.Get(), 0, n, colours);
    }
    SetPaletteModified(true);
    Changed(this);
}

void TBitmap::SetHandle(HBITMAP bitmap) {
    if (bitmap == handle_) return;
    FreePalette();
    if (bitmap == nullptr) {
        ReplaceHandle(nullptr, nullptr, 0, 0, pixelFormat_, handleType_);
        return;
    }
    DIBSECTION ds{};
    const int n = GetObjectA(bitmap, sizeof ds, &ds);
    if (n == 0) throw EInvalidGraphic();
    if (n == sizeof(DIBSECTION) && ds.dsBm.bmBits != nullptr) {
        ReplaceHandle(bitmap, ds.dsBm.bmBits, ds.dsBm.bmWidth, ds.dsBm.bmHeight, FormatOfBitCount(ds.dsBm.bmBitsPixel),
                      bmDIB);
    } else {
        ReplaceHandle(bitmap, nullptr, ds.dsBm.bmWidth, ds.dsBm.bmHeight, pfDevice, bmDDB);
    }
}

HBITMAP TBitmap::ReleaseHandle() {
    if (canvas_ != nullptr) canvas_->FreeContext();
    HBITMAP h = handle_;
    handle_ = nullptr;
    bits_ = nullptr;
    width_ = height_ = 0;
    Changed(this);
    return h;
}

TColor TBitmap::TransparentColor() {
    if (transparentMode_ == tmFixed) return transparentColor_;
    if (Empty()) return clDefault;
    // A monochrome glyph is black on white: its background is white whatever its bottom-left
    // corner holds (the system's combo arrow ends in a black bar).
    if (Monochrome())
        return static_cast<TColor>(0x02FFFFFFu);
    return static_cast<TColor>((static_cast<std::uint32_t>(Canvas()->Pixel(0, height_ - 1)) & 0xFFFFFF) | 0x02000000u);
}

void TBitmap::SetTransparentColor(TColor color) {
    if (color == transparentColor_ && transparentMode_ == (color == clDefault ? tmAuto : tmFixed)) return;
    transparentColor_ = color;
    transparentMode_ = color == clDefault ? tmAuto : tmFixed;
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
    if (mode == transparentMode_) return;
    if (mode == tmAuto) {
        SetTransparentColor(clDefault);
    } else {
        SetTransparentColor(TransparentColor());
    }
}

void* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= height_) throw EInvalidGraphic("Scan line index out of range");
    if (bits_ == nullptr) SetHandleType(bmDIB);
    if (bits_ == nullptr) throw EInvalidGraphic("Scan line index out of range");
    GdiFlush();
    const std::size_t stride = ((static_cast<std::size_t>(width_) * BitCountOf(pixelFormat_) + 31) / 32) * 4;
    return static_cast<std::uint8_t*>(bits_) + static_cast<std::size_t>(height_ - 1 - row) * stride;
}

void TBitmap::LoadFromBmpImage(const TBmpImage& image) {
    const TPixelFormat format = FormatOfBitCount(image.BitCount);
    void* bits = nullptr;
    HBITMAP fresh = MakeBitmap(image.Width, image.Height, format, bmDIB, &image.Palette, &bits);
    if (fresh != nullptr && bits != nullptr) {
        GdiFlush();
        std::memcpy(bits, image.Bits.data(), image.Bits.size() < image.Stride() * image.Height
                                                 ? image.Bits.size()
                                                 : image.Stride() * static_cast<std::size_t>(image.Height));
    }
    FreePalette();
    ReplaceHandle(fresh, bits, image.Width, image.Height, format, bmDIB);
}

TBmpImage TBitmap::ToBmpImage() {
    TBmpImage image;
    if (Empty()) return image;
    int bits = BitCountOf(pixelFormat_);
    if (pixelFormat_ == pfDevice || pixelFormat_ == pfCustom || pixelFormat_ == pf15bit || pixelFormat_ == pf16bit)
        bits = 24;
    image.Allocate(width_, height_, bits);
    if (bits_ != nullptr && bits == BitCountOf(pixelFormat_)) {
        GdiFlush();
        std::memcpy(image.Bits.data(), bits_, image.Bits.size());
        const std::vector<std::uint32_t> table = ColourTable();
        for (std::size_t i = 0; i < table.size() && i < image.Palette.size(); ++i) image.Palette[i] = table[i] & 0xFFFFFF;
        return image;
    }
    if (canvas_ != nullptr) canvas_->FreeContext();  // GetDIBits wants the bitmap deselected
    auto info = std::make_unique<TBitmapInfo256>();
    std::memset(info.get(), 0, sizeof *info);
    info->header.biSize = sizeof(BITMAPINFOHEADER);
    info->header.biWidth = width_;
    info->header.biHeight = height_;
    info->header.biPlanes = 1;
    info->header.biBitCount = static_cast<WORD>(bits);
    info->header.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, handle_, 0, static_cast<UINT>(height_), image.Bits.data(),
                                reinterpret_cast<BITMAPINFO*>(info.get()), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines == 0) throw EInvalidGraphic();
    for (std::size_t i = 0; i < image.Palette.size(); ++i) std::memcpy(&image.Palette[i], &info->colours[i], 4);
    return image;
}

void TBitmap::LoadFromStream(TStream& stream) {
    const std::int64_t start = stream.Position();
    const std::int64_t available = stream.Size() - start;
    if (available <= 0) {
        ReplaceHandle(nullptr, nullptr, 0, 0, pixelFormat_, handleType_);
        return;
    }
    if (available > static_cast<std::int64_t>(TBmpDecodeOptions{}.MaxBytes) + (1 << 20)) throw EInvalidGraphic();
    std::vector<std::uint8_t> data(static_cast<std::size_t>(available));
    stream.ReadBuffer(data.data(), data.size());
    const TBmpDecodeResult result = DecodeBmp(data.data(), data.size());
    stream.SetPosition(start + static_cast<std::int64_t>(result.BytesUsed));
    LoadFromBmpImage(result.Image);
}

void TBitmap::SaveToStream(TStream& stream) {
    if (Empty()) return;
    const std::vector<std::uint8_t> file = EncodeBmp(ToBmpImage());
    stream.WriteBuffer(file.data(), file.size());
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    HRSRC info = FindResourceA(instance, name.c_str(), reinterpret_cast<LPCSTR>(RT_BITMAP));
    if (info == nullptr) throw EResNotFound("Resource " + name + " not found");
    HGLOBAL block = LoadResource(instance, info);
    const void* data = block != nullptr ? LockResource(block) : nullptr;
    const DWORD size = SizeofResource(instance, info);
    if (data == nullptr || size == 0) throw EResNotFound("Resource " + name + " not found");
    TBmpDecodeOptions options;
    options.HasFileHeader = false;
    LoadFromBmpImage(DecodeBmp(static_cast<const std::uint8_t*>(data), size, options).Image);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
    HRSRC info = FindResourceA(instance, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_BITMAP));
    if (info == nullptr) throw EResNotFound("Resource " + std::to_string(id) + " not found");
    HGLOBAL block = LoadResource(instance, info);
    const void* data = block != nullptr ? LockResource(block) : nullptr;
    const DWORD size = SizeofResource(instance, info);
    if (data == nullptr || size == 0) throw EResNotFound("Resource " + std::to_string(id) + " not found");
    TBmpDecodeOptions options;
    options.HasFileHeader = false;
    LoadFromBmpImage(DecodeBmp(static_cast<const std::uint8_t*>(data), size, options).Image);
}

void TBitmap::LoadFromClipboardFormat(std::uint32_t format, HANDLE data, HPALETTE) {
    if (format == CF_DIB && data != nullptr) {
        const SIZE_T size = GlobalSize(data);
        const void* p = GlobalLock(data);
        if (p == nullptr) throw EInvalidGraphic();
        try {
            TBmpDecodeOptions options;
            options.HasFileHeader = false;
            LoadFromBmpImage(DecodeBmp(static_cast<const std::uint8_t*>(p), size, options).Image);
        } catch (...) {
            GlobalUnlock(data);
            throw;
        }
        GlobalUnlock(data);
        return;
    }
    if (format != CF_BITMAP || data == nullptr) throw EInvalidGraphic("Unsupported clipboard format");
    BITMAP bm{};
    if (GetObjectA(data, sizeof bm, &bm) == 0) throw EInvalidGraphic();
    void* bits = nullptr;
    HBITMAP fresh = MakeBitmap(bm.bmWidth, bm.bmHeight, pfDevice, bmDDB, nullptr, &bits);
    if (fresh != nullptr) {
        TScopedMemoryDC src;
        TScopedMemoryDC dst;
        TScopedSelect s(src.Get(), data);
        TScopedSelect d(dst.Get(), fresh);
        BitBlt(dst.Get(), 0, 0, bm.bmWidth, bm.bmHeight, src.Get(), 0, 0, SRCCOPY);
    }
    FreePalette();
    ReplaceHandle(fresh, bits, bm.bmWidth, bm.bmHeight, pfDevice, bmDDB);
}

void TBitmap::SaveToClipboardFormat(std::uint32_t& format, HANDLE& data, HPALETTE& palette) {
    format = CF_BITMAP;
    data = nullptr;
    palette = nullptr;
    if (Empty()) return;
    if (canvas_ != nullptr) canvas_->FreeContext();
    data = CopyImage(handle_, IMAGE_BITMAP, 0, 0, 0);
    if (data == nullptr) throw EOutOfMemory("Out of system resources");
}

void TBitmap::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (Source == nullptr) {
        FreePalette();
        ReplaceHandle(nullptr, nullptr, 0, 0, pixelFormat_, handleType_);
        return;
    }
    if (auto* other = dynamic_cast<TBitmap*>(Source)) {
        const std::vector<std::uint32_t> table = other->ColourTable();
        void* bits = nullptr;
        // A monochrome device bitmap (the system's own glyphs) stays one: a screen-compatible
        // copy would lose its black-on-white meaning.
        HBITMAP fresh =
            other->handleType_ == bmDDB && other->Monochrome()
                ? CreateBitmap(other->width_, other->height_, 1, 1, nullptr)
                : MakeBitmap(other->width_, other->height_, other->pixelFormat_, other->handleType_,
                             table.empty() ? nullptr : &table, &bits);
        if (fresh != nullptr) {
            TScopedMemoryDC dst;
            TScopedSelect d(dst.Get(), fresh);
            BitBlt(dst.Get(), 0, 0, other->width_, other->height_, other->Canvas()->Handle(), 0, 0, SRCCOPY);
        }
        FreePalette();
        transparentColor_ = other->transparentColor_;
        transparentMode_ = other->transparentMode_;
        if (Transparent() != other->Transparent()) TGraphic::SetTransparent(other->Transparent());
        ReplaceHandle(fresh, bits, other->width_, other->height_, other->pixelFormat_, other->handleType_);
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        SetSize(graphic->Width(), graphic->Height());
        if (!Empty()) {
            Canvas()->FillRect(Rect(0, 0, width_, height_));
            Canvas()->StretchDraw(Rect(0, 0, width_, height_), graphic);
        }
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
    if (Empty() || canvas == nullptr) return;
    HDC dst = canvas->Handle();
    HDC src = Canvas()->Handle();
    HPALETTE oldPalette = nullptr;
    if (palette_ != nullptr) {
        oldPalette = SelectPalette(dst, palette_, TRUE);
        RealizePalette(dst);
    }
    const bool mono = Monochrome();
    const COLORREF oldText = mono ? SetTextColor(dst, RGB(0, 0, 0)) : 0;
    const COLORREF oldBack = mono ? SetBkColor(dst, RGB(255, 255, 255)) : 0;
    const int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
    if (Transparent()) {
        TransparentBlt(dst, rect.Left, rect.Top, rect.Width(), rect.Height(), src, 0, 0, width_, height_,
                       ColorRef(static_cast<TColor>(static_cast<std::uint32_t>(TransparentColor()) & 0xFFFFFF)));
    } else {
        StretchBlt(dst, rect.Left, rect.Top, rect.Width(), rect.Height(), src, 0, 0, width_, height_, canvas->CopyMode());
    }
    SetStretchBltMode(dst, oldMode);
    if (mono) {
        SetTextColor(dst, oldText);
        SetBkColor(dst, oldBack);
    }
    if (oldPalette != nullptr) SelectPalette(dst, oldPalette, TRUE);
}
