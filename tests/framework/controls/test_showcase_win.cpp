#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "framework/controls/Bevel_win.h"
#include "framework/controls/Button_win.h"
#include "framework/controls/CheckBox_win.h"
#include "framework/controls/ComboBox_win.h"
#include "framework/controls/Edit_win.h"
#include "framework/controls/GroupBox_win.h"
#include "framework/controls/HotKey_win.h"
#include "framework/controls/Label_win.h"
#include "framework/controls/Panel_win.h"
#include "framework/controls/RadioGroup_win.h"
#include "framework/controls/Splitter_win.h"
#include "framework/controls/StaticText_win.h"
#include "framework/controls/StatusBar_win.h"
#include "framework/controls/TreeView_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

template <class T>
T* Place(TWinControl* parent, int x, int y, int w, int h) {
    T* c = Create<T>(parent);
    c->SetBounds(x, y, w, h);
    c->SetParent(parent);
    return c;
}

class ShowcaseTest : public ControlsTest {};

// Every control of the library on one form. With QUORVANE_SHOWCASE_MS set
// the form stays up that long, for a screenshot.
TEST_F(ShowcaseTest, EveryControlOnOneForm) {
    form->SetBounds(40, 40, 640, 480);
    form->SetCaption("Controls showcase");
    form->SetColor(clBtnFace);

    auto* status = Create<TStatusBar>(form);
    status->SetSimpleText("  Active Desktop: 1");
    status->SetParent(form);
    auto* parts = Create<TStatusBar>(form);
    parts->SetSimplePanel(false);
    parts->Panels()->Add()->SetText("Desktop 1");
    parts->Panels()->Items(0)->SetWidth(120);
    parts->Panels()->Add()->SetText("3 windows");
    parts->SetParent(form);
    auto* side = Create<TPanel>(form);
    side->SetAlign(alLeft);
    side->SetWidth(150);
    side->SetCaption("Side bar");
    side->SetParent(form);
    auto* splitter = Create<TSplitter>(form);
    splitter->SetWidth(4);
    splitter->SetLeft(200);
    splitter->SetParent(form);
    auto* client = Create<TPanel>(form);
    client->SetAlign(alClient);
    client->SetBevelOuter(bvNone);
    client->SetParent(form);

    auto* title = Place<TLabel>(client, 10, 8, 200, 17);
    title->SetCaption("&Label: Settings");
    auto* button = Place<TButton>(client, 10, 30, 90, 25);
    button->SetCaption("&Apply");
    button->SetDefault(true);
    auto* check = Place<TCheckBox>(client, 110, 34, 160, 17);
    check->SetCaption("Hide the tray icon");
    check->SetChecked(true);
    auto* edit = Place<TEdit>(client, 10, 64, 180, 21);
    edit->SetText("Edit text");
    auto* combo = Place<TComboBox>(client, 200, 64, 160, 21);
    combo->Items()->Add("Centre");
    combo->Items()->Add("Tile");
    combo->SetItemIndex(0);
    auto* hotKey = Place<THotKey>(client, 10, 94, 180, 21);
    hotKey->SetHotKey(ShortCut('1', {ssCtrl, ssAlt}));
    auto* text = Place<TStaticText>(client, 200, 94, 200, 34);
    text->SetCaption("Static text, line one\nand line two: A & B");
    text->SetShowAccelChar(false);
    auto* radio = Place<TRadioGroup>(client, 10, 134, 220, 70);
    radio->SetCaption("Radio group");
    radio->Items()->Add("Top");
    radio->Items()->Add("Bottom");
    radio->Items()->Add("Left");
    radio->Items()->Add("Right");
    radio->SetColumns(2);
    radio->SetItemIndex(1);
    auto* group = Place<TGroupBox>(client, 240, 134, 200, 70);
    group->SetCaption("Group box");
    auto* inner = Place<TLabel>(group, 10, 24, 150, 17);
    inner->SetCaption("Inside the group");
    auto* bevel = Place<TBevel>(client, 10, 212, 200, 40);
    bevel->SetShape(bsBox);
    auto* line = Place<TBevel>(client, 220, 230, 200, 4);
    line->SetShape(bsTopLine);
    auto* tree = Place<TTreeView>(client, 10, 260, 300, 120);
    TTreeNode* d1 = tree->Items()->AddChild(nullptr, "Desktop 1");
    tree->Items()->AddChild(d1, "Notepad");
    tree->Items()->AddChild(nullptr, "Desktop 2");
    d1->Expand(false);
    tree->SetSelected(d1);

    ShowForm();
    EXPECT_EQ(side->Width(), 150);
    EXPECT_EQ(splitter->Left(), 150);
    EXPECT_EQ(status->Top() + status->Height(), form->ClientHeight());
    EXPECT_EQ(parts->Top() + parts->Height(), status->Top());
    EXPECT_TRUE(IsWindowVisible(tree->Handle()));
    if (const char* ms = std::getenv("QUORVANE_SHOWCASE_MS"))
        PumpFor(static_cast<DWORD>(std::atoi(ms)));
}

}  // namespace
