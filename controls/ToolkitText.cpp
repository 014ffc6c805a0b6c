#include "controls/ToolkitText.h"

#include <algorithm>
#include <vector>

bool IsFileNameValid(std::string_view name) noexcept {
    return !name.empty() && name.find_first_of("/<>\"?*|") == std::string_view::npos;
}

bool LastComponentHasWildcard(std::string_view path) noexcept {
    const std::size_t slash = path.find_last_of("\\/:");
    const std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return last.find_first_of("*?") != std::string_view::npos;
}

std::string ShortenTextToWidth(std::string_view text, int maxWidth, const TTextMeasurer& measure,
                               const TLeadBytePredicate& isLeadByte) {
    std::string result(text);
    if (measure(result) <= maxWidth)
        return result;
    // Byte offsets where characters start, and the end.
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        starts.push_back(i);
        if (isLeadByte && isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size())
            ++i;
    }
    const int length = static_cast<int>(starts.size());
    starts.push_back(text.size());
    for (int i = 2; i <= length + 1; ++i) {
        const int keep = length - i > 0 ? length - i : 0;
        result.assign(text.substr(0, starts[static_cast<std::size_t>(keep)]));
        result += "...";
        if (measure(result) <= maxWidth || keep == 0)
            break;
    }
    return result;
}

namespace {

unsigned Code(char c) noexcept {
    return static_cast<unsigned char>(c);
}

} // namespace

std::string NextCommandLineParam(std::string_view text, std::size_t& pos) {
    const std::size_t n = text.size();
    // Blanks, control codes and empty quoted pairs before the parameter.
    for (;;) {
        while (pos < n && Code(text[pos]) >= 1 && Code(text[pos]) <= 32)
            ++pos;
        if (pos + 1 < n && text[pos] == '"' && text[pos + 1] == '"')
            pos += 2;
        else
            break;
    }
    std::string param;
    while (pos < n && Code(text[pos]) > 32) {
        if (text[pos] == '"') {
            ++pos;
            while (pos < n && text[pos] != '"')
                param += text[pos++];
            if (pos < n)
                ++pos; // the closing quote
        } else {
            param += text[pos++];
        }
    }
    return param;
}

int CommandLineParamCount(std::string_view text) {
    std::size_t pos = 0;
    int count = 0;
    while (!NextCommandLineParam(text, pos).empty())
        ++count;
    return count;
}

std::string CommandLineParamAt(std::string_view text, int index) {
    std::size_t pos = 0;
    std::string param;
    for (int i = 0; i <= index; ++i) {
        param = NextCommandLineParam(text, pos);
        if (param.empty())
            break;
    }
    return param;
}

TProgramAndParams SplitProgramAndParams(std::string_view commandLine) {
    TProgramAndParams result;
    // One pass: the text up to a zero byte, as a zero-terminated copy would be.
    const std::string_view text = commandLine.substr(0, commandLine.find('\0'));
    std::size_t pos = 0;
    std::vector<std::string> params;
    for (std::string p = NextCommandLineParam(text, pos); !p.empty();
         p = NextCommandLineParam(text, pos))
        params.push_back(std::move(p));
    if (params.empty())
        return result;
    result.Program = params[0];
    for (std::size_t i = 1; i < params.size(); ++i) {
        // Any code up to 32 separates parameters, so tabs need the quotes too.
        const bool separated =
            std::any_of(params[i].begin(), params[i].end(), [](char c) { return Code(c) <= 32; });
        if (separated)
            result.Params += '"' + params[i] + '"';
        else
            result.Params += params[i];
        if (i + 1 < params.size())
            result.Params += ' ';
    }
    return result;
}

void ApplyTrackedFont(TTkFontAttributes& target, const TTkFontAttributes& source,
                      TTkTrackFontOptions options) {
    if (!options.Contains(hoFollowFont))
        return;
    if (!options.Contains(hoPreserveCharSet))
        target.CharSet = source.CharSet;
    if (!options.Contains(hoPreserveColor))
        target.Color = source.Color;
    if (!options.Contains(hoPreserveHeight))
        target.Height = source.Height;
    if (!options.Contains(hoPreserveName))
        target.Name = source.Name;
    if (!options.Contains(hoPreservePitch))
        target.Pitch = source.Pitch;
    if (!options.Contains(hoPreserveStyle))
        target.Style = source.Style;
}
