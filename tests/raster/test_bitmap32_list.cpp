// The bitmap list: checked indexed access, items that own their bitmaps, copies between items.
#include <gtest/gtest.h>

#include "framework/core/Exceptions.h"
#include "raster/Bitmap32.h"
#include "raster/Bitmap32List.h"
#include "tests/raster/BitmapTestSupport.h"

using namespace BitmapTest;

namespace {

class Bitmap32ListTest : public StartedTest {};

TEST_F(Bitmap32ListTest, IndexesOutsideTheListRaise) {
    TBitmap32List* list = Create<TBitmap32List>(nullptr);
    for (int i = 0; i < 8; ++i)
        list->Bitmaps()->Add()->Bitmap()->SetSize(16, 16);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(list->Bitmap(i)->Width(), 16);
        EXPECT_EQ(list->Bitmap(i)->Height(), 16);
    }
    EXPECT_THROW(list->Bitmap(8), EListError);
    EXPECT_THROW(list->Bitmap(-1), EListError);
    EXPECT_EQ(list->Bitmaps()->GetOwner(), list);
    list->Free();
}

TEST_F(Bitmap32ListTest, AnItemKeepsItsOwnCopy) {
    TBitmap32List* list = Create<TBitmap32List>(nullptr);
    TBitmap32* source = Create<TBitmap32>();
    source->SetSize(2, 2);
    source->Clear(0xFF112233);
    TBitmap32Item* item = list->Bitmaps()->Add();
    item->SetBitmap(source);
    EXPECT_NE(item->Bitmap(), source);
    source->Clear(0xFF445566);
    EXPECT_EQ(item->Bitmap()->Pixel(1, 1), 0xFF112233u);
    item->Bitmap()->Clear(0xFF778899);
    EXPECT_EQ(source->Pixel(0, 0), 0xFF445566u);
    source->Free();
    list->Free();
}

TEST_F(Bitmap32ListTest, ItemsCopyIntoItemsOnly) {
    TBitmap32List* list = Create<TBitmap32List>(nullptr);
    TBitmap32Item* a = list->Bitmaps()->Add();
    TBitmap32Item* b = list->Bitmaps()->Add();
    a->Bitmap()->SetSize(3, 1);
    a->Bitmap()->Clear(0xFF010203);
    b->Assign(a);
    ASSERT_EQ(b->Bitmap()->Width(), 3);
    EXPECT_EQ(b->Bitmap()->Pixel(2, 0), 0xFF010203u);
    EXPECT_NE(b->Bitmap(), a->Bitmap());
    // Anything else is the class library's impossible copy.
    TBitmap32* other = Create<TBitmap32>();
    EXPECT_THROW(a->AssignTo(other), EConvertError);
    other->Free();
    list->Free();
}

} // namespace
