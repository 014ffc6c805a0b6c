#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

#include "framework/core/Types.h"

class TObject;

// A method pointer bound to its object: the event handler of the class
// library. Unlike std::function two delegates compare equal exactly when they
// call the same member function on the same object, so a handler can be
// compared with another one or saved and restored later.
//
//   TNotifyEvent onClick(this, &TForm1::Button1Click);
//   if (onClick) onClick(sender);
//
// A delegate may also hold a plain function (no object); it then compares
// equal to another delegate of the same function. An empty delegate is false
// and must not be called. The delegate does not keep its object alive: owners
// clear handlers that point into a component when it goes (Notification).
template <class Signature>
class TDelegate;

template <class R, class... Args>
class TDelegate<R(Args...)> {
public:
    TDelegate() noexcept = default;
    TDelegate(std::nullptr_t) noexcept {}

    // Binds a member function of T (or of a base of T) to object.
    template <class T, class U>
        requires std::is_base_of_v<U, T>
    TDelegate(T* object, R (U::*method)(Args...)) noexcept {
        Bind<U, R (U::*)(Args...)>(static_cast<U*>(object), method);
    }

    template <class T, class U>
        requires std::is_base_of_v<U, T>
    TDelegate(const T* object, R (U::*method)(Args...) const) noexcept {
        Bind<const U, R (U::*)(Args...) const>(static_cast<const U*>(object), method);
    }

    // Binds a plain function.
    TDelegate(R (*function)(Args...)) noexcept {
        if (function == nullptr)
            return;
        static_assert(sizeof(function) <= sizeof(method_));
        std::memcpy(method_, &function, sizeof(function));
        invoke_ = &InvokeFunction;
    }

    // Calls the handler. Precondition: the delegate is not empty.
    R operator()(Args... args) const { return invoke_(*this, std::forward<Args>(args)...); }

    explicit operator bool() const noexcept { return invoke_ != nullptr; }

    // The bound object, as the method's class sees it (nullptr for a plain
    // function or an empty delegate).
    const void* Object() const noexcept { return object_; }

    friend bool operator==(const TDelegate& a, const TDelegate& b) noexcept {
        return a.invoke_ == b.invoke_ && a.object_ == b.object_ &&
               std::memcmp(a.method_, b.method_, sizeof(method_)) == 0;
    }
    friend bool operator==(const TDelegate& a, std::nullptr_t) noexcept { return !a; }

private:
    using Invoker = R (*)(const TDelegate&, Args&&...);

    // Large enough for a member pointer of every ABI we build for (two words
    // on the Itanium ABI used by g++ and mingw).
    alignas(void*) unsigned char method_[2 * sizeof(void*) + sizeof(int)] = {};
    const void* object_ = nullptr;
    Invoker invoke_ = nullptr;

    template <class U, class M>
    void Bind(U* object, M method) noexcept {
        static_assert(sizeof(M) <= sizeof(method_), "member pointer too large for TDelegate");
        if (object == nullptr || method == nullptr)
            return;
        std::memcpy(method_, &method, sizeof(M));
        object_ = object;
        invoke_ = &InvokeMember<U, M>;
    }

    template <class U, class M>
    static R InvokeMember(const TDelegate& self, Args&&... args) {
        M method;
        std::memcpy(&method, self.method_, sizeof(M));
        U* object = static_cast<U*>(const_cast<void*>(self.object_));
        return (object->*method)(std::forward<Args>(args)...);
    }

    static R InvokeFunction(const TDelegate& self, Args&&... args) {
        R (*function)(Args...);
        std::memcpy(&function, self.method_, sizeof(function));
        return function(std::forward<Args>(args)...);
    }
};

// Events of the class library.
using TNotifyEvent = TDelegate<void(TObject* Sender)>;
using TMouseEvent =
    TDelegate<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TDelegate<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// Key is the virtual key; a handler may change it (0 swallows the key).
using TKeyEvent = TDelegate<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
// Key is the character; a handler may change it (#0 swallows it).
using TKeyPressEvent = TDelegate<void(TObject* Sender, char& Key)>;
// Answers whether the request was handled; CallHelp (preset true) decides
// whether the built-in help engine runs afterwards.
using THelpEvent = TDelegate<bool(std::uint16_t Command, std::intptr_t Data, bool& CallHelp)>;
using TProgressEvent =
    TDelegate<void(TObject* Sender, TProgressStage Stage, std::uint8_t PercentDone,
                   bool RedrawNow, const TRect& R, const std::string& Msg)>;
using TDragOverEvent = TDelegate<void(TObject* Sender, TObject* Source, int X, int Y,
                                      TDragState State, bool& Accept)>;
using TDragDropEvent = TDelegate<void(TObject* Sender, TObject* Source, int X, int Y)>;
