#include "framework/core/FileStream.h"

#include "framework/core/Exceptions.h"

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : fileName_(fileName) {
    if ((mode & 0xFF00) == fmCreate) {
        handle_ = FileCreate(fileName, mode & 0xF0);
        if (handle_ == kInvalidFileHandle)
            throw EFCreateError("Cannot create file \"%s\"", {fileName});
    } else {
        handle_ = FileOpen(fileName, mode);
        if (handle_ == kInvalidFileHandle)
            throw EFOpenError("Cannot open file \"%s\"", {fileName});
    }
}

TFileStream::~TFileStream() { FileClose(handle_); }

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    const std::int64_t done = FileRead(handle_, buffer, count);
    return done < 0 ? 0 : static_cast<std::size_t>(done);
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
    const std::int64_t done = FileWrite(handle_, buffer, count);
    return done < 0 ? 0 : static_cast<std::size_t>(done);
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    // Checked here so that both systems refuse a negative target the same way.
    const std::int64_t current = FileSeek(handle_, 0, 1);
    const std::int64_t end = origin == soEnd ? FileSeek(handle_, 0, 2) : 0;
    if (current < 0 || end < 0)
        throw EStreamError("Cannot seek in file \"%s\"", {fileName_});
    const std::int64_t target = SeekTarget(offset, origin, current, end);
    const std::int64_t result = FileSeek(handle_, target, 0);
    if (result < 0)
        throw EStreamError("Cannot seek in file \"%s\"", {fileName_});
    return result;
}

void TFileStream::SetSize(std::int64_t size) {
    if (size < 0 || !FileTruncate(handle_, size))
        throw EStreamError("Cannot change the size of file \"%s\"", {fileName_});
    if (Position() > size)
        SetPosition(size);
}
