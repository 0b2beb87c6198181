#pragma once

#include <string>
#include <string_view>

namespace bw::cms {

// The content of a DER-encoded CMS SignedData message with the content inside it (a
// provisioning profile, for one). As with Apple's `security cms -D`, the signature is not held
// against the content: a message whose content was changed after signing still gives it.
// Throws CmsError.
std::string signedContent(std::string_view der);

// The outcome of checking a detached signature (a code signature's CMS blob over its code
// directory).
struct DetachedSignatureCheck {
    bool valid = false;
    std::string detail; // why it failed, in OpenSSL's words where it has them
    std::string signer; // the signing certificate's subject, once the signature verifies
};

// Checks a detached CMS SignedData signature over `content` with the certificate the message
// carries. No trust anchor is consulted: the chain is not evaluated.
DetachedSignatureCheck verifyDetached(std::string_view der, std::string_view content);

} // namespace bw::cms
