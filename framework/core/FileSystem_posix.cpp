// The POSIX back end of FileSystem.h; the Win32 one is FileSystem_win.cpp.
#ifndef _WIN32

#include "framework/core/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A NUL inside a name would silently open a shorter name.
bool BadName(const std::string& name) {
    return name.empty() || name.find('\0') != std::string::npos;
}

TFileHandle OpenWith(const std::string& fileName, int flags) {
    if (BadName(fileName))
        return kInvalidFileHandle;
    int fd;
    do {
        fd = ::open(fileName.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return kInvalidFileHandle;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return kInvalidFileHandle;
    }
    return fd;
}

}  // namespace

TFileHandle FileOpen(const std::string& fileName, unsigned mode) {
    int flags;
    switch (mode & 3) {
    case fmOpenRead:
        flags = O_RDONLY;
        break;
    case fmOpenWrite:
        flags = O_WRONLY;
        break;
    case fmOpenReadWrite:
        flags = O_RDWR;
        break;
    default:
        return kInvalidFileHandle;
    }
    return OpenWith(fileName, flags);
}

TFileHandle FileCreate(const std::string& fileName, unsigned) {
    return OpenWith(fileName, O_RDWR | O_CREAT | O_TRUNC);
}

std::int64_t FileRead(TFileHandle handle, void* buffer, std::size_t count) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::int64_t total = 0;
    while (count > 0) {
        const ssize_t done = ::read(static_cast<int>(handle), bytes, count);
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return total > 0 ? total : -1;
        if (done == 0)
            break;
        total += done;
        bytes += done;
        count -= static_cast<std::size_t>(done);
    }
    return total;
}

std::int64_t FileWrite(TFileHandle handle, const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    std::int64_t total = 0;
    while (count > 0) {
        const ssize_t done = ::write(static_cast<int>(handle), bytes, count);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return total > 0 ? total : -1;
        total += done;
        bytes += done;
        count -= static_cast<std::size_t>(done);
    }
    return total;
}

std::int64_t FileSeek(TFileHandle handle, std::int64_t offset, int origin) {
    int whence;
    switch (origin) {
    case 0:
        whence = SEEK_SET;
        break;
    case 1:
        whence = SEEK_CUR;
        break;
    case 2:
        whence = SEEK_END;
        break;
    default:
        return -1;
    }
    const off_t result = ::lseek(static_cast<int>(handle), static_cast<off_t>(offset), whence);
    return result < 0 ? -1 : static_cast<std::int64_t>(result);
}

bool FileTruncate(TFileHandle handle, std::int64_t size) {
    return size >= 0 && ::ftruncate(static_cast<int>(handle), static_cast<off_t>(size)) == 0;
}

void FileClose(TFileHandle handle) {
    if (handle != kInvalidFileHandle)
        ::close(static_cast<int>(handle));
}

bool FileExists(const std::string& fileName) {
    struct stat info;
    return !BadName(fileName) && ::stat(fileName.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& name) {
    struct stat info;
    return !BadName(name) && ::stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

#endif
