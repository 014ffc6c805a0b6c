#pragma once

#include "framework/gui/GraphicControl_win.h"

// A bar between an aligned control and the rest of its parent. Dragging it
// resizes that neighbour (the control aligned to the same side right
// before it), keeping the neighbour at least MinSize (or its own minimum
// constraint, whichever is larger) and the rest of the parent at least
// MinSize too. A fixed splitter (Movable false) is only a line.
class TSplitter : public TGraphicControl {
    FW_CLASS(TSplitter, TGraphicControl)
public:
    explicit TSplitter(TComponent* AOwner);

    int MinSize = 30;
    bool Movable = true;
    TNotifyEvent OnMoved;

    // The control the splitter resizes, or nullptr.
    TControl* FindNeighbour() const;
    // Moves the splitter by Delta pixels (towards right/bottom positive for
    // left/top splitters) within the limits; answers the distance moved.
    int MoveBy(int Delta);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool Horizontal() const { return Align() == alTop || Align() == alBottom; }
    bool dragging_ = false;
    TPoint downPos_;
};
