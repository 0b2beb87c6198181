#pragma once

#include <string>
#include <string_view>

namespace bw::cms {

// The content of a DER-encoded CMS SignedData message with the content inside it (a
// provisioning profile, for one). The signature is checked against the signer certificate the
// message carries, without judging that certificate's chain of trust: a message whose content
// was changed after signing is refused. Throws CmsError.
std::string signedContent(std::string_view der);

} // namespace bw::cms
