// Pictures through the system clipboard (global state: never run beside
// another clipboard test).
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/core/Exceptions.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "framework/graphics/Clipboard_win.h"
#include "framework/graphics/Picture_win.h"

namespace {

TEST(Clipboard, BitmapGoesOutAndComesBackAsAPicture) {
    TBitmap* b = Create<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(4, 3);
    b->Canvas()->Brush()->SetColor(clRed);
    b->Canvas()->FillRect(Rect(0, 0, 4, 3));
    Clipboard()->Assign(b);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    TPicture* p = Create<TPicture>();
    p->Assign(Clipboard());
    ASSERT_NE(dynamic_cast<TBitmap*>(p->Graphic()), nullptr);
    EXPECT_EQ(p->Width(), 4);
    EXPECT_EQ(p->Height(), 3);
    EXPECT_EQ(p->Bitmap()->Canvas()->Pixel(2, 1), clRed);
    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_THROW(p->Assign(Clipboard()), EInvalidGraphic);
    EXPECT_EQ(p->Width(), 4) << "a failed paste keeps the picture";
    p->Free();
    b->Free();
}

TEST(Clipboard, OpenAndCloseNest) {
    Clipboard()->Open();
    Clipboard()->Open();
    Clipboard()->Close();
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);  // opened without a window, still open
    Clipboard()->SetAsHandle(CF_TEXT, [] {
        HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, 3);
        std::memcpy(GlobalLock(g), "hi", 3);
        GlobalUnlock(g);
        return g;
    }());
    Clipboard()->Close();
    Clipboard()->Open();  // the data handle is valid while the clipboard is open
    HANDLE h = Clipboard()->GetAsHandle(CF_TEXT);
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(h)), "hi");
    GlobalUnlock(h);
    Clipboard()->Close();
    Clipboard()->Clear();
}

}  // namespace
