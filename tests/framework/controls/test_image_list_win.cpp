#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/controls/ImageList_win.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Filer.h"
#include "framework/core/MemoryStream.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Icon_win.h"
#include "tests/fixtures/WinFarmClient_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

TBitmap* NewBitmap(TColor fill) {
    auto* b = Create<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(16, 16);
    b->Canvas()->Brush()->SetColor(fill);
    b->Canvas()->FillRect(Rect(0, 0, 16, 16));
    return b;
}

struct Counter : TObject {
    int count = 0;
    void Hit(TObject*) { ++count; }
};

int gHookCalls = 0;
HIMAGELIST CountingHook(TCustomImageList* list) {
    ++gHookCalls;
    return ImageList_Create(list->Width(), list->Height(), ILC_COLOR32 | ILC_MASK, 1, 1);
}

class ImageListTest : public ControlsTest {};

TEST_F(ImageListTest, EveryListGetsItsHandleThroughTheProcessHook) {
    gHookCalls = 0;
    TImageListCreateHook old = SetImageListCreateHook(&CountingHook);
    auto* a = Create<TImageList>(form);
    auto* b = TCustomImageList::CreateWithSize<TImageList>(form, 24, 24);
    EXPECT_FALSE(a->HandleAllocated());
    a->Handle();
    b->Handle();
    EXPECT_EQ(gHookCalls, 2);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(b->Handle(), &cx, &cy);
    EXPECT_EQ(cx, 24);
    EXPECT_EQ(cy, 24);
    SetImageListCreateHook(old);
    auto* c = Create<TImageList>(form);
    c->Handle();
    EXPECT_EQ(gHookCalls, 2);
    EXPECT_EQ(c->Width(), 16);
    EXPECT_EQ(c->AllocBy, 4);
}

TEST_F(ImageListTest, AttachingAHandleAnnouncesAChange) {
    auto* list = Create<TImageList>(form);
    Counter events, links;
    list->OnChange = TNotifyEvent(&events, &Counter::Hit);
    TChangeLink link;
    link.OnChange = TNotifyEvent(&links, &Counter::Hit);
    list->RegisterChanges(&link);
    list->SetHandle(ImageList_Create(32, 32, ILC_COLOR32, 1, 1));
    EXPECT_EQ(events.count, 1);
    EXPECT_EQ(links.count, 1);
    EXPECT_EQ(list->Width(), 32);
    list->UnRegisterChanges(&link);
    list->SetHandle(nullptr);
    EXPECT_EQ(links.count, 1);
}

TEST_F(ImageListTest, IconsFromAnotherProcessAreCopiedNeverOwned) {
    winfarm::Farm farm;
    winfarm::Child child = farm.Spawn("iconic");
    HWND window = child.Of("main").at(0);
    // Borrowed the way the window list does: the window's icon, else its
    // class icon (the farm's windows have the warning icon as class icon).
    HICON borrowed = nullptr;
    for (WPARAM kind : {ICON_BIG, ICON_SMALL, ICON_SMALL2})
        if (borrowed == nullptr)
            borrowed = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, kind, 0));
    if (borrowed == nullptr)
        borrowed = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICON));
    // Wine sends neither WM_GETICON nor the class icon across processes
    // (icon handles are private to each process there); Windows does.
    if (borrowed == nullptr)
        GTEST_SKIP() << "this system gives no other process's window icon";

    auto* list = Create<TImageList>(form);
    TIcon icon;
    icon.SetHandle(borrowed);
    EXPECT_EQ(list->AddIcon(&icon), 0);
    EXPECT_EQ(list->AddIcon(&icon), 1);
    EXPECT_EQ(list->Count(), 2);
    EXPECT_NE(icon.Handle(), nullptr);
    list->Free();
    // The borrowed icon still works after the list is gone.
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(borrowed, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    auto* again = Create<TImageList>(form);
    TIcon empty;
    EXPECT_EQ(again->AddIcon(&empty), -1);
    again->AddIcon(&icon);
    // Drawn: the warning icon's yellow lands on a white bitmap.
    TBitmap* bmp = NewBitmap(clWhite);
    again->Draw(bmp->Canvas(), 0, 0, 0);
    again->Draw(bmp->Canvas(), 0, 0, 7);  // ignored
    int coloured = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (bmp->Canvas()->Pixel(x, y) != clWhite)
                ++coloured;
    EXPECT_GT(coloured, 20);
    bmp->Free();
}

TEST_F(ImageListTest, GetIconGivesANewOwnedHandleAndFiresTheIconsChange) {
    auto* list = Create<TImageList>(form);
    TIcon source;
    source.SetHandle(LoadIcon(nullptr, IDI_APPLICATION));
    list->AddIcon(&source);
    TIcon target;
    Counter changes;
    target.OnChange = TNotifyEvent(&changes, &Counter::Hit);
    list->GetIcon(0, &target);
    EXPECT_EQ(changes.count, 1);
    ASSERT_NE(target.Handle(), nullptr);
    EXPECT_NE(target.Handle(), source.Handle());
    HICON first = target.Handle();
    list->GetIcon(0, &target);
    EXPECT_EQ(changes.count, 2);
    EXPECT_NE(target.Handle(), first);
    list->GetIcon(5, &target);  // invalid: nothing
    EXPECT_EQ(changes.count, 2);
}

