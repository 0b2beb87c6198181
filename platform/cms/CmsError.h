#pragma once

#include "platform/core/DomainError.h"

#include <string>

namespace bw::cms {

enum class CmsErrorKind {
    notCms,        // not a DER-encoded CMS message
    notSignedData, // a CMS message of another type (enveloped, digested, …)
    noContent,     // a detached signature, or empty content
};

// Why a CMS message gave no content.
class CmsError : public DomainError<CmsErrorKind, std::string> {
public:
    // `detail` is OpenSSL's own explanation, when it has one.
    explicit CmsError(Kind kind, const std::string& detail = {});
};

} // namespace bw::cms
