#include "framework/controls/FileDialogRules.h"

#include "framework/core/FileNames.h"

std::string FilterToNulPairs(std::string_view filter) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const std::size_t bar = filter.find('|', start);
        const std::size_t end = bar == std::string_view::npos ? filter.size() : bar;
        parts.push_back(filter.substr(start, end - start));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    std::string out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        out.append(parts[i]).push_back('\0');
        out.append(parts[i + 1]).push_back('\0');
    }
    if (!out.empty())
        out.push_back('\0');
    return out;
}

namespace {

// OFN_* of each option in declaration order; 0 for ofOldStyleDialog, which removes OFN_EXPLORER.
constexpr std::uint32_t kFlags[] = {
    0x00000001, 0x00000002, 0x00000004, 0x00000008, 0x00000010, 0x00000100, 0x00000200, 0x00000400,
    0x00000800, 0x00001000, 0x00002000, 0x00004000, 0x00008000, 0x00010000, 0x00020000, 0x00040000,
    0,          0x00100000, 0x00400000, 0x00800000, 0x02000000, 0x10000000};
constexpr std::uint32_t kExplorer = 0x00080000;

} // namespace

std::uint32_t OpenOptionsToFlags(TOpenOptions options) noexcept {
    std::uint32_t flags = options.Contains(ofOldStyleDialog) ? 0 : kExplorer;
    for (int i = 0; i <= ofForceShowHidden; ++i)
        if (options.Contains(static_cast<TOpenOption>(i)))
            flags |= kFlags[i];
    return flags;
}

TOpenOptions OptionsAfterDialog(TOpenOptions options, std::uint32_t flags) noexcept {
    for (TOpenOption o : {ofReadOnly, ofExtensionDifferent}) {
        if ((flags & kFlags[o]) != 0)
            options.Include(o);
        else
            options.Exclude(o);
    }
    return options;
}

std::vector<std::string> SelectedFileNames(const char* buffer, std::size_t size) {
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (buffer != nullptr && pos < size && buffer[pos] != '\0') {
        std::size_t end = pos;
        while (end < size && buffer[end] != '\0')
            ++end;
        names.emplace_back(buffer + pos, end - pos);
        pos = end + 1;
    }
    if (names.size() <= 1)
        return names;
    const std::string folder = IncludeTrailingPathDelimiter(names.front());
    std::vector<std::string> full;
    for (std::size_t i = 1; i < names.size(); ++i)
        full.push_back(folder + names[i]);
    return full;
}
