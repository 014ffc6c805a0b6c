#pragma once

// The file dialogs' conversions apart from the system dialog: the filter text, the option flags
// both ways, and the names a multiple selection answers.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/Types.h"

// TOpenOption and TOpenOptions are the shared ones of framework/core/Types.h.

enum TFileEditStyle : std::uint8_t { fsEdit, fsComboBox };

// "Text|*.txt|All|*.*" as the dialog takes it: description and pattern pairs, each ended by a
// NUL, the list by another. A description without its pattern is left out; "" for no pairs.
std::string FilterToNulPairs(std::string_view filter);

// The dialog's flags (OFN_*) for the options: the explorer look unless ofOldStyleDialog.
std::uint32_t OpenOptionsToFlags(TOpenOptions options) noexcept;
// The options after a run: the read-only and extension-different answers come from the flags.
TOpenOptions OptionsAfterDialog(TOpenOptions options, std::uint32_t flags) noexcept;

// The names in a dialog's answer buffer of Size bytes: one full name, or (a multiple selection)
// the folder and then the names in it, each ended by a NUL and the list by an empty one. Never
// reads past Size; an unended last name counts up to the end.
std::vector<std::string> SelectedFileNames(const char* buffer, std::size_t size);
