#pragma once

#include "platform/codesign/Digest.h"

#include <string>

namespace bw::codesign {

struct CmsCheck {
    bool valid = false;
    std::string detail; // why it failed, OpenSSL's words where it has them
    std::string signer; // the signing certificate's subject, when one was found
};

// Checks a detached CMS SignedData signature over `content` (a CodeDirectory) with the
// certificate the message carries. No trust anchor is consulted: the chain is not evaluated.
CmsCheck verifyDetachedCms(std::span<const std::uint8_t> der,
                           std::span<const std::uint8_t> content);

} // namespace bw::codesign
