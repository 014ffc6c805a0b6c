#include "framework/controls/ImageList_win.h"

#include <algorithm>

#include "framework/core/Exceptions.h"
#include "framework/core/Filer.h"
#include "framework/core/Stream.h"
#include "framework/core/StreamAdapter_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Icon_win.h"

namespace {

TImageListCreateHook gCreateHook = nullptr;

COLORREF ListColor(TColor c) {
    return c == clNone ? CLR_NONE : static_cast<COLORREF>(ColorToRGB(c));
}

// A device-dependent copy of a bitmap for the native calls: the bitmap's
// own handle may sit in its canvas's DC (a bitmap is selected into one DC
// at a time), and ImageList_AddMasked blackens the masked pixels of what
// it is given. A monochrome copy serves masks.
class TBitmapCopy {
public:
    explicit TBitmapCopy(TBitmap* bmp, bool mono = false) {
        if (bmp == nullptr || bmp->Empty())
            return;
        const int w = bmp->Width(), h = bmp->Height();
        HDC screen = GetDC(nullptr);
        handle_ = mono ? CreateBitmap(w, h, 1, 1, nullptr) : CreateCompatibleBitmap(screen, w, h);
        HDC mem = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(mem, handle_);
        BitBlt(mem, 0, 0, w, h, bmp->Canvas()->Handle(), 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
    }
    ~TBitmapCopy() {
        if (handle_ != nullptr)
            DeleteObject(handle_);
    }
    TBitmapCopy(const TBitmapCopy&) = delete;
    TBitmapCopy& operator=(const TBitmapCopy&) = delete;
    HBITMAP Get() const noexcept { return handle_; }

private:
    HBITMAP handle_ = nullptr;
};

// The head of the system's image-list stream and of the bitmap after it,
// checked before the system reader sees the data: it sizes its buffers
// from these fields.
#pragma pack(push, 2)
struct TImageListHead {
    std::uint16_t Magic; // "IL"
    std::uint16_t Version;
    std::uint16_t Count;
    std::uint16_t Capacity;
    std::uint16_t Grow;
    std::uint16_t Width;
    std::uint16_t Height;
    std::uint32_t BkColor;
    std::uint16_t Flags;
    std::int16_t Overlays[4];
};
#pragma pack(pop)
static_assert(sizeof(TImageListHead) == 28, "the image-list stream head is 28 bytes");

constexpr std::uint16_t kImageListMagic = 0x4C49; // "IL" as stored
constexpr int kMaxImageSide = 256;

bool PlausibleImageListData(TStream& Stream) {
    const std::int64_t start = Stream.Position();
    const std::int64_t size = Stream.Size() - start;
    TImageListHead head{};
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    if (size < static_cast<std::int64_t>(sizeof head + sizeof file + sizeof info))
        return false;
    Stream.ReadBuffer(&head, sizeof head);
    Stream.ReadBuffer(&file, sizeof file);
    Stream.ReadBuffer(&info, sizeof info);
    Stream.SetPosition(start);
    if (head.Magic != kImageListMagic || head.Width == 0 || head.Height == 0 ||
        head.Width > kMaxImageSide || head.Height > kMaxImageSide || head.Count > head.Capacity)
        return false;
    if (file.bfType != 0x4D42 || info.biSize < sizeof info || info.biWidth <= 0 ||
        info.biHeight == 0 || info.biPlanes != 1)
        return false;
    switch (info.biBitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return false;
    }
    // In 64 bits: the stored sides may be anything up to 2^31.
    const std::int64_t height =
        info.biHeight < 0 ? -static_cast<std::int64_t>(info.biHeight) : info.biHeight;
    const std::int64_t rowBytes =
        (static_cast<std::int64_t>(info.biWidth) * info.biBitCount + 31) / 32 * 4;
    const std::int64_t bits = rowBytes * height;
    const std::int64_t used = static_cast<std::int64_t>(sizeof head + sizeof file + sizeof info);
    return bits <= size - used;
}

}  // namespace

TImageListCreateHook SetImageListCreateHook(TImageListCreateHook Hook) noexcept {
    TImageListCreateHook old = gCreateHook;
    gCreateHook = Hook;
    return old;
}

HIMAGELIST DefaultImageListCreate(TCustomImageList* List) {
    UINT flags = ILC_COLORDDB;
    if (List->Masked())
        flags |= ILC_MASK;
    const int grow = std::max(List->AllocBy, 1);
    return ImageList_Create(List->Width(), List->Height(), flags, grow, grow);
}

TChangeLink::~TChangeLink() {
    if (Sender != nullptr)
        Sender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    if (OnChange)
        OnChange(Sender);
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* link : links_)
        link->Sender = nullptr;
    FreeHandle();
}

