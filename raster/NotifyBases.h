#pragma once

#include <atomic>
#include <mutex>

#include "framework/core/Events.h"
#include "framework/core/Persistent.h"

// The notifying bases under every bitmap-like, sampler and layer class of the library.

// Change notification with an update count: inside BeginUpdate .. EndUpdate, Changed is silent.
class TNotifiablePersistent : public TPersistent {
    FW_CLASS(TNotifiablePersistent, TPersistent)
public:
    // Fires OnChange(this) when the update count is 0 and a handler is set.
    virtual void Changed();
    // Update count + 1.
    virtual void BeginUpdate();
    // Update count - 1 and nothing else: no notification, no check against going below 0.
    virtual void EndUpdate();

    int UpdateCount() const noexcept { return updateCount_; }
    TNotifyEvent OnChange;

protected:
    int updateCount_ = 0;
};

// Adds a lock of its own, taken by paint code around drawing and by the destructor.
class TThreadPersistent : public TNotifiablePersistent {
    FW_CLASS(TThreadPersistent, TNotifiablePersistent)
public:
    TThreadPersistent() = default;

    // Counts up (atomically), then takes the lock; recursive.
    void Lock();
    // Releases the lock, then counts down.
    void Unlock();
    int LockCount() const noexcept { return lockCount_.load(); }
    // The lock itself, for objects that share it.
    std::recursive_mutex& LockObject() noexcept { return lock_; }

private:
    std::recursive_mutex lock_;
    std::atomic<int> lockCount_{0};
};

// A two-dimensional map of values with a size.
class TCustomMap : public TThreadPersistent {
    FW_CLASS(TCustomMap, TThreadPersistent)
public:
    // Negative sizes count as 0. The same size as now: false and nothing happens. Otherwise
    // ChangeSize, Changed, Resized, and true.
    virtual bool SetSize(int newWidth, int newHeight);
    // SetSize(0, 0).
    virtual void Delete();
    // Width or Height is 0.
    virtual bool Empty() const;

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void SetWidth(int w) { SetSize(w, height_); }
    void SetHeight(int h) { SetSize(width_, h); }

    TNotifyEvent OnResize;

protected:
    // Stores the new size in width and height (the map's own fields, passed by reference so that
    // an override can leave them at 0 when it fails).
    virtual void ChangeSize(int& width, int& height, int newWidth, int newHeight);
    // Fires OnResize(this) when set.
    virtual void Resized();

    int height_ = 0;
    int width_ = 0;
};
