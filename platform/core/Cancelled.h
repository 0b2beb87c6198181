#pragma once

#include <exception>

namespace bw {

// Thrown by every long operation that noticed its stop token was triggered. Callers that cancel
// expect it; nothing else catches it.
class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "The operation was cancelled."; }
};

} // namespace bw
