#pragma once

#include <cassert>
#include <utility>
#include <variant>

namespace bw {

// A value or the reason there is none, for readers of untrusted formats whose every caller must
// look at the outcome; the small stand-in for std::expected that C++20 lacks.
template <typename T, typename E> class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        assert(ok());
        return std::get<0>(state_);
    }
    const T& value() const& {
        assert(ok());
        return std::get<0>(state_);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(state_));
    }
    const E& error() const {
        assert(!ok());
        return std::get<1>(state_);
    }

    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

private:
    std::variant<T, E> state_;
};

} // namespace bw

// Declares `name` as the outcome of `expression`, a Result, and returns its error from the
// enclosing function (whose result is a Result or an optional error) when it holds no value.
#define BW_TRY(name, expression)                                                                   \
    auto name = (expression);                                                                      \
    if (!name)                                                                                     \
    return name.error()
