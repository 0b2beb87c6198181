#pragma once

#include <exception>
#include <string>

namespace bw::cms {

// Why a CMS message gave no content.
class CmsError : public std::exception {
public:
    enum class Kind {
        notCms,        // not a DER-encoded CMS message
        notSignedData, // a CMS message of another type (enveloped, digested, …)
        noContent,     // a detached signature, or empty content
        badSignature,  // the content does not match its signature
    };

    // `detail` is OpenSSL's own explanation, when it has one.
    explicit CmsError(Kind kind, std::string detail = {});

    Kind kind() const { return kind_; }
    const std::string& description() const { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    Kind kind_;
    std::string description_;
};

} // namespace bw::cms
