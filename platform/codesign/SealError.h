#pragma once

#include "platform/core/Result.h"

#include <string>

namespace bw::codesign {

// Why a bundle's resource seal cannot be checked. A value, not an exception: the seal is part of
// the untrusted bundle, and each caller decides what the failure means for the verdict.
struct SealError {
    enum class Kind {
        obsoleteEnvelope, // only the version 1 form
        malformed,        // not a property list of the expected shape
        invalidRule,      // a rule whose pattern does not compile
    };
    Kind kind = Kind::malformed;
    std::string reason;

    bool operator==(const SealError&) const = default;
};

template <typename T> using SealResult = Result<T, SealError>;

} // namespace bw::codesign
