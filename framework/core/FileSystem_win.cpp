#include "framework/core/FileSystem.h"

#include <windows.h>

namespace {

HANDLE ToHandle(TFileHandle handle) { return reinterpret_cast<HANDLE>(handle); }

DWORD ShareFlags(unsigned mode) {
    switch (mode & 0xF0) {
    case fmShareDenyWrite:
        return FILE_SHARE_READ;
    case fmShareDenyRead:
        return FILE_SHARE_WRITE;
    case fmShareDenyNone:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default:  // compatibility and exclusive
        return 0;
    }
}

// A NUL inside a name would silently open a shorter name.
bool BadName(const std::string& name) { return name.empty() || name.find('\0') != std::string::npos; }

TFileHandle FromHandle(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? kInvalidFileHandle
                                          : reinterpret_cast<TFileHandle>(handle);
}

}  // namespace

TFileHandle FileOpen(const std::string& fileName, unsigned mode) {
    if (BadName(fileName))
        return kInvalidFileHandle;
    DWORD access = GENERIC_READ;
    switch (mode & 3) {
    case fmOpenWrite:
        access = GENERIC_WRITE;
        break;
    case fmOpenReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    case fmOpenRead:
        break;
    default:
        return kInvalidFileHandle;
    }
    return FromHandle(CreateFileA(fileName.c_str(), access, ShareFlags(mode), nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

TFileHandle FileCreate(const std::string& fileName, unsigned share) {
    if (BadName(fileName))
        return kInvalidFileHandle;
    return FromHandle(CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  ShareFlags(share), nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

namespace {

// Moves `count` bytes through `transfer` (ReadFile or WriteFile) in pieces a DWORD can count.
// Answers the bytes moved, or -1 when the first piece fails; stops early at end of file.
template <class Byte, class Transfer>
std::int64_t TransferAll(TFileHandle handle, Byte* bytes, std::size_t count, Transfer transfer) {
    std::int64_t total = 0;
    while (count > 0) {
        const DWORD chunk = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
        DWORD done = 0;
        if (!transfer(ToHandle(handle), bytes, chunk, &done, nullptr))
            return total > 0 ? total : -1;
        if (done == 0)
            break;
        total += done;
        bytes += done;
        count -= done;
    }
    return total;
}

}  // namespace

std::int64_t FileRead(TFileHandle handle, void* buffer, std::size_t count) {
    return TransferAll(handle, static_cast<unsigned char*>(buffer), count, ReadFile);
}

std::int64_t FileWrite(TFileHandle handle, const void* buffer, std::size_t count) {
    return TransferAll(handle, static_cast<const unsigned char*>(buffer), count, WriteFile);
}

std::int64_t FileSeek(TFileHandle handle, std::int64_t offset, int origin) {
    DWORD method = FILE_BEGIN;
    if (origin == 1)
        method = FILE_CURRENT;
    else if (origin == 2)
        method = FILE_END;
    else if (origin != 0)
        return -1;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER result;
    if (!SetFilePointerEx(ToHandle(handle), distance, &result, method))
        return -1;
    return result.QuadPart;
}

bool FileTruncate(TFileHandle handle, std::int64_t size) {
    const std::int64_t position = FileSeek(handle, 0, 1);
    if (position < 0 || FileSeek(handle, size, 0) < 0)
        return false;
    const bool ok = SetEndOfFile(ToHandle(handle)) != 0;
    FileSeek(handle, position, 0);
    return ok;
}

void FileClose(TFileHandle handle) {
    if (handle != kInvalidFileHandle)
        CloseHandle(ToHandle(handle));
}

bool FileExists(const std::string& fileName) {
    if (BadName(fileName))
        return false;
    const DWORD attributes = GetFileAttributesA(fileName.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& name) {
    if (BadName(name))
        return false;
    const DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
