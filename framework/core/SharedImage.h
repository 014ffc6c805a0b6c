#pragma once

#include <utility>

#include "framework/core/Object.h"

// Image data shared by the images that were assigned from one another. The
// count starts at 0: whoever keeps the data calls Reference and later
// Release; the last Release calls FreeHandle and frees the data.
class TSharedImage : public TObject {
    FW_CLASS(TSharedImage, TObject)
public:
    TSharedImage() noexcept = default;

    int RefCount() const noexcept { return refCount_; }
    void Reference() noexcept { ++refCount_; }
    // A Release without a matching Reference does nothing.
    void Release() noexcept {
        if (refCount_ <= 0)
            return;
        if (--refCount_ == 0) {
            FreeHandle();
            Free();
        }
    }

protected:
    ~TSharedImage() override = default;
    // Releases platform resources before the data goes; nothing by default.
    virtual void FreeHandle() noexcept {}

private:
    int refCount_ = 0;
};

// Holds one reference to a TSharedImage descendant; copies share it.
template <class T>
class TSharedImageRef {
public:
    TSharedImageRef() noexcept = default;
    explicit TSharedImageRef(T* image) noexcept : image_(image) {
        if (image_ != nullptr)
            image_->Reference();
    }
    TSharedImageRef(const TSharedImageRef& other) noexcept : TSharedImageRef(other.image_) {}
    TSharedImageRef(TSharedImageRef&& other) noexcept : image_(std::exchange(other.image_, nullptr)) {}
    TSharedImageRef& operator=(TSharedImageRef other) noexcept {
        std::swap(image_, other.image_);
        return *this;
    }
    ~TSharedImageRef() {
        if (image_ != nullptr)
            image_->Release();
    }

    T* Get() const noexcept { return image_; }
    T* operator->() const noexcept { return image_; }
    explicit operator bool() const noexcept { return image_ != nullptr; }

private:
    T* image_ = nullptr;
};
