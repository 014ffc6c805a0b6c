#include "controls/TkFileEdit_win.h"

#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>

#include <memory>
#include <vector>

#include "controls/TkUtils_win.h"
#include "framework/controls/ImageList_win.h"
#include "framework/core/AliveScope.h"
#include "framework/core/FileNames.h"
#include "framework/core/FileSystem.h"
#include "framework/core/StringList.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/ThemeServices_win.h"
#include "framework/gui/Messages.h"

namespace {

// The image list all file edits share for their default images (14 x 12), made on first use and
// freed with the program; each glyph is loaded into it once, on first need.
struct TDefaultImages {
    TImageList* List = nullptr;
    int Classic = -1;
    int Themed = -1;
    bool ClassicTried = false;
    bool ThemedTried = false;
    ~TDefaultImages() {
        if (List != nullptr)
            List->Free();
    }
};

TDefaultImages& DefaultImagesHolder() {
    static TDefaultImages images;
    return images;
}

TImageList* SharedImageList() {
    TDefaultImages& d = DefaultImagesHolder();
    if (d.List == nullptr) {
        d.List = Create<TImageList>(nullptr);
        d.List->SetWidth(14);
        d.List->SetHeight(12);
    }
    return d.List;
}

// The index of a glyph resource in the shared list; -1 when the program has no such resource.
int LoadGlyph(const char* name, int& index, bool& tried) {
    if (tried)
        return index;
    tried = true;
    try {
        std::unique_ptr<TBitmap, void (*)(TBitmap*)> bitmap(Create<TBitmap>(),
                                                            [](TBitmap* b) { b->Free(); });
        bitmap->LoadFromResourceName(GetModuleHandleA(nullptr), name);
        index = SharedImageList()->AddMasked(bitmap.get(), clFuchsia);
    } catch (...) {
        index = -1; // a program without the glyphs shows an empty button
    }
    return index;
}

// Finishes a shell drop however its handling ends.
class TDropScope {
public:
    explicit TDropScope(HDROP drop) : drop_(drop) {}
    ~TDropScope() { DragFinish(drop_); }
    TDropScope(const TDropScope&) = delete;
    TDropScope& operator=(const TDropScope&) = delete;

private:
    HDROP drop_;
};

constexpr CLSID kMultiListClass = {
    0x00BB2765, 0x6A77, 0x11D0, {0xA5, 0x35, 0x00, 0xC0, 0x4F, 0xD7, 0xD0, 0x62}};
constexpr CLSID kRecentlyUsedClass = {
    0x6756A641, 0xDE71, 0x11D0, {0x83, 0x1B, 0x00, 0xAA, 0x00, 0x5B, 0x43, 0x83}};
constexpr CLSID kHistoryClass = {
    0x00BB2764, 0x6A77, 0x11D0, {0xA5, 0x35, 0x00, 0xC0, 0x4F, 0xD7, 0xD0, 0x62}};
constexpr CLSID kFolderListClass = {
    0x03C036F1, 0xA186, 0x11D0, {0x82, 0x4A, 0x00, 0xAA, 0x00, 0x5B, 0x43, 0x83}};
constexpr IID kObjMgrIid = {
    0x00BB2761, 0x6A77, 0x11D0, {0xA5, 0x35, 0x00, 0xC0, 0x4F, 0xD7, 0xD0, 0x62}};
constexpr IID kACList2Iid = {
    0x470141A0, 0x5186, 0x11D2, {0xBB, 0xB6, 0x00, 0x60, 0x97, 0x7B, 0x46, 0x4C}};

} // namespace

// The shell's list objects behind the path-completion seam.
class TTkFileDirEdit::TShellLists : public TShellListSeam {
public:
    explicit TShellLists(IObjMgr* Multi) : multi_(Multi) {}
    void* Create(TShellList kind) override {
        const CLSID& cls = kind == TShellList::RecentlyUsed ? kRecentlyUsedClass
                           : kind == TShellList::History    ? kHistoryClass
                                                            : kFolderListClass;
        IUnknown* list = nullptr;
        if (FAILED(CoCreateInstance(cls, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                    reinterpret_cast<void**>(&list))))
            return nullptr;
        return list;
    }
    void Append(void* list) override { multi_->Append(static_cast<IUnknown*>(list)); }
    void Remove(void* list) override { multi_->Remove(static_cast<IUnknown*>(list)); }
    void Release(void* list) override { static_cast<IUnknown*>(list)->Release(); }
    void SetFolderOptions(void* list, std::uint32_t options) override {
        IACList2* folder = nullptr;
        if (SUCCEEDED(static_cast<IUnknown*>(list)->QueryInterface(
                kACList2Iid, reinterpret_cast<void**>(&folder))) &&
            folder != nullptr) {
            folder->SetOptions(options);
            folder->Release();
        }
    }

private:
    IObjMgr* multi_;
};

// --- the file and folder edit ---

TTkFileDirEdit::TTkFileDirEdit(TComponent* AOwner) : TTkCustomComboEdit(AOwner) {
    SetAutoCompleteOptions({acoAutoSuggest});
    SetImageKind(ikDefault);
}

