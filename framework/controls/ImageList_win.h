#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "framework/core/Component.h"
#include "framework/core/Events.h"
#include "framework/core/Types.h"

class TCanvas;
class TBitmap;
class TFiler;
class TStream;
class TIcon;
class TCustomImageList;

enum TDrawingStyle : std::uint8_t { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType : std::uint8_t { itImage, itMask };

// Makes the native list for an image list (width, height, flags, growth).
// One hook serves the whole process; a program installs its own rule at
// start-up (SetImageListCreateHook). The default: ILC_COLORDDB, ILC_MASK
// when Masked, AllocBy as initial size and growth.
using TImageListCreateHook = HIMAGELIST (*)(TCustomImageList* List);
// Installs Hook (nullptr: the default) and answers the previous one.
TImageListCreateHook SetImageListCreateHook(TImageListCreateHook Hook) noexcept;
HIMAGELIST DefaultImageListCreate(TCustomImageList* List);

// Hears of an image list's changes (tree views, menus, tool bars).
class TChangeLink : public TObject {
    FW_CLASS(TChangeLink, TObject)
public:
    TChangeLink() = default;
    ~TChangeLink() override;
    TCustomImageList* Sender = nullptr;
    TNotifyEvent OnChange;
    virtual void Change();
};

// A list of equally sized images on a native image list, created on demand
// through the process-wide creation hook.
class TCustomImageList : public TComponent {
    FW_CLASS(TCustomImageList, TComponent)
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // A list of the given size (the default is 16 x 16).
    template <class T = TCustomImageList>
    static T* CreateWithSize(TComponent* AOwner, int AWidth, int AHeight) {
        T* list = new T(AOwner);
        list->width_ = AWidth;
        list->height_ = AHeight;
        CompleteConstruction(list);
        return list;
    }

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // A new size clears the images.
    void SetWidth(int Value);
    void SetHeight(int Value);
    int AllocBy = 4;
    bool Masked() const noexcept { return masked_; }
    void SetMasked(bool Value);
    TColor BkColor() const noexcept { return bkColor_; }
    void SetBkColor(TColor Value);
    TColor BlendColor = clNone;
    TDrawingStyle DrawingStyle = dsNormal;
    TImageType ImageType = itImage;
    // True: the native list belongs to someone else and is never destroyed.
    bool ShareImages = false;
    TNotifyEvent OnChange;

    // The native list (created now when missing).
    HIMAGELIST Handle();
    // Attaches a native list (the old one is destroyed unless shared) and
    // announces the change.
    void SetHandle(HIMAGELIST Value);
    bool HandleAllocated() const noexcept { return handle_ != nullptr; }
    int Count();

    void Clear();
    void Delete(int Index);
    // Index of the new image, -1 when it could not be added.
    int Add(TBitmap* Image, TBitmap* Mask);
    // Pixels of MaskColor become transparent; Image is left as it was.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    // Adds a copy of the icon; the icon keeps its handle (it may be
    // borrowed from another window).
    int AddIcon(TIcon* Image);
    // Appends every image of Value.
    void AddImages(TCustomImageList* Value);
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
    void Move(int CurIndex, int NewIndex);
    // Gives Image a new icon handle of its own (its OnChange fires).
    void GetIcon(int Index, TIcon* Image);
    // Draws image Index at (X, Y); an invalid index draws nothing.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    void Draw(HDC DC, int X, int Y, int Index, bool Enabled = true);
    void Assign(TPersistent* Source) override;

    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);

    // The images as stored data (the system's image-list stream format): a
    // list read replaces the native list (a change notification), width and
    // height included. Data that is not an image list, or whose sizes do not
    // fit the bytes there are, raises EReadError and leaves the list alone.
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream);
    // Stores the images as the binary property "Bitmap" when there are any.
    void DefineProperties(TFiler* Filer) override;

protected:
    // The initialisation step after construction; overrides call the base.
    virtual void Initialize() {}
    // Tells the change links, then fires OnChange.
    virtual void Change();

private:
    void FreeHandle();
    bool ValidIndex(int Index);

    int width_ = 16;
    int height_ = 16;
    bool masked_ = true;
    TColor bkColor_ = clNone;
    HIMAGELIST handle_ = nullptr;
    std::vector<TChangeLink*> links_;
};

class TImageList : public TCustomImageList {
    FW_CLASS(TImageList, TCustomImageList)
public:
    explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
};
