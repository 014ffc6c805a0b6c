#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/controls/TreeView_win.h"
#include "framework/gui/Application_win.h"
#include "framework/gui/Screen_win.h"
#include "framework/graphics/Bitmap_win.h"
#include "framework/graphics/Canvas_win.h"
#include "tests/fixtures/MouseInput_win.h"
#include "tests/framework/controls/ControlsTestSupport_win.h"

namespace {

class TreeViewTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        tree = Create<TTreeView>(form);
        tree->SetBounds(10, 10, 300, 250);
    }
    TTreeView* tree = nullptr;
};

RECT ItemRect(TTreeView* tree, TTreeNode* node) {
    RECT r{};
    *reinterpret_cast<HTREEITEM*>(&r) = node->ItemId();
    SendMessageA(tree->Handle(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    return r;
}

TEST_F(TreeViewTest, NewNodesHaveNoImage) {
    tree->SetParent(form);
    auto* images = Create<TImageList>(form);
    tree->SetImages(images);
    TTreeNode* node = tree->Items()->AddChild(nullptr, "Untitled window");
    EXPECT_EQ(node->ImageIndex(), -1);
    EXPECT_EQ(node->SelectedIndex(), -1);
    // The native item never holds the callback value -1 (it would ask the
    // parent); an index set later reaches it.
    auto nativeImage = [&] {
        TVITEMA tv{};
        tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
        tv.hItem = node->ItemId();
        SendMessageA(tree->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        return std::pair<int, int>(tv.iImage, tv.iSelectedImage);
    };
    EXPECT_NE(nativeImage().first, I_IMAGECALLBACK);
    node->SetImageIndex(2);
    node->SetSelectedIndex(3);
    EXPECT_EQ(nativeImage(), (std::pair<int, int>(2, 3)));
    // Kept over a new window.
    tree->RecreateWnd();
    EXPECT_EQ(nativeImage(), (std::pair<int, int>(2, 3)));
}

TEST_F(TreeViewTest, NodesAddedDeletedExpandedSelectedHitTested) {
    // Nodes made before the window exists get native items later.
    TTreeNode* desk1 = tree->Items()->AddChild(nullptr, "Desktop 1");
    TTreeNode* app = tree->Items()->AddChild(desk1, "Notepad");
    tree->Items()->AddChild(app, "Untitled - Notepad");
    TTreeNode* desk2 = tree->Items()->AddChild(nullptr, "Desktop 2");
    tree->SetParent(form);
    ShowForm();
    EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETCOUNT, 0, 0), 4);
    ASSERT_EQ(tree->Items()->Count(), 4);
    EXPECT_EQ(tree->Items()->Item(0), desk1);
    EXPECT_EQ(tree->Items()->Item(1), app);
    EXPECT_EQ(tree->Items()->Item(3), desk2);
    EXPECT_EQ(app->Level(), 1);
    EXPECT_EQ(desk2->Index(), 1);
    EXPECT_EQ(app->Parent(), desk1);

    desk1->Expand(true);
    EXPECT_TRUE(desk1->Expanded());
    EXPECT_TRUE(app->Expanded());

    std::vector<TTreeNode*> changes;
    struct Sink : TObject {
        std::vector<TTreeNode*>* out;
        void Changed(TObject*, TTreeNode* n) { out->push_back(n); }
    } sink;
    sink.out = &changes;
    tree->OnChange = TTVChangedEvent(&sink, &Sink::Changed);
    tree->SetSelected(app);
    EXPECT_EQ(tree->Selected(), app);
    EXPECT_TRUE(app->Selected());
    EXPECT_EQ(changes, std::vector<TTreeNode*>{app});

    const RECT r = ItemRect(tree, desk2);
    EXPECT_EQ(tree->GetNodeAt(r.left + 2, (r.top + r.bottom) / 2), desk2);
    EXPECT_EQ(tree->GetNodeAt(r.left + 2, 240), nullptr);

    // Deleting frees the node objects through the native notification.
    app->Delete();
    EXPECT_EQ(tree->Items()->Count(), 2);
    EXPECT_EQ(desk1->Count(), 0);
    EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETCOUNT, 0, 0), 2);
    tree->Items()->AddChild(desk2, "Calculator");
    desk2->DeleteChildren();
    EXPECT_EQ(desk2->Count(), 0);
    // The window may go and come back: the nodes stay.
    tree->RecreateWnd();
    EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETCOUNT, 0, 0), 2);
    tree->Items()->Clear();
    EXPECT_EQ(tree->Items()->Count(), 0);
    EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETCOUNT, 0, 0), 0);
}

