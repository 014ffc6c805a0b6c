#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/core/FileSystem.h"
#include "framework/core/Stream.h"

// A stream over an open file.
class TFileStream : public TStream {
public:
    // mode is fmCreate (create or empty the file; or'ed with a share value) or
    // an fmOpen value or'ed with an fmShare value. Raises EFCreateError
    // ("Cannot create file \"name\"") or EFOpenError ("Cannot open file \"name\"").
    TFileStream(const std::string& fileName, unsigned mode);
    ~TFileStream() override;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    // Grows or cuts the file; raises EStreamError when the system refuses.
    void SetSize(std::int64_t size) override;

    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
    TFileHandle handle_ = kInvalidFileHandle;
};
