#include "framework/core/Exceptions.h"

#include <utility>

Exception::Exception(std::string message) : message_(std::move(message)) {}

Exception::Exception(std::string_view pattern, std::initializer_list<FormatArg> args)
    : message_(Format(pattern, args)) {}

Exception::~Exception() = default;

const char* Exception::what() const noexcept { return message_.c_str(); }

EAbort::EAbort() : Exception("Operation aborted") {}

void Abort() { throw EAbort(); }

EOutOfMemory::EOutOfMemory() : Exception("Out of memory") {}

EListError EListError::IndexOutOfBounds(std::int64_t index) {
    return EListError("List index out of bounds (%d)", {index});
}

EReadError::EReadError() : EStreamError("Stream read error") {}

EWriteError::EWriteError() : EStreamError("Stream write error") {}

EInvalidGraphic::EInvalidGraphic() : Exception("Bitmap image is not valid") {}

EInvalidCast::EInvalidCast() : Exception("Invalid class typecast") {}

ERegistryException ERegistryException::FailedToSetData(std::string_view valueName) {
    return ERegistryException("Failed to set data for '%s'", {valueName});
}

EOleSysError::EOleSysError(std::string message, std::int32_t errorCode)
    : EOleError(std::move(message)), errorCode_(errorCode) {}

#ifndef NDEBUG
void Assert(bool condition, std::string_view message, std::source_location where) {
    if (condition)
        return;
    throw EAssertionFailed("%s (%s, line %d)", {message, where.file_name(), where.line()});
}
#endif
