// Bitmaps and icons loaded from the test program's own resources (linked
// from test_resources_win.rc): the same pixels as the file, the icon size the
// system asks for, and a clear error for a missing name or bad data, with the
// graphic left as it was.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Icon_win.h"
#include "tests/framework/graphics/GraphicsTestData.h"

namespace {

struct FreeGraphic {
    void operator()(TGraphic* g) const { g->Free(); }
};
template <class T> using GraphicPtr = std::unique_ptr<T, FreeGraphic>;

HINSTANCE Self() {
    return GetModuleHandleA(nullptr);
}

TEST(Resources, BitmapResourceHasTheFilesPixels) {
    GraphicPtr<TBitmap> file(Create<TBitmap>());
    TMemoryStream s;
    const std::vector<std::uint8_t> bytes = ReadGraphicsFixture("rgb16x8.bmp");
    s.WriteBuffer(bytes.data(), bytes.size());
    s.SetPosition(0);
    file->LoadFromStream(s);
    // Resource names are case-insensitive, like the system's look-up.
    for (const char* name : {"RGB16X8", "rgb16x8"}) {
        SCOPED_TRACE(name);
        GraphicPtr<TBitmap> res(Create<TBitmap>());
        res->LoadFromResourceName(Self(), name);
        ASSERT_EQ(res->Width(), 16);
        ASSERT_EQ(res->Height(), 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(res->Canvas()->Pixel(x, y), file->Canvas()->Pixel(x, y)) << x << "," << y;
    }
}

TEST(Resources, IconResourceGivesTheSystemIconSize) {
    GraphicPtr<TIcon> icon(Create<TIcon>());
    icon->LoadFromResourceName(Self(), "GREENBLUE");
    ASSERT_FALSE(icon->Empty());
    // The group holds 16 (green) and 32 (blue): the standard icon size wins.
    EXPECT_EQ(icon->Width(), GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(icon->Height(), GetSystemMetrics(SM_CYICON));
    GraphicPtr<TBitmap> target(Create<TBitmap>());
    target->SetPixelFormat(pf24bit);
    target->SetSize(icon->Width(), icon->Height());
    target->Canvas()->Draw(0, 0, icon.get());
    EXPECT_EQ(target->Canvas()->Pixel(5, 5), TColor(0xC00000)) << "blue, as BGR in TColor";
}

// Loads Loaded, then asks for Name: EResNotFound naming it, the graphic as
// it was.
template <class T> void ExpectNotFoundKeepsGraphic(const char* loaded, const std::string& name) {
    SCOPED_TRACE(name);
    GraphicPtr<T> graphic(Create<T>());
    graphic->LoadFromResourceName(Self(), loaded);
    const int width = graphic->Width();
    try {
        graphic->LoadFromResourceName(Self(), name);
        ADD_FAILURE() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource " + name + " not found");
    }
    EXPECT_FALSE(graphic->Empty());
    EXPECT_EQ(graphic->Width(), width);
}

// A name the module lacks, and one it has under the other resource type.
TEST(Resources, MissingNamesRaiseResNotFoundAndKeepTheGraphic) {
    for (const char* name : {"NO_SUCH_NAME", "GREENBLUE"})
        ExpectNotFoundKeepsGraphic<TBitmap>("RGB16X8", name);
    for (const char* name : {"NO_SUCH_NAME", "RGB16X8"})
        ExpectNotFoundKeepsGraphic<TIcon>("GREENBLUE", name);
}

TEST(Resources, TruncatedBitmapResourceIsInvalidGraphic) {
    GraphicPtr<TBitmap> bitmap(Create<TBitmap>());
    bitmap->LoadFromResourceName(Self(), "RGB16X8");
    EXPECT_THROW(bitmap->LoadFromResourceName(Self(), "TRUNCATED"), EInvalidGraphic);
    EXPECT_EQ(bitmap->Width(), 16);
    EXPECT_EQ(bitmap->Canvas()->Pixel(0, 0), clRed);
}

} // namespace
