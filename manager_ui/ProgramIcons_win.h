#pragma once

#include <functional>
#include <string>

#include "framework/core/Types.h"

class TCanvas;
class TCustomImageList;
class TIcon;

// Loads the icon resource `name` of the program's own module into `icon`. A missing or damaged
// resource leaves the icon as it was (the system's default stands in) and answers false: start-up
// never stops for a picture.
bool LoadProgramIcon(TIcon* icon, const std::string& name) noexcept;

// Adds to `list` a picture that `draw` paints on a bitmap of the list's size filled with `mask`,
// the colour that stays transparent: the window's pictures are drawn, not read from files.
void AddDrawnImage(TCustomImageList* list, TColor mask, const std::function<void(TCanvas*)>& draw);
