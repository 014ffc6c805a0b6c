#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "controls/ToolkitText.h"

namespace {

bool Separates(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096)
        return 0;
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const TProgramAndParams split = SplitProgramAndParams(line);

    // Outside quotes the parameter text holds no separator but the single blanks.
    bool quoted = false;
    for (std::size_t i = 0; i < split.Params.size(); ++i) {
        const char c = split.Params[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && Separates(c) && c != ' ')
            std::abort();
    }
    // Splitting the parameter text again gives the same parameters.
    const std::string again = "p " + split.Params;
    const TProgramAndParams resplit = SplitProgramAndParams(again);
    if (!split.Program.empty() && resplit.Params != split.Params)
        std::abort();
    return 0;
}
