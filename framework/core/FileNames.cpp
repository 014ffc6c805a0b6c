#include "framework/core/FileNames.h"

#include "framework/core/SysUtils.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The index just past the folder part (0 when there is none).
std::size_t NameStart(std::string_view fileName) {
    std::size_t i = fileName.size();
    while (i > 0 && !IsSeparator(fileName[i - 1]) && fileName[i - 1] != ':')
        --i;
    return i;
}

// The index of the extension's dot, or npos.
std::size_t ExtensionStart(std::string_view fileName) {
    const std::size_t start = NameStart(fileName);
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos || dot < start ? std::string_view::npos : dot;
}

}  // namespace

std::string ExtractFilePath(std::string_view fileName) {
    return std::string(fileName.substr(0, NameStart(fileName)));
}

std::string ExtractFileName(std::string_view fileName) {
    return std::string(fileName.substr(NameStart(fileName)));
}

std::string ExtractFileExt(std::string_view fileName) {
    const std::size_t dot = ExtensionStart(fileName);
    return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
    std::string out(fileName.substr(0, std::min(ExtensionStart(fileName), fileName.size())));
    out += extension;
    return out;
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
    std::string out(path);
    if (out.empty() || !IsSeparator(out.back()))
        out.push_back(PathDelim);
    return out;
}

bool SameFileName(std::string_view a, std::string_view b) { return SameText(a, b); }