// The red pixels of the tree window left of a node's text, where its image
// would be drawn.
int RedLeftOfText(TTreeView* tree, TTreeNode* node) {
    const RECT text = ItemRect(tree, node);
    HDC dc = GetDC(tree->Handle());
    int red = 0;
    for (int y = text.top; y < text.bottom; ++y)
        for (int x = 0; x < text.left; ++x)
            if (GetPixel(dc, x, y) == RGB(255, 0, 0))
                ++red;
    ReleaseDC(tree->Handle(), dc);
    return red;
}

TEST_F(TreeViewTest, NodeWithoutImageDrawsNoneWhereTheImageWouldBe) {
    auto* images = Create<TImageList>(form);
    auto* bmp = Create<TBitmap>();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(16, 16);
    bmp->Canvas()->Brush()->SetColor(clRed);
    bmp->Canvas()->FillRect(Rect(0, 0, 16, 16));
    ASSERT_EQ(images->Add(bmp, nullptr), 0);
    bmp->Free();
    tree->SetImages(images);
    TTreeNode* plain = tree->Items()->AddChild(nullptr, "Untitled window");
    TTreeNode* pictured = tree->Items()->AddChild(nullptr, "Notepad");
    pictured->SetImageIndex(0);
    pictured->SetSelectedIndex(0);
    tree->SetParent(form);
    ShowForm();
    RedrawWindow(tree->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    EXPECT_GT(RedLeftOfText(tree, pictured), 100) << "the image of a node that has one is drawn";
    EXPECT_EQ(RedLeftOfText(tree, plain), 0) << "a node without an image shows image 0";
    // Also when it is the selected node (its selected image is none too).
    tree->SetSelected(plain);
    RedrawWindow(tree->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    EXPECT_EQ(RedLeftOfText(tree, plain), 0);
}

// The window's own view of a node, independent of the node objects.
bool NativeExpanded(TTreeView* tree, TTreeNode* node) {
    return (SendMessageA(tree->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(node->ItemId()),
                         TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
}

HTREEITEM NativeSelection(TTreeView* tree) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree->Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

TEST_F(TreeViewTest, ExpandAndSelectionMadeBeforeTheWindowReachItAndOutliveIt) {
    TTreeNode* desk1 = tree->Items()->AddChild(nullptr, "Desktop 1");
    TTreeNode* app = tree->Items()->AddChild(desk1, "Notepad");
    tree->Items()->AddChild(app, "Untitled - Notepad");
    TTreeNode* desk2 = tree->Items()->AddChild(nullptr, "Desktop 2");
    TTreeNode* calc = tree->Items()->AddChild(desk2, "Calculator");
    tree->Items()->AddChild(calc, "Calculator - memory");
    desk1->Expand(true);
    app->Collapse(false);
    tree->SetSelected(app);
    EXPECT_TRUE(desk1->Expanded());
    EXPECT_FALSE(app->Expanded());
    EXPECT_EQ(tree->Selected(), app);
    EXPECT_TRUE(app->Selected());

    tree->SetParent(form);
    ShowForm();
    ASSERT_TRUE(tree->HandleAllocated());
    EXPECT_TRUE(NativeExpanded(tree, desk1));
    EXPECT_FALSE(NativeExpanded(tree, app));
    EXPECT_FALSE(NativeExpanded(tree, desk2));
    EXPECT_EQ(NativeSelection(tree), app->ItemId());
    EXPECT_EQ(tree->Selected(), app);

    // Changes made in the window survive a new window.
    desk1->Collapse(false);
    desk2->Expand(true);
    tree->SetSelected(calc);
    tree->RecreateWnd();
    EXPECT_FALSE(NativeExpanded(tree, desk1));
    EXPECT_TRUE(NativeExpanded(tree, desk2));
    EXPECT_TRUE(NativeExpanded(tree, calc));
    EXPECT_EQ(NativeSelection(tree), calc->ItemId());

    // A selection whose node goes before the window comes is dropped.
    auto* other = Create<TTreeView>(form);
    TTreeNode* gone = other->Items()->AddChild(nullptr, "Gone");
    TTreeNode* kept = other->Items()->AddChild(nullptr, "Kept");
    other->SetSelected(gone);
    gone->Delete();
    EXPECT_EQ(other->Selected(), nullptr);
    other->SetParent(form);
    other->HandleNeeded();
    EXPECT_EQ(NativeSelection(other), nullptr);
    EXPECT_FALSE(kept->Selected());
}

struct MouseLog : TObject {
    std::vector<std::string> log;
    TTreeView* tree = nullptr;
    void Down(TObject*, TMouseButton b, TShiftState, int, int) {
        TTreeNode* sel = tree->Selected();
        log.push_back(std::string(b == mbRight ? "rdown:" : "down:") + (sel ? sel->Text() : "none"));
    }
    void Up(TObject*, TMouseButton b, TShiftState, int, int) { log.push_back(b == mbRight ? "rup" : "up"); }
};

void Click(TTreeView* tree, TTreeNode* node, bool right) {
    const RECT r = ItemRect(tree, node);
    const TPoint p = tree->ClientToScreen(Point(r.left + 4, (r.top + r.bottom) / 2));
    ASSERT_TRUE(mouse_input::Click(POINT{p.X, p.Y},
                                   right ? mouse_input::Button::Right : mouse_input::Button::Left));
}

TEST_F(TreeViewTest, MouseDownFiresBeforeTheNativeLoopAndTheSwallowedUpIsReported) {
    TTreeNode* one = tree->Items()->AddChild(nullptr, "One");
    TTreeNode* two = tree->Items()->AddChild(nullptr, "Two");
    tree->SetParent(form);
    ShowForm();
    tree->RightClickSelect = true;
    MouseLog log;
    log.tree = tree;
    tree->OnMouseDown = TMouseEvent(&log, &MouseLog::Down);
    tree->OnMouseUp = TMouseEvent(&log, &MouseLog::Up);
    tree->SetSelected(one);
    // Right press: selected by the framework before OnMouseDown.
    Click(tree, two, true);
    PumpUntil([&] { return log.log.size() >= 2; });
    PumpFor(100);
    EXPECT_EQ(log.log, (std::vector<std::string>{"rdown:Two", "rup"}));
    log.log.clear();
    // Left press: OnMouseDown sees the selection before the native control
    // changes it.
    Click(tree, one, false);
    PumpUntil([&] { return log.log.size() >= 2; });
    PumpFor(100);
    EXPECT_EQ(log.log, (std::vector<std::string>{"down:Two", "up"}));
    EXPECT_EQ(tree->Selected(), one);
}

// Drag and drop with the real mouse: a helper thread moves it while the test's thread runs
// the drag loop.
struct DragLog : TObject {
    TTreeView* tree = nullptr;
    std::vector<std::string> log;
    bool overRaises = false, dropRaises = false;
    // Raises when asked over "Target" a second time: the first answer has set the highlight.
    bool overRaisesAgainOnTarget = false;
    int overTarget = 0;
    bool ended = false;
    int endCount = 0;
    TObject* endTarget = reinterpret_cast<TObject*>(1);
    std::string Name(int x, int y) {
        TTreeNode* n = tree->GetNodeAt(x, y);
        return n != nullptr ? n->Text() : "none";
    }
    void Start(TObject*) { log.push_back("start:" + tree->Selected()->Text()); }
    void Over(TObject*, TObject* source, int x, int y, TDragState state, bool& accept) {
        if (overRaises)
            throw std::runtime_error("over failed");
        if (Name(x, y) == "Target" && ++overTarget == 2 && overRaisesAgainOnTarget)
            throw std::runtime_error("over failed");
        // Only the node "Target" takes drops.
        accept = source == tree && Name(x, y) == "Target";
        if (state == dsDragEnter)
            log.push_back("enter");
        if (state == dsDragLeave)
            log.push_back("leave");
    }
    void Drop(TObject*, TObject* source, int x, int y) {
        if (dropRaises)
            throw std::runtime_error("drop failed");
        log.push_back("drop:" + Name(x, y) + (source == tree ? " from tree" : ""));
    }
    void End(TObject*, TObject* target, int, int) {
        ended = true;
        ++endCount;
        endTarget = target;
    }
};

class TreeDragTest : public TreeViewTest {
protected:
    void SetUp() override {
        TreeViewTest::SetUp();
        source = tree->Items()->AddChild(nullptr, "Source");
        tree->Items()->AddChild(nullptr, "Other");
        target = tree->Items()->AddChild(nullptr, "Target");
        tree->SetParent(form);
        ShowForm();
        tree->DragMode = dmAutomatic;
        log.tree = tree;
        tree->OnStartDrag = TStartDragEvent(&log, &DragLog::Start);
        tree->OnDragOver = TDragOverEvent(&log, &DragLog::Over);
        tree->OnDragDrop = TDragDropEvent(&log, &DragLog::Drop);
        tree->OnEndDrag = TEndDragEvent(&log, &DragLog::End);
    }
    // The nodes drawn as drop targets, by their state bit: under Wine the drop-highlight query
    // answers the selection.
    std::string DropHighlighted() {
        std::string names;
        for (int i = 0; i < tree->Items()->Count(); ++i) {
            TTreeNode* node = tree->Items()->Item(i);
            if (TreeView_GetItemState(tree->Handle(), node->ItemId(), TVIS_DROPHILITED) != 0)
                names += node->Text();
        }
        return names;
    }
    POINT At(TTreeNode* node) {
        const RECT r = ItemRect(tree, node);
        const TPoint p = tree->ClientToScreen(Point(r.left + 6, (r.top + r.bottom) / 2));
        return POINT{p.X, p.Y};
    }
    // Drags Source onto `to` from another thread while this one pumps; `whileHeld` runs on the
    // helper thread before the release (none when `release` is false).
    void DragTo(POINT to, bool release = true, void (*whileHeld)() = nullptr) {
        const POINT from = At(source);
        bool done = false;
        std::thread mover([&] {
            mouse_input::Drag(from, to, 12, 30, false);
            if (whileHeld != nullptr)
                whileHeld();
            Sleep(100);
            if (release)
                mouse_input::Release(to);
            else
                mouse_input::Release(POINT{to.x, to.y});
            done = true;
        });
        PumpUntil([&] { return done && !tree->Dragging(); }, 10000);
        mover.join();
        PumpFor(100);
    }
    TTreeNode* source = nullptr;
    TTreeNode* target = nullptr;
    DragLog log;
};

TEST_F(TreeDragTest, ADropOnAnAcceptingNodeReachesItsHandlerWithTheSourceSelected) {
    DragTo(At(target));
    EXPECT_EQ(log.log, (std::vector<std::string>{"start:Source", "enter", "drop:Target from tree"}));
    EXPECT_TRUE(log.ended);
    EXPECT_EQ(log.endTarget, tree);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EXPECT_FALSE(tree->Dragging());
}

TEST_F(TreeDragTest, AReleaseWhereNoNodeAcceptsDropsNothing) {
    DragTo(At(tree->Items()->Item(1)));  // "Other" refuses
    EXPECT_EQ(log.log, (std::vector<std::string>{"start:Source", "enter", "leave"}));
    EXPECT_TRUE(log.ended);
    EXPECT_EQ(log.endTarget, nullptr);
}

TEST_F(TreeDragTest, EscapeCancelsTheDrag) {
    DragTo(At(target), true, [] { mouse_input::Key(VK_ESCAPE); });
    EXPECT_EQ(log.log, (std::vector<std::string>{"start:Source", "enter", "leave"}));
    EXPECT_EQ(log.endTarget, nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
}

struct ErrorCount : TObject {
    int count = 0;
    void Seen(TObject*, const std::exception_ptr&) { ++count; }
};

TEST_F(TreeDragTest, ARaisingHandlerLeavesNoCaptureAndNoDragCursor) {
    ErrorCount errors;
    Application->OnException = TExceptionEvent(&errors, &ErrorCount::Seen);
    log.dropRaises = true;
    DragTo(At(target));
    Application->OnException = nullptr;
    EXPECT_EQ(errors.count, 1) << "reported once, as any handler's failure";
    EXPECT_FALSE(tree->Dragging());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Screen->Cursor(), crDefault);
    // The next drag works as before.
    log.dropRaises = false;
    log.log.clear();
    DragTo(At(target));
    EXPECT_EQ(log.log.back(), "drop:Target from tree");
}

// However a handler fails, the drop highlight goes and the drag ends once.
TEST_F(TreeDragTest, ARaisingHandlerClearsTheHighlightAndEndsTheDragOnce) {
    struct Case {
        const char* what;
        bool overRaises, dropRaises;
        TObject* endTarget;
    };
    const Case cases[] = {
        {"over the accepting node", true, false, nullptr},
        {"on the drop", false, true, tree},
    };
    // The highlight is looked at when the error is reported, before the button goes up (the
    // native tree may clear it itself on the release).
    struct ErrorWatch : TObject {
        std::function<std::string()> highlighted;
        int count = 0;
        std::string atReport;
        void Seen(TObject*, const std::exception_ptr&) {
            ++count;
            atReport = highlighted();
        }
    };
    for (const Case& c : cases) {
        ErrorWatch errors;
        errors.highlighted = [this] { return DropHighlighted(); };
        Application->OnException = TExceptionEvent(&errors, &ErrorWatch::Seen);
        log.log.clear();
        log.overTarget = 0;
        log.endCount = 0;
        log.endTarget = reinterpret_cast<TObject*>(1);
        log.overRaisesAgainOnTarget = c.overRaises;
        log.dropRaises = c.dropRaises;
        DragTo(At(target));
        Application->OnException = nullptr;
        EXPECT_EQ(errors.count, 1) << c.what;
        EXPECT_EQ(errors.atReport, "") << c.what;
        EXPECT_EQ(DropHighlighted(), "") << c.what;
        EXPECT_EQ(log.endCount, 1) << c.what;
        EXPECT_EQ(log.endTarget, c.endTarget) << c.what;
        EXPECT_FALSE(tree->Dragging()) << c.what;
        EXPECT_EQ(GetCapture(), nullptr) << c.what;
    }
}

}  // namespace
