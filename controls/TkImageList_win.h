#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "controls/ImageListRules.h"
#include "controls/TkTypes.h"
#include "framework/controls/ImageList_win.h"
#include "framework/core/Collection.h"

class TPicture;
class TStringList;
class TTkImageList;

FW_DECLARE_EXCEPTION(ETkImageListError, Exception);

// The screen's colour depth as a pixel format (pfDevice when it names none).
TPixelFormat GetScreenPixelFormat();

// A system image list of width x height at a colour depth (pfDevice: the
// screen's), allocBy as both initial size and growth; 0 on failure.
HIMAGELIST NewImageListHandle(int width, int height, TPixelFormat format, int allocBy, bool masked);

enum TTkImageListItemKind : std::uint8_t {
    ikResourceBitmap,
    ikMappedResourceBitmap,
    ikInlineBitmap
};

// One image of a list in item mode: the list's image at the item's index.
class TTkImageListItem : public TCollectionItem {
    FW_CLASS(TTkImageListItem, TCollectionItem)
public:
    explicit TTkImageListItem(TCollection* Collection);
    ~TTkImageListItem() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    TTkImageListItemKind Kind() const noexcept { return kind_; }
    // ikMappedResourceBitmap raises ETkImageListError; the kind stays.
    void SetKind(TTkImageListItemKind Value);
    TColor TransparentColor() const noexcept { return transparentColor_; }
    void SetTransparentColor(TColor Value);
    TBitmap* Bitmap() const noexcept { return bitmap_; }
    // Inline items only: copies Value and updates the image.
    void SetBitmap(TBitmap* Value);
    const std::string& ResourceName() const noexcept { return resourceName_; }
    void SetResourceName(const std::string& Value);
    void SetIndex(int Value) override;
    void Assign(TPersistent* Source) override;

    // Puts the item's image at Index of the list.
    void UpdateImage(int Index);

protected:
    std::string GetDisplayName() const override;

private:
    TTkImageList* List() const;
    void BitmapChanged(TObject*);

    TTkImageListItemKind kind_ = ikResourceBitmap;
    TColor transparentColor_ = clFuchsia;
    TBitmap* bitmap_ = nullptr;
    std::string resourceName_;
};

class TTkImageListItems : public TOwnedCollection {
    FW_CLASS(TTkImageListItems, TOwnedCollection)
public:
    explicit TTkImageListItems(TPersistent* AOwner)
        : TOwnedCollection(AOwner, TCollectionItemClass::Of<TTkImageListItem>()) {}
    TTkImageListItem* Add() { return static_cast<TTkImageListItem*>(TCollection::Add()); }
    TTkImageListItem* Items(int Index) const {
        return static_cast<TTkImageListItem*>(TCollection::Items(Index));
    }

protected:
    void Update(TCollectionItem* Item) override;
};

// The toolkit's image list: a framework image list with a chosen colour
// depth and four sources of images (Mode). From the first one made on, every
// image list of the process gets its system handle by the toolkit's rule: a
// toolkit list at its PixelFormat, any other device-dependent (plus a mask
// when Masked) with AllocBy as initial size and growth.
class TTkImageList : public TImageList {
    FW_CLASS(TTkImageList, TImageList)
public:
    explicit TTkImageList(TComponent* AOwner);
    ~TTkImageList() override;

    TTkImageListMode Mode() const noexcept { return mode_; }
    void SetMode(TTkImageListMode Value);
    TPixelFormat PixelFormat() const noexcept { return pixelFormat_; }
    // pf1bit and pfCustom are ignored; with a handle the images are kept
    // (through a copy) and the handle is made again at the new depth.
    void SetPixelFormat(TPixelFormat Value);
    TTkImageListTransparentMode TransparentMode() const noexcept { return transparentMode_; }
    void SetTransparentMode(TTkImageListTransparentMode Value);
    TColor TransparentColor() const noexcept { return transparentColor_; }
    void SetTransparentColor(TColor Value);
    const std::string& FileName() const noexcept { return fileName_; }
    void SetFileName(const std::string& Value);
    TPicture* Picture() const noexcept { return picture_; }
    void SetPicture(TPicture* Value);
    TStringList* ResourceIds() const noexcept { return resourceIds_; }
    void SetResourceIds(TStringList* Value);
    TTkImageListItems* Items() const noexcept { return items_; }
    void SetItems(TTkImageListItems* Value);

    // Rebuilds from the current source (picture or resource names).
    virtual void UpdateImageList();
    // Makes the system handle when there is none.
    virtual void EnsureHandle();
    // Attaches a new, empty system handle at the list's depth; "Invalid
    // ImageList" when the system makes none.
    virtual void MakeImageListHandle();
    // The system list in the stream format (the down-level form unless 32-bit).
    virtual void WriteImageData(TStream& Stream);
    // Replaces the system list by one read from Stream; "Invalid ImageList"
    // when the data is not an image list (the list keeps its images).
    virtual void ReadImageData(TStream& Stream);

    // Cuts bitmap into images of the list's size and appends them; the key
    // colour is each cell's bottom-left pixel when autoKey. Answers the count.
    int AddImageStrip(TBitmap* Bitmap, TColor KeyColor, bool AutoKey);

    void BeginUpdate();
    void EndUpdate();
    void Assign(TPersistent* Source) override;
    void DefineProperties(TFiler* Filer) override;

    // The handle a list of this class gets when the framework first needs one.
    HIMAGELIST CreateSystemHandle() const;

protected:
    void Initialize() override;
    virtual void InitializeImageList();
    void Change() override;
    // The copy from another list: its source and then the images, rebuilt
    // from the source in the source's mode.
    virtual void CopyStateFrom(TPersistent* Source);

private:
    friend class TTkImageListItem;
    void ReplaceHandle(HIMAGELIST Handle);
    void RebuildFromPicture(bool pictureChanged);
    void RebuildFromResources();
    void PictureChanged(TObject*);
    void ResourceIdsChanged(TObject*);
    void LoadPictureFromFile();
    bool PictureHasImage() const;
    TTkImageSourceState SourceState() const;

    TTkImageListMode mode_ = imPicture;
    TPixelFormat pixelFormat_ = pfDevice;
    TTkImageListTransparentMode transparentMode_ = TTkImageListTransparentMode::tmColor;
    TColor transparentColor_ = clFuchsia;
    std::string fileName_;
    TPicture* picture_ = nullptr;
    TStringList* resourceIds_ = nullptr;
    TTkImageListItems* items_ = nullptr;
    TTkChangeBracket bracket_;
};