void TTkFileDirEdit::CreateParams(TCreateParams& Params) {
    TTkCustomComboEdit::CreateParams(Params);
    Params.Style |= ES_OEMCONVERT;
}

void TTkFileDirEdit::CreateWnd() {
    TTkCustomComboEdit::CreateWnd();
    if (acceptFiles_ && !ComponentState().Contains(csDesigning))
        DragAcceptFiles(Handle(), TRUE);
}

void TTkFileDirEdit::DestroyWnd() {
    if (HandleAllocated() && acceptFiles_)
        DragAcceptFiles(Handle(), FALSE);
    TTkCustomComboEdit::DestroyWnd(); // releases the completion object first
    ReleasePathLists();
}

TTkFileDirEdit::~TTkFileDirEdit() {
    ReleasePathLists();
}

void TTkFileDirEdit::ReleasePathLists() {
    if (multiList_ == nullptr)
        return;
    TShellLists seam(multiList_);
    pathLists_.ReleaseAll(seam);
    IObjMgr* multi = multiList_;
    multiList_ = nullptr;
    multi->Release();
}

IEnumString* TTkFileDirEdit::AutoCompleteSource() {
    ReleasePathLists();
    IEnumString* source = nullptr;
    if (FAILED(CoCreateInstance(kMultiListClass, nullptr, CLSCTX_INPROC_SERVER, IID_IEnumString,
                                reinterpret_cast<void**>(&source))) ||
        source == nullptr)
        return nullptr;
    if (FAILED(source->QueryInterface(kObjMgrIid, reinterpret_cast<void**>(&multiList_))))
        multiList_ = nullptr;
    return source;
}

void TTkFileDirEdit::ApplyAutoCompleteOptions() {
    if (multiList_ != nullptr) {
        TShellLists seam(multiList_);
        pathLists_.Apply(FileOptions(), seam);
    }
    TTkCustomComboEdit::ApplyAutoCompleteOptions();
}

void TTkFileDirEdit::FileOptionsChanged() {
    if (HandleAllocated() && !ComponentState().Contains(csDesigning))
        ApplyAutoCompleteOptions();
}

void TTkFileDirEdit::SetAcceptFiles(bool Value) {
    if (Value == acceptFiles_)
        return;
    acceptFiles_ = Value;
    if (!ComponentState().Contains(csDesigning))
        DragAcceptFiles(Handle(), Value ? TRUE : FALSE);
}

void TTkFileDirEdit::Change() {
    bool cut = false;
    const std::string text = CutAtLineBreak(Text(), cut);
    if (cut) {
        SetText(text); // a change of its own, without the break
        return;
    }
    TTkCustomComboEdit::Change();
}

int TTkFileDirEdit::DefaultImageIndex() const {
    TDefaultImages& d = DefaultImagesHolder();
    return ThemeServices()->ThemesEnabled()
               ? LoadGlyph("TkFilenameEditXPGLYPH", d.Themed, d.ThemedTried)
               : LoadGlyph("TkFilenameEditGLYPH", d.Classic, d.ClassicTried);
}

TCustomImageList* TTkFileDirEdit::DefaultImages() const {
    return SharedImageList();
}

void TTkFileDirEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_DROPFILES:
        Message.Result = 0;
        FilesDropped(reinterpret_cast<HDROP>(Message.WParam));
        return;
    case CM_SYSCOLORCHANGE:
        TTkCustomComboEdit::WndProc(Message);
        // A theme switch comes with new system colours: the glyph of the new look.
        if (ImageKind() == ikDefault)
            Button()->SetImageIndex(DefaultImageIndex());
        return;
    default:
        break;
    }
    TTkCustomComboEdit::WndProc(Message);
}

void TTkFileDirEdit::FilesDropped(HDROP Drop) {
    if (Drop == nullptr)
        return;
    TDropScope finish(Drop);
    const UINT count = DragQueryFileA(Drop, 0xFFFFFFFFu, nullptr, 0);
    if (count == 0 || count == 0xFFFFFFFFu)
        return;
    TAliveScope alive(DestroyedSlot());
    ClearNames();
    for (UINT i = 0; i < count; ++i) {
        // Each name's length first, so a long path is read whole.
        const UINT length = DragQueryFileA(Drop, i, nullptr, 0);
        if (length == 0)
            continue;
        std::vector<char> name(static_cast<std::size_t>(length) + 1, '\0');
        const UINT got = DragQueryFileA(Drop, i, name.data(), length + 1);
        if (got == 0 || got > length)
            continue;
        if (!TakeDroppedName(std::string(name.data(), got)) || alive.Dead())
            return;
        if (!MultipleNames)
            break;
    }
    if (OnDropFiles)
        OnDropFiles(this);
}

// --- the file-name edit ---

TTkFilenameEdit::TTkFilenameEdit(TComponent* AOwner) : TTkFileDirEdit(AOwner) {
    dialog_ = Create<TOpenDialog>(this);
    dialog_->Title = "Browse";
    dialog_->Filter = "All files (*.*)|*.*";
    dialog_->Options = TOpenOptions{ofHideReadOnly};
}

