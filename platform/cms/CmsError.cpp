#include "platform/cms/CmsError.h"

namespace bw::cms {

namespace {

std::string describe(CmsError::Kind kind) {
    switch (kind) {
    case CmsError::Kind::notCms:
        return "not a CMS message";
    case CmsError::Kind::notSignedData:
        return "the CMS message is not signed data";
    case CmsError::Kind::noContent:
        return "the CMS message has no content";
    }
    return {};
}

} // namespace

CmsError::CmsError(Kind kind, const std::string& detail)
    : DomainError(kind, detail.empty() ? describe(kind) : describe(kind) + " (" + detail + ")") {}

} // namespace bw::cms