void TCustomImageList::AfterConstruction() {
    TComponent::AfterConstruction();
    Initialize();
}

void TCustomImageList::BeforeDestruction() {
    while (!links_.empty())
        UnRegisterChanges(links_.back());
    TComponent::BeforeDestruction();
}

void TCustomImageList::FreeHandle() {
    if (handle_ != nullptr && !ShareImages)
        ImageList_Destroy(handle_);
    handle_ = nullptr;
}

HIMAGELIST TCustomImageList::Handle() {
    if (handle_ == nullptr) {
        TImageListCreateHook hook = gCreateHook != nullptr ? gCreateHook : &DefaultImageListCreate;
        handle_ = hook(this);
        if (handle_ == nullptr)
            throw EInvalidOperation("Cannot create an image list");
        ImageList_SetBkColor(handle_, ListColor(bkColor_));
    }
    return handle_;
}

void TCustomImageList::SetHandle(HIMAGELIST Value) {
    if (Value == handle_)
        return;
    FreeHandle();
    handle_ = Value;
    if (Value != nullptr) {
        int cx = 0, cy = 0;
        if (ImageList_GetIconSize(Value, &cx, &cy)) {
            width_ = cx;
            height_ = cy;
        }
    }
    Change();
}

void TCustomImageList::SetWidth(int Value) {
    if (Value == width_ || Value <= 0)
        return;
    width_ = Value;
    if (handle_ != nullptr) {
        ImageList_SetIconSize(handle_, width_, height_);
        Change();
    }
}

void TCustomImageList::SetHeight(int Value) {
    if (Value == height_ || Value <= 0)
        return;
    height_ = Value;
    if (handle_ != nullptr) {
        ImageList_SetIconSize(handle_, width_, height_);
        Change();
    }
}

void TCustomImageList::SetMasked(bool Value) {
    if (Value == masked_)
        return;
    masked_ = Value;
    if (handle_ != nullptr) {
        FreeHandle();
        Change();
    }
}

void TCustomImageList::SetBkColor(TColor Value) {
    bkColor_ = Value;
    if (handle_ != nullptr) {
        ImageList_SetBkColor(handle_, ListColor(Value));
        Change();
    }
}

int TCustomImageList::Count() { return handle_ != nullptr ? ImageList_GetImageCount(handle_) : 0; }

bool TCustomImageList::ValidIndex(int Index) { return Index >= 0 && Index < Count(); }

void TCustomImageList::Clear() {
    if (handle_ != nullptr && ImageList_GetImageCount(handle_) > 0) {
        ImageList_Remove(handle_, -1);
        Change();
    }
}

void TCustomImageList::Delete(int Index) {
    if (!ValidIndex(Index))
        throw EInvalidOperation("Invalid image list index");
    ImageList_Remove(handle_, Index);
    Change();
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
    if (Image == nullptr || Image->Empty())
        return -1;
    TBitmapCopy image(Image), mask(Mask, true);
    const int index = ImageList_Add(Handle(), image.Get(), mask.Get());
    if (index >= 0)
        Change();
    return index;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    if (Image == nullptr || Image->Empty())
        return -1;
    // The native call blackens the masked pixels of the bitmap it is given.
    TBitmapCopy image(Image);
    const int index = ImageList_AddMasked(Handle(), image.Get(), static_cast<COLORREF>(ColorToRGB(MaskColor)));
    if (index >= 0)
        Change();
    return index;
}

int TCustomImageList::AddIcon(TIcon* Image) {
    if (Image == nullptr || Image->Handle() == nullptr)
        return -1;
    // ImageList_ReplaceIcon copies the icon's pixels; the handle stays the
    // icon's (or its owner's).
    const int index = ImageList_ReplaceIcon(Handle(), -1, Image->Handle());
    if (index >= 0)
        Change();
    return index;
}

