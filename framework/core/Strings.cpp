#include "framework/core/Strings.h"

#include "framework/core/Exceptions.h"

TStrings::~TStrings() = default;

int TStrings::Add(const std::string& text) {
    const int index = Count();
    Insert(index, text);
    return index;
}

int TStrings::AddObject(const std::string& text, TObject* object) {
    const int index = Add(text);
    PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string& text, TObject* object) {
    Insert(index, text);
    PutObject(index, object);
}

int TStrings::IndexOf(const std::string& text) const {
    const int count = Count();
    for (int i = 0; i < count; ++i)
        if (CompareStrings(Get(i), text) == 0)
            return i;
    return -1;
}

std::string TStrings::Text() const {
    std::string out;
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        out += Get(i);
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(std::string_view text) {
    BeginUpdate();
    try {
        Clear();
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = start;
            while (end < text.size() && text[end] != '\r' && text[end] != '\n')
                ++end;
            Add(std::string(text.substr(start, end - start)));
            if (end < text.size() && text[end++] == '\r' && end < text.size() &&
                text[end] == '\n')
                ++end;  // the LF of CR LF
            start = end;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TStrings*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        const int count = source->Count();
        for (int i = 0; i < count; ++i)
            AddObject(source->Get(i), source->GetObject(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (updateCount_ == 0)
        SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate() {
    if (updateCount_ == 0)
        return;
    if (--updateCount_ == 0)
        SetUpdateState(false);
}

void TStrings::Put(int index, const std::string& text) {
    // Lists without an in-place store replace the string and keep its object.
    TObject* object = GetObject(index);
    BeginUpdate();
    try {
        Delete(index);
        InsertObject(index, text, object);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TObject* TStrings::GetObject(int index) const {
    CheckIndex(index);
    return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
    return a.compare(b);
}

void TStrings::CheckIndex(int index, bool allowEnd) const {
    const int count = Count();
    if (index < 0 || index > count || (index == count && !allowEnd))
        throw EListError::IndexOutOfBounds(index);
}
