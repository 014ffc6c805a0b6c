#pragma once

#include <string>
#include <string_view>

#include "framework/core/FileSystem.h"

// File-name functions. Both "\" and "/" separate folders (and ":" ends a
// drive) in every build, so Windows names are taken apart the same way in
// native tests; PathDelim is the separator the system itself writes.

#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif

// The folder part including its final separator ("C:\a\b.txt" → "C:\a\").
std::string ExtractFilePath(std::string_view fileName);
// The part after the last separator or drive colon.
std::string ExtractFileName(std::string_view fileName);
// The extension with its dot ("b.tar.gz" → ".gz"); "" when the name part has
// no dot.
std::string ExtractFileExt(std::string_view fileName);
// Replaces the extension (or appends extension when there is none);
// extension includes its dot, "" removes the extension.
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);
// Appends PathDelim unless the name already ends with a separator.
std::string IncludeTrailingPathDelimiter(std::string_view path);
// Equal names apart from the case of ASCII letters, as Windows compares them.
bool SameFileName(std::string_view a, std::string_view b);
