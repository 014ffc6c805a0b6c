#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "framework/core/Object.h"

class TPersistent;
class TReader;
class TStream;
class TWriter;

using TReaderProc = std::function<void(TReader& Reader)>;
using TWriterProc = std::function<void(TWriter& Writer)>;
using TStreamProc = std::function<void(TStream& Stream)>;

// The stored data of an object beyond its published properties: the object's
// DefineProperties declares each item to a filer, which is a TWriter while
// storing and a TReader while loading.
//
// The block a writer produces and a reader takes is a sequence of
//   uint8 name length, name, uint8 value type, value
// ended by a zero name length. Values are little-endian: an int32, a string
// or a binary blob (uint32 byte count, bytes), or false/true.
class TFiler : public TObject {
    FW_CLASS(TFiler, TObject)
public:
    explicit TFiler(TStream& stream) : stream_(stream) {}
    ~TFiler() override;

    // A property stored through the filer's typed values (ReadInteger,
    // WriteString...). The writer stores it when HasData is true; the reader
    // calls ReadData when the block holds Name.
    virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                                const TWriterProc& WriteData, bool HasData) = 0;
    // A property stored as a binary blob framed by its byte count. The reader
    // hands ReadData a stream bounded to exactly that blob (position 0, Size()
    // the byte count), so reading past it raises EReadError instead of taking
    // the next property's bytes; whatever ReadData leaves unread is skipped.
    virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;

    // The object this one descends from while storing (nullptr when none);
    // DefineProperties uses it to leave out data equal to the ancestor's.
    TPersistent* Ancestor() const { return ancestor_; }
    void SetAncestor(TPersistent* ancestor) { ancestor_ = ancestor; }

    TStream& Stream() const { return stream_; }

protected:
    enum TValueType : std::uint8_t { vaNull = 0, vaInt32 = 1, vaString = 2, vaBinary = 3,
                                     vaFalse = 4, vaTrue = 5 };

private:
    TStream& stream_;
    TPersistent* ancestor_ = nullptr;
};

// Loads stored data from a block at the stream's position.
class TReader : public TFiler {
    FW_CLASS(TReader, TFiler)
public:
    using TFiler::TFiler;

    // Reads every property of the block into instance, asking
    // instance->DefineProperties for each name, up to the end marker. Raises
    // EReadError for a short or malformed block, a value of the wrong type, a
    // blob longer than the rest of the stream, and a name that instance does
    // not define ("Property <name> does not exist").
    void ReadDefinedProperties(TPersistent& instance);

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                        const TWriterProc& WriteData, bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

    // Typed values for DefineProperty readers; EReadError when the next value
    // has another type.
    std::int32_t ReadInteger();
    std::string ReadString();
    bool ReadBoolean();

private:
    TValueType ReadValueType();
    std::uint32_t ReadCount();
    void SkipValue(TValueType type);

    std::string pending_;
    bool handled_ = false;
};

// Stores an object's defined properties as a block at the stream's position.
class TWriter : public TFiler {
    FW_CLASS(TWriter, TFiler)
public:
    using TFiler::TFiler;

    // Writes every property that instance->DefineProperties declares with
    // HasData, then the end marker.
    void WriteDefinedProperties(TPersistent& instance);

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                        const TWriterProc& WriteData, bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

    void WriteInteger(std::int32_t value);
    void WriteString(std::string_view value);
    void WriteBoolean(bool value);

private:
    void WriteName(std::string_view name);
    void WriteCount(std::uint64_t count);
};
