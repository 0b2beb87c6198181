#pragma once

#include <filesystem>

namespace bw::codesign {

inline constexpr const char* unsealedFrameworkRootReason =
    "unsealed contents present in the root directory of an embedded framework";

// A versioned framework's root lies outside its seal, so a strict verification allows only the
// standard shape there: the Versions folder (version folders and a Current link to one of them),
// top-level links to their namesakes in the current version, a module map and Finder's
// .DS_Store files.
bool frameworkRootIsStandard(const std::filesystem::path& framework);

} // namespace bw::codesign
