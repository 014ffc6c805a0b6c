#include "framework/controls/Splitter_win.h"

#include <algorithm>

#include "framework/graphics/Canvas_win.h"
#include "framework/gui/WinControl_win.h"

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    ControlStyle.Exclude(csClickEvents);
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
}

TControl* TSplitter::FindNeighbour() const {
    TWinControl* parent = Parent();
    if (parent == nullptr || Align() == alNone || Align() == alClient)
        return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || c->Align() != Align() || !c->Visible())
            continue;
        const bool touches = (Align() == alLeft && c->Left() + c->Width() == Left()) ||
                             (Align() == alRight && c->Left() == Left() + Width()) ||
                             (Align() == alTop && c->Top() + c->Height() == Top()) ||
                             (Align() == alBottom && c->Top() == Top() + Height());
        if (touches)
            return c;
    }
    return nullptr;
}

int TSplitter::MoveBy(int Delta) {
    TControl* n = FindNeighbour();
    if (n == nullptr || Parent() == nullptr || Delta == 0)
        return 0;
    const bool horizontal = Horizontal();
    const int size = horizontal ? n->Height() : n->Width();
    const int minConstraint = horizontal ? n->Constraints().MinHeight : n->Constraints().MinWidth;
    const int minimum = std::max(MinSize, minConstraint);
    // What is left beside the neighbour and the splitter must stay usable.
    const TRect client = Parent()->ClientRect();
    int rest = horizontal ? client.Height() : client.Width();
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        TControl* c = Parent()->Controls(i);
        if (!c->Visible() || c->Align() == alClient || c->Align() == alNone)
            continue;
        if (horizontal && (c->Align() == alTop || c->Align() == alBottom))
            rest -= c->Height();
        if (!horizontal && (c->Align() == alLeft || c->Align() == alRight))
            rest -= c->Width();
    }
    const bool grows = Align() == alLeft || Align() == alTop;
    int newSize = size + (grows ? Delta : -Delta);
    const int maximum = size + std::max(rest - MinSize, 0);
    newSize = std::clamp(newSize, minimum, std::max(minimum, maximum));
    if (newSize == size)
        return 0;
    if (horizontal)
        n->SetHeight(newSize);
    else
        n->SetWidth(newSize);
    if (OnMoved)
        OnMoved(this);
    return grows ? newSize - size : size - newSize;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && Movable) {
        dragging_ = true;
        downPos_ = Point(X, Y);
    }
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!dragging_)
        return;
    // The splitter moves with the neighbour, so the offset from the press
    // point is the wanted delta each time.
    MoveBy(Horizontal() ? Y - downPos_.Y : X - downPos_.X);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    dragging_ = false;
}

void TSplitter::Paint() {
    HDC dc = Canvas()->Handle();
    RECT r{0, 0, Width(), Height()};
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    if (!Movable)
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
}
