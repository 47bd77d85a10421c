// rtl/Event.h: method pointers ("events"): an object plus one of its member functions, or a free
// function. They are copied by value, tested for assignment with `if (OnChange)`, called like a
// function, and compare equal when code and object are equal, as the class library's method pointers
// do (the same method on two objects gives two different events).
#pragma once
#include <cstring>
#include <memory>
#include <type_traits>
#include <typeinfo>
#include <utility>

namespace rtl {

class TObject;

template <class Sig> class TEvent;

template <class R, class... Args> class TEvent<R(Args...)> {
public:
    TEvent() = default;
    TEvent(std::nullptr_t) {}

    // A member function of an object; `T` may be any class derived from the member's class.
    template <class T, class U>
    requires std::is_base_of_v<U, T> TEvent(T* Object, R (U::*Method)(Args...)) {
        BindMethod<U>(static_cast<U*>(Object), Method);
    }
    template <class T, class U>
    requires std::is_base_of_v<U, T> TEvent(const T* Object, R (U::*Method)(Args...) const) {
        BindMethod<const U>(static_cast<const U*>(Object), Method);
    }

    // A plain function (the class library's procedure variables; handy in tests).
    TEvent(R (*Function)(Args...)) {
        if (!Function) return;
        static_assert(sizeof(Function) <= sizeof(FCode));
        std::memcpy(FCode, &Function, sizeof(Function));
        FInvoke = &InvokeFunction;
    }

    // Any other callable (a lambda): copies of one event compare equal, two separately made ones do not.
    template <class F>
    requires(!std::is_same_v<std::decay_t<F>, TEvent> && !std::is_pointer_v<std::decay_t<F>> &&
             std::is_invocable_r_v<R, F&, Args...>) TEvent(F&& Callable) {
        auto holder = std::make_shared<std::decay_t<F>>(std::forward<F>(Callable));
        FIdentity = holder.get();
        FClosure = std::move(holder);
        FInvoke = &InvokeClosure<std::decay_t<F>>;
    }

    explicit operator bool() const { return FInvoke != nullptr; }

    // Calling an unassigned event does nothing (and returns a default value): handlers are optional.
    R operator()(Args... A) const {
        if (!FInvoke) {
            if constexpr (std::is_void_v<R>)
                return;
            else
                return R{};
        }
        return FInvoke(*this, std::forward<Args>(A)...);
    }

    // The object the event is bound to (its most-derived address), or nullptr: TMethod.Data.
    const void* Data() const { return FIdentity; }

    friend bool operator==(const TEvent& A, const TEvent& B) {
        return A.FInvoke == B.FInvoke && A.FIdentity == B.FIdentity &&
               std::memcmp(A.FCode, B.FCode, sizeof(FCode)) == 0;
    }
    friend bool operator==(const TEvent& A, std::nullptr_t) { return !A; }

private:
    using Invoker = R (*)(const TEvent&, Args&&...);

    template <class U, class M, class P> void BindMethod(P* Object, M Method) {
        if (!Object || !Method) return;
        static_assert(sizeof(M) <= sizeof(FCode), "member pointer larger than expected");
        std::memcpy(FCode, &Method, sizeof(M));
        FObject = const_cast<void*>(static_cast<const void*>(Object));
        if constexpr (std::is_polymorphic_v<std::remove_const_t<U>>)
            FIdentity = dynamic_cast<const void*>(Object);
        else
            FIdentity = Object;
        FInvoke = &InvokeMethod<P, M>;
    }

    template <class P, class M> static R InvokeMethod(const TEvent& E, Args&&... A) {
        M method;
        std::memcpy(&method, E.FCode, sizeof(M));
        return (static_cast<P*>(E.FObject)->*method)(std::forward<Args>(A)...);
    }
    static R InvokeFunction(const TEvent& E, Args&&... A) {
        R (*function)(Args...);
        std::memcpy(&function, E.FCode, sizeof(function));
        return function(std::forward<Args>(A)...);
    }
    template <class F> static R InvokeClosure(const TEvent& E, Args&&... A) {
        return (*static_cast<F*>(E.FClosure.get()))(std::forward<Args>(A)...);
    }

    Invoker FInvoke = nullptr;
    void* FObject = nullptr;                                    // the object as the member function's class
    const void* FIdentity = nullptr;                            // what equality compares as the object
    alignas(void*) unsigned char FCode[2 * sizeof(void*)] = {}; // the member or function pointer
    std::shared_ptr<void> FClosure;
};

// Binds a member function: rtl::MakeEvent(this, &TFormMain::actConvertExecute).
template <class T, class U, class R, class... Args>
requires std::is_base_of_v<U, T> TEvent<R(Args...)> MakeEvent(T* Object, R (U::*Method)(Args...)) {
    return TEvent<R(Args...)>(Object, Method);
}

template <class T, class U, class R, class... Args>
requires std::is_base_of_v<U, T> TEvent<R(Args...)> MakeEvent(const T* Object,
                                                              R (U::*Method)(Args...) const) {
    return TEvent<R(Args...)>(Object, Method);
}

using TNotifyEvent = TEvent<void(TObject* Sender)>;

} // namespace rtl
