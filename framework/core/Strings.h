#pragma once

#include <string>
#include <string_view>

#include "framework/core/Persistent.h"

// An ordered list of strings, each with an optional object, as the class
// library's controls and lists expose it. The strings are binary-safe: a NUL
// is a character like any other. Indexes count from 0; a bad index raises
// EListError "List index out of bounds (<index>)".
class TStrings : public TPersistent {
    FW_CLASS(TStrings, TPersistent)
public:
    ~TStrings() override;

    virtual int Count() const = 0;

    std::string Strings(int index) const { return Get(index); }
    void SetStrings(int index, const std::string& text) { Put(index, text); }
    // The object stored with a string; the list does not own it.
    TObject* Objects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* object) { PutObject(index, object); }

    // Appends text; returns its index.
    virtual int Add(const std::string& text);
    int AddObject(const std::string& text, TObject* object);
    // Inserts at index 0 .. Count (Count appends); other indexes raise EListError.
    virtual void Insert(int index, const std::string& text) = 0;
    void InsertObject(int index, const std::string& text, TObject* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    // The index of the first string equal to text (as CompareStrings sees
    // it), or -1.
    virtual int IndexOf(const std::string& text) const;

    // Every string followed by CR LF ("" for an empty list).
    std::string Text() const;
    // Replaces the list with the lines of text, split at CR LF, CR or LF; a
    // line break at the very end adds no empty line. One change notification.
    virtual void SetText(std::string_view text);

    // Copies the strings and objects of a TStrings source inside one update;
    // other sources go to TPersistent::Assign (which raises unless they know
    // how to copy themselves here).
    void Assign(TPersistent* Source) override;

    // Nested; change notifications are held back until the outermost
    // EndUpdate. An EndUpdate without BeginUpdate is ignored.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

protected:
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& text);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);
    // Called with true when the first BeginUpdate starts and false when the
    // last EndUpdate ends.
    virtual void SetUpdateState(bool updating);
    // <0, 0, >0; the base compares exactly, byte by byte.
    virtual int CompareStrings(const std::string& a, const std::string& b) const;

    // Raises EListError for index unless 0 <= index < Count (or <= Count when
    // allowEnd).
    void CheckIndex(int index, bool allowEnd = false) const;

private:
    int updateCount_ = 0;
};
