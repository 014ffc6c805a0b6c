#include "controls/TkImageList_win.h"

#include "framework/core/Exceptions.h"
#include "framework/core/FileNames.h"
#include "framework/core/FileSystem.h"
#include "framework/core/Filer.h"
#include "framework/core/ResourceStream.h"
#include "framework/core/StreamAdapter_win.h"
#include "framework/core/StringList.h"
#include "framework/core/SysUtils.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Picture_win.h"

namespace {

// Frees a temporary object at scope end, also on a raise.
template <class T> class TTemp {
public:
    explicit TTemp(T* object) noexcept : object_(object) {}
    ~TTemp() {
        if (object_ != nullptr)
            object_->Free();
    }
    TTemp(const TTemp&) = delete;
    TTemp& operator=(const TTemp&) = delete;
    T* operator->() const noexcept { return object_; }
    T* Get() const noexcept { return object_; }

private:
    T* object_;
};

[[noreturn]] void RaiseInvalidImageList() {
    throw EInvalidOperation("Invalid ImageList");
}

// Every list's first handle, from the first toolkit list on: a toolkit list
// at its own depth, any other device-dependent as the framework makes it.
HIMAGELIST ToolkitCreateHandle(TCustomImageList* List) {
    HIMAGELIST handle = nullptr;
    if (auto* tk = dynamic_cast<TTkImageList*>(List))
        handle = tk->CreateSystemHandle();
    else
        handle = NewImageListHandle(List->Width(), List->Height(), pfCustom, List->AllocBy,
                                    List->Masked());
    if (handle == nullptr)
        RaiseInvalidImageList();
    return handle;
}

void InstallHandleRule() {
    static bool installed = false;
    if (!installed) {
        SetImageListCreateHook(&ToolkitCreateHandle);
        installed = true;
    }
}

HINSTANCE ProgramModule() {
    return GetModuleHandleA(nullptr);
}

const char* PixelFormatName(TPixelFormat f) {
    static const char* const names[] = {"pfDevice", "pf1bit",  "pf4bit",  "pf8bit",  "pf15bit",
                                        "pf16bit",  "pf24bit", "pf32bit", "pfCustom"};
    return f <= pfCustom ? names[f] : "pfCustom";
}

} // namespace

TPixelFormat GetScreenPixelFormat() {
    HDC dc = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    if (dc == nullptr)
        return pfDevice;
    const int depth = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
    DeleteDC(dc);
    return PixelFormatFromDepth(depth);
}

HIMAGELIST NewImageListHandle(int width, int height, TPixelFormat format, int allocBy,
                              bool masked) {
    const TPixelFormat screen = format == pfDevice ? GetScreenPixelFormat() : format;
    const UINT flags = ImageListCreateFlags(format, screen, masked);
    return ImageList_Create(width, height, flags, allocBy, allocBy);
}

// --- the list ---------------------------------------------------------------

TTkImageList::TTkImageList(TComponent* AOwner) : TImageList(AOwner) {}

TTkImageList::~TTkImageList() {
    // The items delete their images; nobody is told of that any more.
    bracket_.Raise();
    if (items_ != nullptr)
        items_->Free();
    if (picture_ != nullptr)
        picture_->Free();
    if (resourceIds_ != nullptr)
        resourceIds_->Free();
}

void TTkImageList::Initialize() {
    TImageList::Initialize();
    InitializeImageList();
}

void TTkImageList::InitializeImageList() {
    InstallHandleRule();
    picture_ = Create<TPicture>();
    picture_->OnChange = TNotifyEvent(this, &TTkImageList::PictureChanged);
    resourceIds_ = Create<TStringList>();
    resourceIds_->OnChange = TNotifyEvent(this, &TTkImageList::ResourceIdsChanged);
    items_ = Create<TTkImageListItems>(this);
}

HIMAGELIST TTkImageList::CreateSystemHandle() const {
    return NewImageListHandle(Width(), Height(), pixelFormat_, AllocBy, Masked());
}

void TTkImageList::EnsureHandle() {
    if (!HandleAllocated())
        MakeImageListHandle();
}

void TTkImageList::MakeImageListHandle() {
    ReplaceHandle(CreateSystemHandle());
    if (!HandleAllocated())
        RaiseInvalidImageList();
    if (BkColor() != clNone)
        SetBkColor(BkColor());
}

void TTkImageList::ReplaceHandle(HIMAGELIST Handle) {
    if (HandleAllocated() && this->Handle() == Handle)
        return;
    // The change that attaching causes is recorded, not delivered.
    bracket_.Raise();
    try {
        SetHandle(Handle);
    } catch (...) {
        bracket_.Lower();
        throw;
    }
    bracket_.Lower();
}

