#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The operating system's files behind one portable interface (Win32 and POSIX
// back ends). Names are in the ANSI code page.

// Open modes: one access value or'ed with one share value. The share values
// are enforced by Windows; POSIX has no share modes and ignores them.
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;
constexpr unsigned fmShareCompat = 0x0000;  // as exclusive
constexpr unsigned fmShareExclusive = 0x0010;
constexpr unsigned fmShareDenyWrite = 0x0020;
constexpr unsigned fmShareDenyRead = 0x0030;
constexpr unsigned fmShareDenyNone = 0x0040;
// TFileStream's mode for a new (or emptied) file opened for reading and writing.
constexpr unsigned fmCreate = 0xFF00;

using TFileHandle = std::intptr_t;
constexpr TFileHandle kInvalidFileHandle = -1;

// Opens an existing file; kInvalidFileHandle on failure.
TFileHandle FileOpen(const std::string& fileName, unsigned mode);
// Creates a file, or empties an existing one, for reading and writing with the
// given share value; kInvalidFileHandle on failure.
TFileHandle FileCreate(const std::string& fileName, unsigned share);
// Bytes read or written, -1 on failure.
std::int64_t FileRead(TFileHandle handle, void* buffer, std::size_t count);
std::int64_t FileWrite(TFileHandle handle, const void* buffer, std::size_t count);
// The new position, -1 on failure. origin: 0 beginning, 1 current, 2 end.
std::int64_t FileSeek(TFileHandle handle, std::int64_t offset, int origin);
// Makes the file end at size (growing or shrinking it); false on failure.
bool FileTruncate(TFileHandle handle, std::int64_t size);
void FileClose(TFileHandle handle);

// True when fileName names an existing file that is not a directory.
bool FileExists(const std::string& fileName);
// True when name names an existing directory.
bool DirectoryExists(const std::string& name);
