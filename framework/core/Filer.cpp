#include "framework/core/Filer.h"

#include "framework/core/BoundedStream.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MemoryStream.h"
#include "framework/core/Persistent.h"
#include "framework/core/Stream.h"

namespace {

std::uint32_t DecodeUInt32(const unsigned char* b) {
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

void EncodeUInt32(std::uint32_t value, unsigned char* b) {
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<unsigned char>(value >> (8 * i));
}

[[noreturn]] void RaiseInvalidValue() { throw EReadError("Invalid property value"); }

}  // namespace

TFiler::~TFiler() = default;

// --- TReader ---------------------------------------------------------------

void TReader::ReadDefinedProperties(TPersistent& instance) {
    // A property's reader may load a nested object through this reader:
    // the outer name is restored afterwards.
    struct Restore {
        TReader& reader;
        std::string name;
        bool handled;
        ~Restore() {
            reader.pending_ = std::move(name);
            reader.handled_ = handled;
        }
    } restore{*this, pending_, handled_};
    for (;;) {
        unsigned char length = 0;
        Stream().ReadBuffer(&length, 1);
        if (length == 0)
            return;
        pending_.assign(length, '\0');
        Stream().ReadBuffer(pending_.data(), length);
        handled_ = false;
        instance.DefineProperties(this);
        if (!handled_)
            throw EReadError("Property %s does not exist", {pending_});
    }
}

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                             const TWriterProc&, bool) {
    if (handled_ || Name != pending_)
        return;
    handled_ = true;
    if (ReadData) {
        ReadData(*this);
        return;
    }
    SkipValue(ReadValueType());
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                   const TStreamProc&, bool) {
    if (handled_ || Name != pending_)
        return;
    handled_ = true;
    if (ReadValueType() != vaBinary)
        RaiseInvalidValue();
    const std::int64_t count = ReadCount();
    TStream& stream = Stream();
    const std::int64_t start = stream.Position();
    if (count > stream.Size() - start)
        throw EReadError();
    if (ReadData) {
        TBoundedStream blob(stream, start, count);
        ReadData(blob);
    }
    stream.SetPosition(start + count);
}

TFiler::TValueType TReader::ReadValueType() {
    unsigned char type = 0;
    Stream().ReadBuffer(&type, 1);
    if (type < vaInt32 || type > vaTrue)
        RaiseInvalidValue();
    return static_cast<TValueType>(type);
}

std::uint32_t TReader::ReadCount() {
    unsigned char bytes[4];
    Stream().ReadBuffer(bytes, 4);
    return DecodeUInt32(bytes);
}

void TReader::SkipValue(TValueType type) {
    switch (type) {
    case vaInt32:
        ReadCount();
        break;
    case vaString:
    case vaBinary: {
        const std::int64_t count = ReadCount();
        const std::int64_t position = Stream().Position();
        if (count > Stream().Size() - position)
            throw EReadError();
        Stream().SetPosition(position + count);
        break;
    }
    default:
        break;
    }
}

std::int32_t TReader::ReadInteger() {
    if (ReadValueType() != vaInt32)
        RaiseInvalidValue();
    return static_cast<std::int32_t>(ReadCount());
}

std::string TReader::ReadString() {
    if (ReadValueType() != vaString)
        RaiseInvalidValue();
    const std::int64_t count = ReadCount();
    // The length is outside input: check it against what the stream holds
    // before allocating.
    if (count > Stream().Size() - Stream().Position())
        throw EReadError();
    std::string value(static_cast<std::size_t>(count), '\0');
    Stream().ReadBuffer(value.data(), value.size());
    return value;
}

bool TReader::ReadBoolean() {
    const TValueType type = ReadValueType();
    if (type != vaFalse && type != vaTrue)
        RaiseInvalidValue();
    return type == vaTrue;
}

// --- TWriter ---------------------------------------------------------------

void TWriter::WriteDefinedProperties(TPersistent& instance) {
    instance.DefineProperties(this);
    const unsigned char end = 0;
    Stream().WriteBuffer(&end, 1);
}

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&,
                             const TWriterProc& WriteData, bool HasData) {
    if (!HasData || !WriteData)
        return;
    WriteName(Name);
    WriteData(*this);
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&,
                                   const TStreamProc& WriteData, bool HasData) {
    if (!HasData || !WriteData)
        return;
    // The count goes first, so the blob is gathered before it is framed.
    TMemoryStream blob;
    WriteData(blob);
    WriteName(Name);
    const unsigned char type = vaBinary;
    Stream().WriteBuffer(&type, 1);
    WriteCount(static_cast<std::uint64_t>(blob.Size()));
    blob.SaveToStream(Stream());
}

void TWriter::WriteInteger(std::int32_t value) {
    const unsigned char type = vaInt32;
    Stream().WriteBuffer(&type, 1);
    WriteCount(static_cast<std::uint32_t>(value));
}

void TWriter::WriteString(std::string_view value) {
    const unsigned char type = vaString;
    Stream().WriteBuffer(&type, 1);
    WriteCount(value.size());
    Stream().WriteBuffer(value.data(), value.size());
}

void TWriter::WriteBoolean(bool value) {
    const unsigned char type = value ? vaTrue : vaFalse;
    Stream().WriteBuffer(&type, 1);
}

void TWriter::WriteName(std::string_view name) {
    if (name.empty() || name.size() > 255)
        throw EWriteError("Invalid property name '%s'", {name});
    const auto length = static_cast<unsigned char>(name.size());
    Stream().WriteBuffer(&length, 1);
    Stream().WriteBuffer(name.data(), name.size());
}

void TWriter::WriteCount(std::uint64_t count) {
    if (count > 0xFFFFFFFFu)
        throw EWriteError("Property value too large");
    unsigned char bytes[4];
    EncodeUInt32(static_cast<std::uint32_t>(count), bytes);
    Stream().WriteBuffer(bytes, 4);
}
