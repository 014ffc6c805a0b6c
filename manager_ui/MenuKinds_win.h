#pragma once

// The kinds of the manager window's image lists and popup menus, named in one place: the tree's
// and the menus' image lists are the toolkit's, and the popups of the tree, the tool bar's
// drop-downs and the band's window list are drawn in the action-bar style.
#include "controls/TkImageList_win.h"
#include "controls/actionbar/PopupActionBarEx_win.h"

using TTreeImageList = TTkImageList;
using TTreePopup = TPopupActionBarEx;
