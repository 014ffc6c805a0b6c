#include "framework/controls/Bevel_win.h"

#include "framework/graphics/Canvas_win.h"

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); }

void TBevel::SetShape(TBevelShape Value) {
    shape_ = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
    style_ = Value;
    Invalidate();
}

void TBevel::Paint() {
    HDC dc = Canvas()->Handle();
    RECT r{0, 0, Width(), Height()};
    const UINT line = style_ == bsRaised ? EDGE_BUMP : EDGE_ETCHED;
    switch (shape_) {
    case bsBox:
        DrawEdge(dc, &r, style_ == bsRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
        break;
    case bsFrame:
        DrawEdge(dc, &r, line, BF_RECT);
        break;
    case bsTopLine:
        DrawEdge(dc, &r, line, BF_TOP);
        break;
    case bsBottomLine:
        DrawEdge(dc, &r, line, BF_BOTTOM);
        break;
    case bsLeftLine:
        DrawEdge(dc, &r, line, BF_LEFT);
        break;
    case bsRightLine:
        DrawEdge(dc, &r, line, BF_RIGHT);
        break;
    case bsSpacer:
        break;
    }
}
