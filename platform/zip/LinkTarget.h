#pragma once

#include <cstddef>
#include <string_view>

namespace bw::zip {

// Whether a symbolic link whose target is `target`, lying `linkDepth` folders below the
// destination, can only ever resolve inside the destination.
//
// Relative targets only, and every ".." must come first: "../../Frameworks/Kit" is fine, while
// "here/.." is refused even though it looks harmless, because "here" may itself be a link and
// the kernel resolves ".." after it from wherever that link leads.
bool linkTargetStaysInside(std::string_view target, std::size_t linkDepth);

} // namespace bw::zip