TEST_F(ImageListTest, MaskedBitmapsLeaveTheSourceAloneAndMoveAndDelete) {
    auto* list = Create<TImageList>(form);
    TBitmap* bmp = NewBitmap(clFuchsia);
    bmp->Canvas()->Brush()->SetColor(clBlue);
    bmp->Canvas()->FillRect(Rect(4, 4, 12, 12));
    EXPECT_EQ(list->AddMasked(bmp, clFuchsia), 0);
    EXPECT_EQ(bmp->Canvas()->Pixel(0, 0), clFuchsia);
    EXPECT_EQ(list->Add(bmp, nullptr), 1);
    // Drawn masked: the blue centre over white, the fuchsia left out.
    TBitmap* target = NewBitmap(clWhite);
    list->Draw(target->Canvas(), 0, 0, 0);
    EXPECT_EQ(target->Canvas()->Pixel(0, 0), clWhite);
    EXPECT_EQ(target->Canvas()->Pixel(8, 8), clBlue);
    target->Free();
    bmp->Free();
    list->Move(0, 1);
    list->Delete(0);
    EXPECT_EQ(list->Count(), 1);
    EXPECT_THROW(list->Delete(3), EInvalidOperation);
    auto* copy = Create<TImageList>(form);
    copy->Assign(list);
    EXPECT_EQ(copy->Count(), 1);
    copy->AddImages(list);
    EXPECT_EQ(copy->Count(), 2);
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
}

// Two images: a blue square on a masked-out fuchsia ground, and plain green.
TImageList* TwoImages(TComponent* owner) {
    auto* list = Create<TImageList>(owner);
    TBitmap* bmp = NewBitmap(clFuchsia);
    bmp->Canvas()->Brush()->SetColor(clBlue);
    bmp->Canvas()->FillRect(Rect(4, 4, 12, 12));
    list->AddMasked(bmp, clFuchsia);
    bmp->Free();
    TBitmap* green = NewBitmap(clLime);
    list->Add(green, nullptr);
    green->Free();
    return list;
}

std::vector<unsigned char> Bytes(TCustomMemoryStream& stream) {
    const auto* p = static_cast<const unsigned char*>(stream.Memory());
    return std::vector<unsigned char>(p, p + stream.Size());
}

TEST_F(ImageListTest, ImagesStoredAsTheBinaryPropertyBitmapReadBackWithTheirMasks) {
    TImageList* source = TwoImages(form);
    TMemoryStream block;
    TWriter writer(block);
    writer.WriteDefinedProperties(*source);
    const std::vector<unsigned char> stored = Bytes(block);
    ASSERT_GT(stored.size(), 100u);
    EXPECT_EQ(std::string(stored.begin() + 1, stored.begin() + 7), "Bitmap");

    auto* loaded = TCustomImageList::CreateWithSize<TImageList>(form, 32, 32);
    Counter changes;
    loaded->OnChange = TNotifyEvent(&changes, &Counter::Hit);
    block.SetPosition(0);
    TReader reader(block);
    reader.ReadDefinedProperties(*loaded);
    EXPECT_EQ(changes.count, 1);
    ASSERT_EQ(loaded->Count(), 2);
    EXPECT_EQ(loaded->Width(), 16) << "the stored size wins";
    TBitmap* target = NewBitmap(clWhite);
    loaded->Draw(target->Canvas(), 0, 0, 0);
    EXPECT_EQ(target->Canvas()->Pixel(0, 0), clWhite) << "the mask came along";
    EXPECT_EQ(target->Canvas()->Pixel(8, 8), clBlue);
    loaded->Draw(target->Canvas(), 0, 0, 1);
    EXPECT_EQ(target->Canvas()->Pixel(0, 0), clLime);
    target->Free();

    // An empty list stores nothing: the block is the end marker alone.
    auto* empty = Create<TImageList>(form);
    TMemoryStream none;
    TWriter w2(none);
    w2.WriteDefinedProperties(*empty);
    EXPECT_EQ(none.Size(), 1);
}

TEST_F(ImageListTest, DataThatIsNoImageListRaisesAndLeavesTheListAlone) {
    TImageList* source = TwoImages(form);
    TMemoryStream good;
    source->WriteData(good);
    const std::vector<unsigned char> valid = Bytes(good);
    ASSERT_GT(valid.size(), 28u + 14u + 40u);
    constexpr size_t kHead = 28, kInfo = 28 + 14;

    auto patched = [&](size_t at, std::vector<unsigned char> with) {
        std::vector<unsigned char> b = valid;
        std::memcpy(b.data() + at, with.data(), with.size());
        return b;
    };
    auto cut = [&](size_t n) {
        return std::vector<unsigned char>(valid.begin(), valid.begin() + n);
    };
    const struct {
        const char* Name;
        std::vector<unsigned char> Data;
    } cases[] = {
        {"empty", {}},
        {"head only", cut(kHead)},
        {"not IL", patched(0, {'X', 'Y'})},
        {"zero width", patched(10, {0, 0})},
        {"count above capacity", patched(4, {0xFF, 0xFF})},
        {"not a bitmap", patched(kHead, {'X', 'X'})},
        {"huge bitmap", patched(kInfo + 4, {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F})},
        {"odd bit count", patched(kInfo + 14, {7, 0})},
        {"bits cut short", cut(kInfo + 40 + 16)},
        {"second bitmap cut short", cut(valid.size() - 8)},
    };
    auto* list = Create<TImageList>(form);
    TBitmap* one = NewBitmap(clRed);
    list->Add(one, nullptr);
    one->Free();
    Counter changes;
    list->OnChange = TNotifyEvent(&changes, &Counter::Hit);
    for (const auto& c : cases) {
        TMemoryStream data;
        if (!c.Data.empty())
            data.WriteBuffer(c.Data.data(), c.Data.size());
        data.SetPosition(0);
        EXPECT_THROW(list->ReadData(data), EReadError) << c.Name;
        EXPECT_EQ(list->Count(), 1) << c.Name;
    }
    EXPECT_EQ(changes.count, 0);
}

}  // namespace
