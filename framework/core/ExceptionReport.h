#pragma once

#include <exception>

class TObject;

// Where exceptions go that must not escape: destruction steps, platform
// callbacks, notification chains. The GUI layer installs the application's
// handler; until then (and in native tests) the report is written to stderr.
using TExceptionReporter = void (*)(TObject* sender, std::exception_ptr error) noexcept;

// Installs reporter (nullptr restores the default) and returns the previous one.
TExceptionReporter SetExceptionReporter(TExceptionReporter reporter) noexcept;

// Reports the exception being handled; call it only inside a catch block.
// Never throws, even when the reporter fails.
void ReportException(TObject* sender) noexcept;

// Runs f(); an exception is reported for sender and swallowed. Answers whether
// f completed.
template <class F>
bool CallReporting(TObject* sender, F&& f) noexcept {
    try {
        f();
        return true;
    } catch (...) {
        ReportException(sender);
        return false;
    }
}
