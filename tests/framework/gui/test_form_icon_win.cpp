// The form's Icon: a TIcon owned by the form whose every change reaches the
// window (WM_SETICON, large and small), whether the window exists already or
// is made later; a copy of an assigned icon, so the source may go.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "framework/core/MemoryStream.h"
#include "framework/graphics/Icon_win.h"
#include "framework/gui/Application_win.h"
#include "tests/framework/graphics/GraphicsTestData.h"
#include "tests/framework/gui/GuiTestSupport_win.h"

namespace {

class TIconForm : public TForm {
    FW_CLASS(TIconForm, TForm)
public:
    explicit TIconForm(TComponent* AOwner) : TForm(AOwner) {}
};

HICON WindowIcon(TCustomForm* form, WPARAM which) {
    return reinterpret_cast<HICON>(SendMessageA(form->Handle(), WM_GETICON, which, 0));
}

void ExpectWindowShows(TCustomForm* form, HICON icon) {
    EXPECT_EQ(WindowIcon(form, ICON_BIG), icon);
    EXPECT_EQ(WindowIcon(form, ICON_SMALL), icon);
}

class FormIcon : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        Application->CreateForm(form);
    }
    TIconForm* form = nullptr;
};

TEST_F(FormIcon, LoadingReachesAnExistingWindow) {
    form->HandleNeeded();
    ExpectWindowShows(form, nullptr);
    form->Icon()->LoadFromResourceName(GetModuleHandleA(nullptr), "GREENBLUE");
    ASSERT_FALSE(form->Icon()->Empty());
    ExpectWindowShows(form, form->Icon()->Handle());
    // From an icon file too.
    const std::vector<std::uint8_t> file = ReadGraphicsFixture("green16blue32.ico");
    TMemoryStream s;
    s.WriteBuffer(file.data(), file.size());
    s.SetPosition(0);
    HICON before = form->Icon()->Handle();
    form->Icon()->LoadFromStream(s);
    ASSERT_NE(form->Icon()->Handle(), before);
    ExpectWindowShows(form, form->Icon()->Handle());
}

TEST_F(FormIcon, AWindowMadeLaterTakesTheIcon) {
    ASSERT_FALSE(form->HandleAllocated());
    form->Icon()->LoadFromResourceName(GetModuleHandleA(nullptr), "GREENBLUE");
    EXPECT_FALSE(form->HandleAllocated()) << "setting the icon made no window";
    ExpectWindowShows(form, form->Icon()->Handle());
}

TEST_F(FormIcon, AssignedIconIsACopyAndEmptyTakesItAway) {
    form->HandleNeeded();
    TIcon* source = new TIcon();
    source->LoadFromResourceName(GetModuleHandleA(nullptr), "GREENBLUE");
    form->SetIcon(source);
    HICON shown = WindowIcon(form, ICON_BIG);
    EXPECT_NE(shown, nullptr);
    EXPECT_NE(shown, source->Handle()) << "the form keeps its own copy";
    EXPECT_EQ(shown, form->Icon()->Handle());
    FreeAndNil(source);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(WindowIcon(form, ICON_BIG), &info)) << "alive after the source went";
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    form->SetIcon(nullptr);
    EXPECT_TRUE(form->Icon()->Empty());
    ExpectWindowShows(form, nullptr);
}

} // namespace
