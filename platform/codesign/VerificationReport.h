#pragma once

#include "platform/codesign/CodeVerifier.h"

#include <string>
#include <vector>

namespace bw::codesign {

// The lines `codesign --verify` prints about `path` at `verbosity` (the count of -v), in the
// shape of Apple's tool: from verbosity 2 the nested code a deep verification prepared and
// validated; on failure, at any verbosity, the reason, the architecture and nested code it lies
// in, and every added, modified and missing file of that code; on success, from verbosity 1,
// "valid on disk" and then, one line each, what could not be evaluated.
std::vector<std::string> verificationReport(const std::string& path,
                                            const Verification& verification, int verbosity);

} // namespace bw::codesign
