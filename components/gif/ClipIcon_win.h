#pragma once

#include <cstdint>

// Lets icons travel through the clipboard: registers the "Quorvane Icon"
// clipboard format and binds it to TIcon in the picture framework. Called
// once at start-up.
void RegisterClipIcon();
// The registered format (0 before registration).
std::uint32_t ClipIconFormat();
