#pragma once

#include <string>

class TIcon;

// Loads the icon resource `name` of the program's own module into `icon`. A missing or damaged
// resource leaves the icon as it was (the system's default stands in) and answers false: start-up
// never stops for a picture.
bool LoadProgramIcon(TIcon* icon, const std::string& name) noexcept;
