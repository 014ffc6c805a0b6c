#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "controls/TkImageList_win.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Filer.h"
#include "framework/core/MemoryStream.h"
#include "framework/core/StringList.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Icon_win.h"
#include "framework/graphics/Picture_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

using Tm = TTkImageListTransparentMode;

TBitmap* Solid(int w, int h, TColor fill) {
    auto* b = Create<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->Canvas()->Brush()->SetColor(fill);
    b->SetSize(w, h);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

// Image index of list drawn over white: the pixel at (x, y).
TColor DrawnPixel(TCustomImageList* list, int index, int x, int y) {
    TBitmap* canvas = Solid(list->Width(), list->Height(), clWhite);
    list->Draw(canvas->Canvas(), 0, 0, index);
    const TColor c = canvas->Canvas()->Pixel(x, y);
    canvas->Free();
    return c;
}

struct Counter : TObject {
    int count = 0;
    void Hit(TObject*) { ++count; }
};

// The bitmap layout of a list's images: size and depth of the image bitmap.
struct BitmapShape {
    LONG width = 0, height = 0;
    WORD bits = 0;
    bool mask = false;
    friend bool operator==(const BitmapShape&, const BitmapShape&) = default;
};
BitmapShape ShapeOf(HIMAGELIST list) {
    IMAGEINFO info{};
    BitmapShape s;
    if (!ImageList_GetImageInfo(list, 0, &info)) {
        // An empty list has no image 0: add one to see the bitmaps.
        return s;
    }
    BITMAP bm{};
    GetObject(info.hbmImage, sizeof bm, &bm);
    s.width = bm.bmWidth;
    s.height = bm.bmHeight;
    s.bits = bm.bmBitsPixel;
    s.mask = info.hbmMask != nullptr;
    return s;
}

void AddOne(HIMAGELIST list) {
    TBitmap* b = Solid(16, 16, clRed);
    ImageList_AddMasked(list, b->Handle(), RGB(255, 0, 255));
    b->Free();
}

class TkImageListTest : public ControlsTest {};

TEST_F(TkImageListTest, PlainListsMadeAfterAToolkitListAreDeviceDependent) {
    Create<TTkImageList>(form);
    for (int allocBy : {4, 40}) {
        SCOPED_TRACE(allocBy);
        auto* plain = Create<TImageList>(form);
        plain->AllocBy = allocBy;
        AddOne(plain->Handle());
        HIMAGELIST reference = ImageList_Create(16, 16, ILC_COLORDDB | ILC_MASK, allocBy, allocBy);
        AddOne(reference);
        EXPECT_EQ(ShapeOf(plain->Handle()), ShapeOf(reference));
        EXPECT_TRUE(ShapeOf(plain->Handle()).mask);
        ImageList_Destroy(reference);
    }
    auto* unmasked = Create<TImageList>(form);
    unmasked->SetMasked(false);
    AddOne(unmasked->Handle());
    EXPECT_FALSE(ShapeOf(unmasked->Handle()).mask);
}

TEST_F(TkImageListTest, ToolkitListsTakeTheirPixelFormat) {
    auto* deep = Create<TTkImageList>(form);
    deep->SetPixelFormat(pf32bit);
    AddOne(deep->Handle());
    HIMAGELIST reference = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
    AddOne(reference);
    EXPECT_EQ(ShapeOf(deep->Handle()), ShapeOf(reference));
    ImageList_Destroy(reference);
    // Refused formats leave the property alone.
    deep->SetPixelFormat(pf1bit);
    deep->SetPixelFormat(pfCustom);
    EXPECT_EQ(deep->PixelFormat(), pf32bit);
}

TEST_F(TkImageListTest, ADepthChangeKeepsTheImagesOfAListWithoutSource) {
    auto* list = Create<TTkImageList>(form);
    list->SetMode(imClassic);
    TBitmap* red = Solid(16, 16, clRed);
    TBitmap* blue = Solid(16, 16, clBlue);
    list->AddMasked(red, clFuchsia);
    list->AddMasked(blue, clFuchsia);
    list->SetPixelFormat(pf24bit);
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(DrawnPixel(list, 0, 5, 5), clRed);
    EXPECT_EQ(DrawnPixel(list, 1, 5, 5), clBlue);
    red->Free();
    blue->Free();
}

TEST_F(TkImageListTest, StoredImageDataRoundTrip) {
    auto* list = Create<TTkImageList>(form);
    const TColor colours[] = {clRed, clLime, clBlue};
    for (TColor c : colours) {
        TBitmap* b = Solid(16, 16, c);
        list->AddMasked(b, clFuchsia);
        b->Free();
    }
    for (TPixelFormat format : {pfDevice, pf32bit}) {
        SCOPED_TRACE(int(format));
        list->SetPixelFormat(format);
        TMemoryStream data;
        list->WriteImageData(data);
        data.SetPosition(0);
        auto* copy = Create<TTkImageList>(form);
        copy->ReadImageData(data);
        ASSERT_EQ(copy->Count(), 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(DrawnPixel(copy, i, 8, 8), colours[i]) << i;
    }
}

TEST_F(TkImageListTest, UnreadableImageDataIsAnInvalidImageList) {
    auto* list = Create<TTkImageList>(form);
    TBitmap* b = Solid(16, 16, clRed);
    list->AddMasked(b, clFuchsia);
    b->Free();
    TMemoryStream junk;
    junk.WriteBuffer("IL not an image list at all, just some bytes ........", 50);
    junk.SetPosition(0);
    try {
        list->ReadImageData(junk);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Invalid ImageList");
    }
    EXPECT_TRUE(list->HandleAllocated());
    EXPECT_EQ(list->Count(), 1);
}

// The desktop tree's images: stored in the form description, an empty
// picture, icons added and deleted at run time.
TEST_F(TkImageListTest, StoredImagesOfAListWithAnEmptyPictureSurvive) {
    auto* designed = Create<TTkImageList>(form);
    for (int i = 0; i < 5; ++i) {
        TBitmap* b = Solid(16, 16, ColorFromRaw(0x101010u * (i + 1)));
        designed->AddMasked(b, clFuchsia);
        b->Free();
    }
    TMemoryStream description;
    TWriter writer(description);
    writer.WriteDefinedProperties(*designed);
    description.SetPosition(0);

    auto* tree = Create<TTkImageList>(form);
    tree->BeginLoading();
    TReader reader(description);
    reader.ReadDefinedProperties(*tree);
    tree->EndLoading();
    ASSERT_EQ(tree->Count(), 5);

    // Add three icons, then delete from the last down to index 5.
    for (int i = 0; i < 3; ++i) {
        auto* icon = Create<TIcon>();
        tree->GetIcon(i, icon);
        tree->AddIcon(icon);
        icon->Free();
    }
    ASSERT_EQ(tree->Count(), 8);
    for (int i = tree->Count() - 1; i >= 5; --i)
        tree->Delete(i);
    EXPECT_EQ(tree->Count(), 5);

    // Nothing that rebuilds from the empty picture takes the images.
    tree->SetPixelFormat(pf24bit);
    EXPECT_EQ(tree->Count(), 5);
    tree->SetTransparentMode(Tm::tmAuto);
    tree->SetMode(imClassic);
    tree->SetMode(imPicture);
    EXPECT_EQ(tree->Count(), 5);
    auto* copy = Create<TTkImageList>(form);
    copy->Assign(tree);
    EXPECT_EQ(copy->Count(), 5);
    EXPECT_EQ(DrawnPixel(copy, 4, 8, 8), ColorFromRaw(0x505050));
}

TEST_F(TkImageListTest, ImagesAreStoredOnlyWithoutAPicture) {
    auto* list = Create<TTkImageList>(form);
    TBitmap* b = Solid(16, 16, clRed);
    list->AddMasked(b, clFuchsia);
    auto stored = [&] {
        TMemoryStream s;
        TWriter w(s);
        w.WriteDefinedProperties(*list);
        return s.Size() > 1;
    };
    EXPECT_TRUE(stored());
    list->Picture()->SetGraphic(b);
    EXPECT_FALSE(stored());
    b->Free();
}

TEST_F(TkImageListTest, StripsAreCutIntoCellsWithTheirOwnKeys) {
    auto* list = Create<TTkImageList>(form);
    Counter changes;
    list->OnChange = TNotifyEvent(&changes, &Counter::Hit);
    list->SetTransparentMode(Tm::tmAuto);
    // Cell 0 on red, cell 1 on lime, each with a blue square; 8 columns left over.
    TBitmap* strip = Solid(40, 16, clRed);
    strip->Canvas()->Brush()->SetColor(clLime);
    strip->Canvas()->FillRect(Rect(16, 0, 40, 16));
    strip->Canvas()->Brush()->SetColor(clBlue);
    strip->Canvas()->FillRect(Rect(4, 4, 12, 12));
    strip->Canvas()->FillRect(Rect(20, 4, 28, 12));
    changes.count = 0;
    list->Picture()->SetGraphic(strip);
    EXPECT_EQ(changes.count, 1); // one notification for the whole rebuild
    ASSERT_EQ(list->Count(), 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(DrawnPixel(list, i, 0, 0), clWhite); // keyed away
        EXPECT_EQ(DrawnPixel(list, i, 8, 8), clBlue);
    }

    // Under the fixed key only fuchsia is transparent: red stays.
    list->SetTransparentMode(Tm::tmColor);
    EXPECT_EQ(DrawnPixel(list, 0, 0, 0), clRed);

    TBitmap* narrow = Solid(10, 16, clRed);
    list->Picture()->SetGraphic(narrow);
    EXPECT_EQ(list->Count(), 1);

    // A strip lower than the list: the key pixel lies outside, so no key.
    list->SetTransparentMode(Tm::tmAuto);
    TBitmap* low = Solid(40, 8, clRed);
    list->Picture()->SetGraphic(low);
    EXPECT_EQ(list->Count(), 2);
    for (TBitmap* b : {strip, narrow, low})
        b->Free();
}

TEST_F(TkImageListTest, ResourceNamesSkipBlankAndMissingOnes) {
    auto* list = Create<TTkImageList>(form);
    list->SetMode(imResourceIds);
    auto* names = Create<TStringList>();
    names->Add("   ");
    names->Add("NOSUCHBITMAP");
    names->Add("CELL");
    list->SetResourceIds(names);
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(DrawnPixel(list, 0, 0, 0), clWhite); // fuchsia keyed away
    EXPECT_EQ(DrawnPixel(list, 0, 8, 8), clBlue);
    // A bitmap file among the raw resources serves too.
    names->Clear();
    names->Add("CELLFILE");
    list->SetResourceIds(names);
    EXPECT_EQ(list->Count(), 1);
    names->Free();
}

TEST_F(TkImageListTest, Items) {
    auto* list = Create<TTkImageList>(form);
    list->SetMode(imItemList);
    TTkImageListItem* wrong = list->Items()->Add();
    wrong->SetKind(ikInlineBitmap);
    TBitmap* big = Solid(24, 24, clRed);
    wrong->SetBitmap(big);
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(DrawnPixel(list, 0, 8, 8), clWhite); // the placeholder stays

    TTkImageListItem* good = list->Items()->Add();
    good->SetKind(ikInlineBitmap);
    TBitmap* blue = Solid(16, 16, clBlue);
    good->SetBitmap(blue);
    EXPECT_EQ(DrawnPixel(list, 1, 8, 8), clBlue);

    TTkImageListItem* res = list->Items()->Add();
    res->SetResourceName("CELL");
    EXPECT_EQ(DrawnPixel(list, 2, 8, 8), clBlue);
    EXPECT_EQ(res->DisplayName(), "Resource CELL");
    EXPECT_EQ(good->DisplayName(), "Bitmap pf24bit");

    try {
        res->SetKind(ikMappedResourceBitmap);
        FAIL() << "no error";
    } catch (const ETkImageListError& e) {
        EXPECT_EQ(e.Message(), "The item kind ikMappedResourceBitmap is not supported so far.");
    }
    EXPECT_EQ(res->Kind(), ikResourceBitmap);

    good->SetIndex(0);
    EXPECT_EQ(DrawnPixel(list, 0, 8, 8), clBlue);
    good->Free();
    EXPECT_EQ(list->Count(), 2);
    EXPECT_EQ(DrawnPixel(list, 0, 8, 8), clWhite);
    big->Free();
    blue->Free();
}

} // namespace
