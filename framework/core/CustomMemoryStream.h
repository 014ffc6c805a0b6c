#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/core/Stream.h"

// A stream over a block of memory it does not manage: reads, seeks and saving
// work here; writing is the business of the classes below (TMemoryStream owns
// and grows its block, TResourceStream's block is read-only).
class TCustomMemoryStream : public TStream {
public:
    std::size_t Read(void* buffer, std::size_t count) override;
    // Raises EWriteError "Stream is read-only": the block is not ours to change.
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(size_); }

    // The block (nullptr when empty). Valid until the stream changes size.
    void* Memory() const { return memory_; }

    // Writes the whole block to stream (from offset 0, whatever the position).
    void SaveToStream(TStream& stream) const;
    // Writes the whole block to a new file; raises EFCreateError.
    void SaveToFile(const std::string& fileName) const;

protected:
    // Makes the stream show [memory, memory + size); the position is kept.
    void SetPointer(void* memory, std::size_t size);
    std::int64_t PositionValue() const { return position_; }
    void SetPositionValue(std::int64_t position) { position_ = position; }

private:
    void* memory_ = nullptr;
    std::size_t size_ = 0;
    std::int64_t position_ = 0;
};
