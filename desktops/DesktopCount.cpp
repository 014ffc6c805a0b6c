#include "desktops/DesktopCount.h"

namespace {

void ToTwo(TDesktopCountSteps& steps, int oldCount) {
    steps.SetCopyMoveVisible(2, false);
    steps.SetCopyMoveVisible(3, false);
    steps.SetDeskActionAvailable(2, false);
    steps.SetDeskActionAvailable(3, false);
    const int active = steps.ActiveDesk();
    if (active == 2 || active == 3)
        steps.MainProc(1);
    if (oldCount == 3) {
        steps.MoveAllWins(2, 1);
        steps.DeleteDeskNode(2);
    } else if (oldCount == 4) {
        steps.MoveAllWins(2, 1);
        steps.MoveAllWins(3, 1);
        steps.DeleteDeskNode(3);
        steps.DeleteDeskNode(2);
    }
    steps.SetTrayItemVisible(2, false);
    steps.SetTrayItemVisible(3, false);
}

void ToThree(TDesktopCountSteps& steps, int oldCount) {
    steps.SetCopyMoveVisible(2, true);
    steps.SetCopyMoveVisible(3, false);
    steps.SetDeskActionAvailable(2, true);
    steps.SetDeskActionAvailable(3, false);
    if (oldCount == 2) {
        steps.AddDeskNode(2);
    } else if (oldCount == 4) {
        if (steps.ActiveDesk() == 3)
            steps.MainProc(2);
        steps.MoveAllWins(3, 2);
        steps.DeleteDeskNode(3);
    }
    steps.SetTrayItemVisible(2, true);
    steps.SetTrayItemVisible(3, false);
}

void ToFour(TDesktopCountSteps& steps, int oldCount) {
    steps.SetCopyMoveVisible(2, true);
    steps.SetCopyMoveVisible(3, true);
    steps.SetDeskActionAvailable(2, true);
    steps.SetDeskActionAvailable(3, true);
    if (oldCount == 2) {
        steps.AddDeskNode(2);
        steps.AddDeskNode(3);
    } else if (oldCount == 3) {
        steps.AddDeskNode(3);
    }
    steps.SetTrayItemVisible(2, true);
    steps.SetTrayItemVisible(3, true);
}

}  // namespace

void ChangeDesktopNum(TDesktopCountSteps& steps, int oldCount, int newCount) {
    switch (newCount) {
    case 2:
        ToTwo(steps, oldCount);
        break;
    case 3:
        ToThree(steps, oldCount);
        break;
    case 4:
        ToFour(steps, oldCount);
        break;
    default:
        break;
    }
}
