#include "desktops/DesktopCount.h"

namespace {

// Gives the windows of the desktops a smaller count removes to a remaining one, leaving a removed
// active desktop first; or adds the nodes of the desktops a larger count brings.
void ChangeDesktops(TDesktopCountSteps& steps, int oldCount, int newCount) {
    if (newCount == 2) {
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
    } else if (newCount == 3) {
        if (oldCount == 2) {
            steps.AddDeskNode(2);
        } else if (oldCount == 4) {
            if (steps.ActiveDesk() == 3)
                steps.MainProc(2);
            steps.MoveAllWins(3, 2);
            steps.DeleteDeskNode(3);
        }
    } else if (oldCount == 2) {
        steps.AddDeskNode(2);
        steps.AddDeskNode(3);
    } else if (oldCount == 3) {
        steps.AddDeskNode(3);
    }
}

}  // namespace

void ChangeDesktopNum(TDesktopCountSteps& steps, int oldCount, int newCount) {
    if (newCount < 2 || newCount > 4)
        return;
    // Desktops 3 and 4 (2 and 3 here) exist exactly while they are below the new count.
    for (int desk = 2; desk <= 3; ++desk)
        steps.SetCopyMoveVisible(desk, desk < newCount);
    for (int desk = 2; desk <= 3; ++desk)
        steps.SetDeskActionAvailable(desk, desk < newCount);
    ChangeDesktops(steps, oldCount, newCount);
    for (int desk = 2; desk <= 3; ++desk)
        steps.SetTrayItemVisible(desk, desk < newCount);
}