void TCustomImageList::AddImages(TCustomImageList* Value) {
    if (Value == nullptr || Value == this || !Value->HandleAllocated())
        return;
    const int n = Value->Count();
    for (int i = 0; i < n; ++i) {
        HICON icon = ImageList_GetIcon(Value->handle_, i, ILD_NORMAL);
        if (icon == nullptr)
            continue;
        ImageList_ReplaceIcon(Handle(), -1, icon);
        DestroyIcon(icon);
    }
    if (n > 0)
        Change();
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
    if (!ValidIndex(Index))
        throw EInvalidOperation("Invalid image list index");
    TBitmapCopy image(Image), mask(Mask, true);
    if (ImageList_Replace(handle_, Index, image.Get(), mask.Get()))
        Change();
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor) {
    if (!ValidIndex(Index))
        throw EInvalidOperation("Invalid image list index");
    // Add at the end, copy over, drop the extra one: the native list has no
    // masked replace.
    TBitmapCopy image(NewImage);
    const int added = ImageList_AddMasked(handle_, image.Get(), static_cast<COLORREF>(ColorToRGB(MaskColor)));
    if (added < 0)
        return;
    ImageList_Copy(handle_, Index, handle_, added, ILCF_MOVE);
    ImageList_Remove(handle_, added);
    Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
    if (!ValidIndex(CurIndex) || !ValidIndex(NewIndex))
        throw EInvalidOperation("Invalid image list index");
    if (CurIndex == NewIndex)
        return;
    const int step = NewIndex > CurIndex ? 1 : -1;
    for (int i = CurIndex; i != NewIndex; i += step)
        ImageList_Copy(handle_, i + step, handle_, i, ILCF_SWAP);
    Change();
}

void TCustomImageList::GetIcon(int Index, TIcon* Image) {
    if (Image == nullptr || !ValidIndex(Index))
        return;
    HICON icon = ImageList_GetIcon(handle_, Index, ILD_NORMAL);
    if (icon != nullptr)
        Image->AdoptHandle(icon);
}

void TCustomImageList::Draw(HDC DC, int X, int Y, int Index, bool Enabled) {
    if (DC == nullptr || !ValidIndex(Index))
        return;
    UINT style = ILD_NORMAL;
    if (DrawingStyle == dsTransparent)
        style = ILD_TRANSPARENT;
    if (!Enabled)
        style |= ILD_BLEND50;
    ImageList_DrawEx(handle_, Index, DC, X, Y, 0, 0, ListColor(bkColor_),
                     !Enabled ? GetSysColor(COLOR_BTNFACE) : ListColor(BlendColor), style);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    if (Canvas != nullptr)
        Draw(Canvas->Handle(), X, Y, Index, Enabled);
}

void TCustomImageList::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TCustomImageList*>(Source);
    if (other == nullptr) {
        TComponent::Assign(Source);
        return;
    }
    if (other == this)
        return;
    FreeHandle();
    width_ = other->width_;
    height_ = other->height_;
    masked_ = other->masked_;
    bkColor_ = other->bkColor_;
    BlendColor = other->BlendColor;
    DrawingStyle = other->DrawingStyle;
    ImageType = other->ImageType;
    AllocBy = other->AllocBy;
    if (other->handle_ != nullptr)
        handle_ = ImageList_Duplicate(other->handle_);
    Change();
}

void TCustomImageList::ReadData(TStream& Stream) {
    if (!PlausibleImageListData(Stream))
        throw EReadError("Invalid image list data");
    TStreamAdapter adapter(Stream);
    HIMAGELIST list = ImageList_Read(&adapter);
    // A reader that met the end early may still answer a list, with
    // whatever its buffers held: refuse it.
    if (list != nullptr && adapter.ShortRead()) {
        ImageList_Destroy(list);
        list = nullptr;
    }
    if (list == nullptr)
        throw EReadError("Invalid image list data");
    SetHandle(list);
}

void TCustomImageList::WriteData(TStream& Stream) {
    TStreamAdapter adapter(Stream);
    if (!ImageList_Write(Handle(), &adapter))
        throw EWriteError();
}

void TCustomImageList::DefineProperties(TFiler* Filer) {
    TComponent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(
        "Bitmap", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
        HandleAllocated() && Count() > 0);
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
    if (Value == nullptr)
        return;
    if (std::find(links_.begin(), links_.end(), Value) == links_.end())
        links_.push_back(Value);
    Value->Sender = this;
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
    std::erase(links_, Value);
    if (Value != nullptr && Value->Sender == this)
        Value->Sender = nullptr;
}

void TCustomImageList::Change() {
    for (TChangeLink* link : std::vector<TChangeLink*>(links_))
        link->Change();
    if (OnChange)
        OnChange(this);
}
