#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <source_location>
#include <string>
#include <string_view>

#include "framework/core/Format.h"

// The class library's exception tree. Every error the library and the
// components raise derives from Exception; handlers catch Exception& (or a
// class below it) and show Message().

// Root of the tree. The message is free English text unless a class below
// fixes it; it may hold any bytes (what() stops at the first NUL, Message()
// does not).
class Exception : public std::exception {
public:
    explicit Exception(std::string message);
    // The CreateFmt form: the message is Format(pattern, args).
    Exception(std::string_view pattern, std::initializer_list<FormatArg> args);
    ~Exception() override;

    // Builds an exception of class E whose message is Format(pattern, args):
    //   throw Exception::CreateFmt<EListError>("Item not found ($0%x)", {key});
    // Raises EConvertError when the pattern does not fit the arguments.
    template <class E = Exception>
    static E CreateFmt(std::string_view pattern, std::initializer_list<FormatArg> args) {
        return E(pattern, args);
    }

    const std::string& Message() const noexcept { return message_; }
    void SetMessage(std::string message) { message_ = std::move(message); }
    const char* what() const noexcept override;

private:
    std::string message_;
};

// Declares a class that adds nothing but its place in the tree.
#define FW_DECLARE_EXCEPTION(Name, Parent)                                                         \
    class Name : public Parent {                                                                   \
    public:                                                                                        \
        using Parent::Parent;                                                                      \
    }

// The silent exception: it unwinds an operation without an error box (the
// application's handler ignores it). The default message is "Operation aborted".
class EAbort : public Exception {
public:
    using Exception::Exception;
    EAbort();
};

// Raises EAbort: the way to leave an operation quietly.
[[noreturn]] void Abort();

// Allocation failures; std::bad_alloc is mapped to this at the boundaries.
class EOutOfMemory : public Exception {
public:
    using Exception::Exception;
    EOutOfMemory();  // "Out of memory"
};

// Conversions (StrToInt, StrToBool, Format) and the default assignment.
FW_DECLARE_EXCEPTION(EConvertError, Exception);

// Index and look-up errors of TList, TStringList and TCollection.
class EListError : public Exception {
public:
    using Exception::Exception;
    // "List index out of bounds (%d)" with the offending index.
    static EListError IndexOutOfBounds(std::int64_t index);
};

// Stream errors. EReadError and EWriteError carry the fixed texts "Stream read
// error" and "Stream write error" by default.
FW_DECLARE_EXCEPTION(EStreamError, Exception);

class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
    EReadError();
};

class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
    EWriteError();
};

FW_DECLARE_EXCEPTION(EFOpenError, EStreamError);
FW_DECLARE_EXCEPTION(EFCreateError, EStreamError);
FW_DECLARE_EXCEPTION(EResNotFound, EStreamError);

// An operation the object cannot do in its state ("Invalid ImageList", a
// windowed control that needs a handle without a parent window).
FW_DECLARE_EXCEPTION(EInvalidOperation, Exception);

// Bad picture data or an unknown picture extension; the default text is
// "Bitmap image is not valid".
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
    EInvalidGraphic();
};

FW_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);

// A checked cast that failed; the default text is "Invalid class typecast".
class EInvalidCast : public Exception {
public:
    using Exception::Exception;
    EInvalidCast();
};

// TRegistry's errors.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
    // "Failed to set data for '%s'" with the value name.
    static ERegistryException FailedToSetData(std::string_view valueName);
};

// COM errors. EOleSysError carries the HRESULT whose system text is the message.
FW_DECLARE_EXCEPTION(EOleError, Exception);

class EOleSysError : public EOleError {
public:
    EOleSysError(std::string message, std::int32_t errorCode);
    std::int32_t ErrorCode() const noexcept { return errorCode_; }

private:
    std::int32_t errorCode_;
};

FW_DECLARE_EXCEPTION(EPropertyError, Exception);
FW_DECLARE_EXCEPTION(EComponentError, Exception);
FW_DECLARE_EXCEPTION(EMenuError, Exception);
FW_DECLARE_EXCEPTION(EThread, Exception);
// Text that a parser cannot read (mark-up, expressions).
FW_DECLARE_EXCEPTION(EParserError, Exception);

// A failed Assert.
FW_DECLARE_EXCEPTION(EAssertionFailed, Exception);

// Raises EAssertionFailed "<message> (<file>, line <n>)" when condition is
// false; in NDEBUG builds it checks nothing. It is a programmer-error check:
// bad input gets its own exception instead.
#ifdef NDEBUG
inline void Assert(bool, std::string_view, std::source_location = std::source_location::current()) {}
#else
void Assert(bool condition, std::string_view message,
            std::source_location where = std::source_location::current());
#endif