void TTkFilenameEdit::SetAutoCompleteFileOptions(TTkAutoCompleteFileOptions Value) {
    if (Value == fileOptions_)
        return;
    fileOptions_ = Value;
    FileOptionsChanged();
}

TFileProbe TTkFilenameEdit::Probe() const {
    return {[](const std::string& n) { return FileExists(n); },
            [](const std::string& n) { return DirectoryExists(n); }};
}

void TTkFilenameEdit::SetDialogKind(TFileDialogKind Value) {
    if (Value == dialogKind_)
        return;
    TOpenDialog* fresh = nullptr;
    switch (Value) {
    case dkOpen:
        fresh = Create<TOpenDialog>(this);
        break;
    case dkSave:
        fresh = Create<TSaveDialog>(this);
        break;
    case dkOpenPicture:
        fresh = Create<TOpenPictureDialog>(this);
        break;
    case dkSavePicture:
        fresh = Create<TSavePictureDialog>(this);
        break;
    }
    fresh->DefaultExt = dialog_->DefaultExt;
    fresh->FileEditStyle = dialog_->FileEditStyle;
    fresh->FileName = dialog_->FileName;
    fresh->Filter = dialog_->Filter;
    fresh->FilterIndex = dialog_->FilterIndex;
    fresh->InitialDir = dialog_->InitialDir;
    fresh->HistoryList = dialog_->HistoryList;
    fresh->Files()->Assign(dialog_->Files());
    fresh->Options = dialog_->Options;
    fresh->Title = dialog_->Title;
    TOpenDialog* old = dialog_;
    dialog_ = fresh;
    dialogKind_ = Value;
    old->Free();
}

bool TTkFilenameEdit::IsFilterStored() const {
    return dialog_->Filter != "All files (*.*)|*.*";
}

void TTkFilenameEdit::SetDialogOptions(TOpenOptions Value) {
    dialog_->Options = Value;
    MultipleNames = Value.Contains(ofAllowMultiSelect);
    if (!MultipleNames)
        ClearNames();
}

std::string TTkFilenameEdit::FileName() {
    return AddQuotes ? UnquoteFileName(Text(), Probe()) : Text();
}

void TTkFilenameEdit::SetFileName(const std::string& Value) {
    const std::string text = FileNameText(Value, AddQuotes, Probe());
    TAliveScope alive(DestroyedSlot());
    SetText(text);
    if (!alive.Dead())
        ClearNames();
}

std::string TTkFilenameEdit::LongName() {
    return ExpandShortPathName(FileName());
}

std::string TTkFilenameEdit::ShortName() {
    return LongToShortFileName(FileName());
}

bool TTkFilenameEdit::TakeDroppedName(const std::string& Name) {
    TAliveScope alive(DestroyedSlot());
    if (!MultipleNames) {
        SetFileName(Name);
        return !alive.Dead();
    }
    if (dialog_->Files()->Count() == 0) {
        SetFileName(Name);
        if (alive.Dead())
            return false;
    }
    dialog_->Files()->Add(Name);
    return true;
}

void TTkFilenameEdit::ClearNames() {
    dialog_->Files()->Clear();
}

// The edit and its dialog as the dialog run sees them.
class TTkFilenameEdit::TDialogHost : public TFileDialogHost {
public:
    explicit TDialogHost(TTkFilenameEdit* Edit) : edit_(Edit), alive_(Edit->DestroyedSlot()) {}
    std::string UnquotedText() override { return UnquoteFileName(edit_->Text(), edit_->Probe()); }
    bool BeforeDialog(std::string& name, bool& action) override {
        if (edit_->OnBeforeDialog)
            edit_->OnBeforeDialog(edit_, name, action);
        return !alive_.Dead();
    }
    bool AfterDialog(std::string& name, bool& action) override {
        if (alive_.Dead())
            return false;
        if (edit_->OnAfterDialog)
            edit_->OnAfterDialog(edit_, name, action);
        return !alive_.Dead();
    }
    bool DirectoryExists(const std::string& name) override { return ::DirectoryExists(name); }
    void SetInitialDir(const std::string& dir) override { edit_->dialog_->InitialDir = dir; }
    std::string DialogFileName() override {
        return alive_.Dead() ? std::string() : edit_->dialog_->FileName;
    }
    void SetDialogFileName(const std::string& name) override { edit_->dialog_->FileName = name; }
    void PrepareDialog() override { edit_->dialog_->HelpContext = edit_->HelpContext(); }
    std::uint32_t SetErrorMode(std::uint32_t mode) override { return ::SetErrorMode(mode); }
    bool ExecuteDialog() override { return edit_->dialog_->Execute(); }
    void FocusEdit() override {
        if (!alive_.Dead() && edit_->CanFocus())
            edit_->SetFocus();
    }
    bool SetText(const std::string& text) override {
        edit_->SetText(text);
        return !alive_.Dead();
    }

private:
    TTkFilenameEdit* edit_;
    TAliveScope alive_;
};

void TTkFilenameEdit::PopupDropDown(bool DisableEdit) {
    (void)DisableEdit;
    TDialogHost host(this);
    RunFileDialog(host, AddQuotes);
}
