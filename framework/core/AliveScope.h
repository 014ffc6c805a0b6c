#pragma once

// Tells code that runs a handler whether the handler freed the object it runs for. The object
// keeps a `bool*` slot, null while no scope is open, and its destructor sets *slot to true;
// scopes nest, and an inner scope that saw the end passes it on to the outer one. After the
// object's end the scope touches nothing of it.
class TAliveScope {
public:
    explicit TAliveScope(bool*& slot) noexcept : slot_(slot), outer_(slot) { slot = &dead_; }
    ~TAliveScope() {
        if (dead_) {
            if (outer_ != nullptr)
                *outer_ = true;
        } else {
            slot_ = outer_;
        }
    }
    TAliveScope(const TAliveScope&) = delete;
    TAliveScope& operator=(const TAliveScope&) = delete;
    bool Dead() const noexcept { return dead_; }

private:
    bool*& slot_;
    bool* outer_;
    bool dead_ = false;
};
