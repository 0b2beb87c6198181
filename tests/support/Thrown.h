#pragma once

#include <gtest/gtest.h>
#include <optional>
#include <utility>

namespace bw::test {

// The `Error` that `action` throws; a test failure, and nothing, when it returns instead.
template <typename Error, typename Action> std::optional<Error> thrown(Action&& action) {
    try {
        std::forward<Action>(action)();
    } catch (const Error& error) {
        return error;
    }
    ADD_FAILURE() << "nothing was thrown";
    return std::nullopt;
}

// The kind of the domain error that `action` throws.
template <typename Error, typename Action>
std::optional<typename Error::Kind> thrownKind(Action&& action) {
    const std::optional<Error> error = thrown<Error>(std::forward<Action>(action));
    return error ? std::optional(error->kind()) : std::nullopt;
}

} // namespace bw::test
