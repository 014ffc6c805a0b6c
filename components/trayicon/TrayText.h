#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Text and frame arithmetic of the notification icon, without the platform.

// The tip field of the first-version notification record: 63 characters and
// a terminating zero.
inline constexpr std::size_t kTrayTipCapacity = 64;

// The tip shown for a hint: its short part (the text before the first "|"),
// cut to kTrayTipCapacity - 1 characters.
std::string TrayTipText(std::string_view hint);

// Copies TrayTipText(hint) into a tip field of kTrayTipCapacity bytes,
// zero-filled after the text. Precondition: tip holds kTrayTipCapacity bytes.
void FillTrayTip(char* tip, std::string_view hint) noexcept;

// The entry an animated icon shows for a frame index: the index clamped to
// the list, so a list that shrank shows its last entry until the next tick.
// Precondition: count > 0.
std::int32_t ClampedFrameIndex(std::int32_t frame, std::int32_t count) noexcept;

// The frame index after one tick: the next one, back to 0 past the end of a
// list of count entries (and for an empty list).
std::int32_t NextFrameIndex(std::int32_t frame, std::int32_t count) noexcept;
