#pragma once

// The kinds of the manager window's image lists and popup menus, named in one place: the tree's
// and the menus' image lists, and the popups of the tree, the tool bar's drop-downs and the
// band's window list.
#include "framework/controls/ImageList_win.h"
#include "framework/controls/PopupMenu_win.h"

using TTreeImageList = TImageList;
using TTreePopup = TPopupMenu;
