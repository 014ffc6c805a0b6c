#include "framework/core/ExceptionReport.h"

#include <atomic>
#include <cstdio>

#include "framework/core/Exceptions.h"
#include "framework/core/Object.h"

namespace {

void WriteToStderr(TObject* sender, std::exception_ptr error) noexcept {
    std::string where = sender != nullptr ? sender->ClassName() : std::string("(none)");
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        std::fprintf(stderr, "unhandled exception in %s: %s\n", where.c_str(), e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "unhandled exception in %s: %s\n", where.c_str(), e.what());
    } catch (...) {
        std::fprintf(stderr, "unhandled exception in %s\n", where.c_str());
    }
}

std::atomic<TExceptionReporter> gReporter{nullptr};

}  // namespace

TExceptionReporter SetExceptionReporter(TExceptionReporter reporter) noexcept {
    return gReporter.exchange(reporter);
}

void ReportException(TObject* sender) noexcept {
    try {
        std::exception_ptr error = std::current_exception();
        TExceptionReporter reporter = gReporter.load();
        if (reporter != nullptr)
            reporter(sender, error);
        else
            WriteToStderr(sender, error);
    } catch (...) {
        // A failing reporter must not turn a handled error into a terminate.
    }
}
