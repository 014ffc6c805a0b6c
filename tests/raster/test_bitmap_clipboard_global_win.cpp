// TBitmap32 through the system clipboard (global state: never run beside another clipboard
// test): out as a class-library bitmap, back as an opaque copy, and a clipboard without a
// picture leaving the bitmap as it was.
#include <gtest/gtest.h>

#include <windows.h>

#include "BitmapTestSupport.h"
#include "framework/core/Exceptions.h"
#include "framework/graphics/Clipboard_win.h"

using namespace BitmapTest;

namespace {

class BitmapClipboard : public StartedTest {};

TEST_F(BitmapClipboard, CopiesOutAndBackOpaque) {
    Owned a, c;
    a->SetSize(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            a->SetPixel(x, y,
                        0x40000000u | static_cast<TColor32>(x * 40 << 16 | y * 70 << 8 | 0x11));
    a->AssignTo(Clipboard());
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    Counters n;
    n.Attach(*c.b);
    c->Assign(Clipboard());
    EXPECT_EQ(n.change, 1) << "one notification at the end";
    ASSERT_EQ(c->Width(), 5);
    ASSERT_EQ(c->Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(c->Pixel(x, y), a->Pixel(x, y) | 0xFF000000u) << x << "," << y;
}

TEST_F(BitmapClipboard, ClipboardWithoutAPictureRaisesAndLeavesTheBitmap) {
    Clipboard()->Clear();
    Owned c;
    c->SetSize(2, 2);
    c->SetPixel(1, 1, 0x12345678);
    Counters n;
    n.Attach(*c.b);
    EXPECT_THROW(c->Assign(Clipboard()), EInvalidGraphic);
    EXPECT_EQ(c->Width(), 2);
    EXPECT_EQ(c->Pixel(1, 1), 0x12345678u);
    EXPECT_EQ(n.change, 1) << "Changed runs also when the paste fails";
}

} // namespace
