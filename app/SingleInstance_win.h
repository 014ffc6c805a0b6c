#pragma once

#include <windows.h>

#include <string>

// The single-instance guard: a named page-file mapping of 1024 bytes. Only its existence counts;
// the first instance writes its application window's handle into the first four bytes, and
// nobody reads them. The first instance keeps the mapping open for its whole run.
class TSingleInstance {
public:
    TSingleInstance() = default;
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;
    ~TSingleInstance() { Close(); }

    // True only for the first instance named `name`; false also when the mapping cannot be
    // created or mapped, which counts as another instance running.
    bool Check(const std::string& name, HWND applicationWindow);
    void Close();

private:
    HANDLE mapping_ = nullptr;
};