void TTkImageList::BeginUpdate() {
    bracket_.Begin();
}

void TTkImageList::EndUpdate() {
    if (bracket_.End())
        Change();
}

void TTkImageList::Change() {
    if (bracket_.Change())
        TImageList::Change();
}

bool TTkImageList::PictureHasImage() const {
    return picture_->Graphic() != nullptr && !picture_->Graphic()->Empty();
}

TTkImageSourceState TTkImageList::SourceState() const {
    return {mode_, PictureHasImage(), resourceIds_->Count(), items_->Count()};
}

void TTkImageList::SetMode(TTkImageListMode Value) {
    if (Value == mode_)
        return;
    mode_ = Value;
    UpdateImageList();
}

void TTkImageList::SetPixelFormat(TPixelFormat Value) {
    if (Value == pixelFormat_ || IsIgnoredImageListFormat(Value))
        return;
    if (!HandleAllocated()) {
        pixelFormat_ = Value;
        return;
    }
    BeginUpdate();
    try {
        TTemp<TTkImageList> copy(CreateWithSize<TTkImageList>(nullptr, Width(), Height()));
        copy->Assign(this);
        pixelFormat_ = Value;
        MakeImageListHandle();
        AddImages(copy.Get());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TTkImageList::SetTransparentMode(TTkImageListTransparentMode Value) {
    if (Value == transparentMode_)
        return;
    transparentMode_ = Value;
    UpdateImageList();
}

void TTkImageList::SetTransparentColor(TColor Value) {
    if (Value == transparentColor_)
        return;
    transparentColor_ = Value;
    if (transparentMode_ == TTkImageListTransparentMode::tmColor)
        UpdateImageList();
}

void TTkImageList::SetFileName(const std::string& Value) {
    if (SameFileName(Value, fileName_))
        return;
    fileName_ = Value;
    LoadPictureFromFile();
}

void TTkImageList::LoadPictureFromFile() {
    const TComponentState state = ComponentState();
    if (!state.Contains(csDesigning) && state.Contains(csLoading))
        return;
    if (fileName_.empty() || !FileExists(fileName_))
        return;
    try {
        picture_->LoadFromFile(fileName_);
    } catch (const Exception&) {
        // A picture file that cannot be read leaves the list as it is.
    }
}

void TTkImageList::SetPicture(TPicture* Value) {
    if (Value != picture_)
        picture_->Assign(Value);
}

void TTkImageList::SetResourceIds(TStringList* Value) {
    if (Value != nullptr && Value != resourceIds_)
        resourceIds_->Assign(Value);
}

void TTkImageList::SetItems(TTkImageListItems* Value) {
    Clear();
    if (Value != items_)
        items_->Assign(Value);
}

void TTkImageList::PictureChanged(TObject*) {
    if (mode_ == imPicture)
        RebuildFromPicture(true);
}

void TTkImageList::ResourceIdsChanged(TObject*) {
    UpdateImageList();
}

void TTkImageList::UpdateImageList() {
    switch (mode_) {
    case imPicture:
        RebuildFromPicture(false);
        break;
    case imResourceIds:
        RebuildFromResources();
        break;
    default:
        break;
    }
}

void TTkImageList::RebuildFromPicture(bool pictureChanged) {
    // A list whose picture is empty keeps its stored or added images.
    if (!RebuildsFromPicture(PictureHasImage(), pictureChanged))
        return;
    BeginUpdate();
    try {
        Clear();
        if (TGraphic* graphic = picture_->Graphic(); graphic != nullptr && !graphic->Empty()) {
            TBitmap* bitmap = dynamic_cast<TBitmap*>(graphic);
            TTemp<TBitmap> drawn(bitmap == nullptr ? Create<TBitmap>() : nullptr);
            if (bitmap == nullptr) {
                bitmap = drawn.Get();
                bitmap->Canvas()->Brush()->SetColor(transparentColor_);
                bitmap->SetSize(graphic->Width(), graphic->Height());
                bitmap->Canvas()->Draw(0, 0, graphic);
            }
            const TColor key = transparentMode_ == TTkImageListTransparentMode::tmNone
                                   ? clNone
                                   : transparentColor_;
            AddImageStrip(bitmap, key, transparentMode_ == TTkImageListTransparentMode::tmAuto);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TTkImageList::RebuildFromResources() {
    BeginUpdate();
    try {
        Clear();
        TTemp<TBitmap> work(Create<TBitmap>());
        for (int i = 0; i < resourceIds_->Count(); ++i) {
            const std::string name = resourceIds_->Strings(i);
            if (Trim(name).empty())
                continue;
            try {
                HINSTANCE module = ProgramModule();
                if (FindResourceA(module, name.c_str(), RT_BITMAP) != nullptr) {
                    work->LoadFromResourceName(module, name);
                } else {
                    TResourceStream data(reinterpret_cast<TInstanceHandle>(module),
                                         TResourceName(name), kResourceTypeRcData);
                    work->LoadFromStream(data);
                }
                if (work->Empty())
                    continue;
                TColor key = clNone;
                if (transparentMode_ == TTkImageListTransparentMode::tmAuto)
                    key = work->Canvas()->Pixel(0, work->Height() - 1);
                else if (transparentMode_ == TTkImageListTransparentMode::tmColor)
                    key = transparentColor_;
                if (key == clNone)
                    Add(work.Get(), nullptr);
                else
                    AddMasked(work.Get(), key);
            } catch (const Exception&) {
                // A missing or unreadable resource: the next name is tried.
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TTkImageList::AddImageStrip(TBitmap* Bitmap, TColor KeyColor, bool AutoKey) {
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0 || Bitmap == nullptr || Bitmap->Empty())
        return 0;
    const int count = StripCellCount(Bitmap->Width(), w);
    TTemp<TImageList> cells(CreateWithSize<TImageList>(nullptr, w, h));
    cells->SetHandle(NewImageListHandle(w, h, Bitmap->PixelFormat(), count, Masked()));
    if (!cells->HandleAllocated())
        RaiseInvalidImageList();
    TTemp<TBitmap> cell(Create<TBitmap>());
    cell->SetPixelFormat(Bitmap->PixelFormat());
    HDC source = Bitmap->Canvas()->Handle();
    for (int c = 0; c < count; ++c) {
        TColor key = KeyColor;
        if (AutoKey) {
            // A pixel outside the bitmap (a strip lower than the list) is no key.
            const auto at = StripKeyPixel(c, w, h, Bitmap->Width(), Bitmap->Height());
            key = at ? ColorFromRaw(GetPixel(source, at->X, at->Y) & 0xFFFFFF) : clNone;
        }
        cell->Canvas()->Brush()->SetColor(key == clNone ? clBlack : key);
        cell->SetSize(0, 0);
        cell->SetSize(w, h);
        BitBlt(cell->Canvas()->Handle(), 0, 0, w, h, source, c * w, 0, SRCCOPY);
        if (key == clNone)
            cells->Add(cell.Get(), nullptr);
        else
            cells->AddMasked(cell.Get(), key);
    }
    AddImages(cells.Get());
    return count;
}

void TTkImageList::Assign(TPersistent* Source) {
    CopyStateFrom(Source);
}

void TTkImageList::CopyStateFrom(TPersistent* Source) {
    auto* source = dynamic_cast<TTkImageList*>(Source);
    BeginUpdate();
    try {
        if (source != nullptr && source != this) {
            Clear();
            mode_ = imClassic;
            picture_->Assign(source->PictureHasImage() ? source->picture_ : nullptr);
            resourceIds_->Assign(source->resourceIds_);
            SetTransparentMode(source->transparentMode_);
            SetTransparentColor(source->transparentColor_);
            SetPixelFormat(source->pixelFormat_);
        }
        TImageList::Assign(Source);
        if (source != nullptr && source != this)
            SetMode(source->mode_);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TTkImageList::WriteImageData(TStream& Stream) {
    TStreamAdapter adapter(Stream);
    HIMAGELIST handle = Handle();
    bool written = false;
    using TWriteEx = HRESULT(WINAPI*)(HIMAGELIST, DWORD, IStream*);
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    auto writeEx = comctl != nullptr ? reinterpret_cast<TWriteEx>(reinterpret_cast<void*>(
                                           GetProcAddress(comctl, "ImageList_WriteEx")))
                                     : nullptr;
    if (pixelFormat_ != pf32bit && writeEx != nullptr)
        written = SUCCEEDED(writeEx(handle, ILP_DOWNLEVEL, &adapter));
    else
        written = ImageList_Write(handle, &adapter) != FALSE;
    if (!written)
        throw EWriteError();
}

void TTkImageList::ReadImageData(TStream& Stream) {
    try {
        ReadData(Stream);
    } catch (const EReadError&) {
        RaiseInvalidImageList();
    }
}

void TTkImageList::DefineProperties(TFiler* Filer) {
    if (dynamic_cast<TWriter*>(Filer) == nullptr) {
        TImageList::DefineProperties(Filer);
        return;
    }
    bracket_.Raise();
    try {
        LoadPictureFromFile();
        // A list with a source of its own is rebuilt from it on loading.
        if (StoresImageData(SourceState()))
            TImageList::DefineProperties(Filer);
        else
            TComponent::DefineProperties(Filer);
    } catch (...) {
        bracket_.Lower();
        throw;
    }
    bracket_.Lower();
}

// --- items ------------------------------------------------------------------

TTkImageListItem::TTkImageListItem(TCollection* Collection) : TCollectionItem(Collection) {
    bitmap_ = Create<TBitmap>();
    bitmap_->OnChange = TNotifyEvent(this, &TTkImageListItem::BitmapChanged);
}

TTkImageListItem::~TTkImageListItem() {
    bitmap_->Free();
}

TTkImageList* TTkImageListItem::List() const {
    return Collection() != nullptr ? dynamic_cast<TTkImageList*>(Collection()->GetOwner())
                                   : nullptr;
}

void TTkImageListItem::AfterConstruction() {
    TCollectionItem::AfterConstruction();
    TTkImageList* list = List();
    if (list == nullptr)
        return;
    // The item's place in the list, blank until its image is known.
    TTemp<TBitmap> blank(Create<TBitmap>());
    blank->Canvas()->Brush()->SetColor(transparentColor_);
    blank->SetSize(list->Width(), list->Height());
    list->AddMasked(blank.Get(), transparentColor_);
    UpdateImage(list->Count() - 1);
}

void TTkImageListItem::BeforeDestruction() {
    if (TTkImageList* list = List(); list != nullptr) {
        const int index = Index();
        if (index >= 0 && index < list->Count())
            list->Delete(index);
    }
    TCollectionItem::BeforeDestruction();
}

void TTkImageListItem::UpdateImage(int Index) {
    TTkImageList* list = List();
    if (list == nullptr || Index < 0 || Index >= list->Count())
        return;
    if (kind_ == ikInlineBitmap) {
        if (bitmap_->Width() == list->Width() && bitmap_->Height() == list->Height())
            list->ReplaceMasked(Index, bitmap_, transparentColor_);
        return;
    }
    if (resourceName_.empty())
        return;
    try {
        TTemp<TBitmap> image(Create<TBitmap>());
        if (kind_ == ikResourceBitmap)
            image->LoadFromResourceName(ProgramModule(), resourceName_);
        list->ReplaceMasked(Index, image.Get(), transparentColor_);
    } catch (const Exception&) {
        // A missing resource keeps the placeholder.
    }
}

void TTkImageListItem::SetKind(TTkImageListItemKind Value) {
    if (Value == ikMappedResourceBitmap)
        throw ETkImageListError("The item kind ikMappedResourceBitmap is not supported so far.");
    if (Value == kind_)
        return;
    kind_ = Value;
    if (kind_ == ikInlineBitmap)
        resourceName_.clear();
    else
        bitmap_->Assign(nullptr);
}

void TTkImageListItem::SetTransparentColor(TColor Value) {
    if (Value == transparentColor_)
        return;
    transparentColor_ = Value;
    UpdateImage(Index());
}

void TTkImageListItem::SetBitmap(TBitmap* Value) {
    if (kind_ != ikInlineBitmap)
        return;
    bitmap_->Assign(Value);
    UpdateImage(Index());
}

void TTkImageListItem::SetResourceName(const std::string& Value) {
    if (kind_ == ikInlineBitmap || Value == resourceName_)
        return;
    resourceName_ = Value;
    UpdateImage(Index());
}

void TTkImageListItem::SetIndex(int Value) {
    const int old = Index();
    TCollectionItem::SetIndex(Value);
    TTkImageList* list = List();
    if (list != nullptr && old != Value && old >= 0 && old < list->Count() && Value >= 0 &&
        Value < list->Count())
        list->Move(old, Value);
}

void TTkImageListItem::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TTkImageListItem*>(Source);
    if (other == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    kind_ = other->kind_;
    transparentColor_ = other->transparentColor_;
    resourceName_ = other->resourceName_;
    bitmap_->Assign(other->bitmap_);
    UpdateImage(Index());
}

void TTkImageListItem::BitmapChanged(TObject*) {
    if (kind_ == ikInlineBitmap)
        UpdateImage(Index());
}

std::string TTkImageListItem::GetDisplayName() const {
    switch (kind_) {
    case ikResourceBitmap:
        return "Resource " + resourceName_;
    case ikMappedResourceBitmap:
        return "Mapped Resource " + resourceName_;
    default:
        return std::string("Bitmap ") + PixelFormatName(bitmap_->PixelFormat());
    }
}

void TTkImageListItems::Update(TCollectionItem* Item) {
    if (auto* item = dynamic_cast<TTkImageListItem*>(Item))
        item->UpdateImage(item->Index());
}
