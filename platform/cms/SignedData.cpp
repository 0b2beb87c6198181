#include "platform/cms/SignedData.h"

#include "platform/cms/CmsError.h"

#include <climits>
#include <memory>
#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/x509.h>

namespace bw::cms {

namespace {

struct FreeBio {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct FreeCms {
    void operator()(CMS_ContentInfo* cms) const { CMS_ContentInfo_free(cms); }
};
using BioPtr = std::unique_ptr<BIO, FreeBio>;
using CmsPtr = std::unique_ptr<CMS_ContentInfo, FreeCms>;

// OpenSSL's reason for the most recent failure; empties its error queue either way.
std::string takeOpenSslError() {
    const unsigned long code = ERR_peek_last_error();
    std::string reason;
    if (code != 0) {
        const char* text = ERR_reason_error_string(code);
        reason = text != nullptr ? text : "";
    }
    ERR_clear_error();
    return reason;
}

// The certificate that made the (verified) signature: Apple's signatures carry their chain too,
// in no particular order.
std::string signerSubject(CMS_ContentInfo* cms) {
    STACK_OF(X509)* signers = CMS_get0_signers(cms);
    std::string subject;
    if (signers != nullptr && sk_X509_num(signers) > 0) {
        char* line =
            X509_NAME_oneline(X509_get_subject_name(sk_X509_value(signers, 0)), nullptr, 0);
        subject = line != nullptr ? line : "";
        OPENSSL_free(line);
    }
    sk_X509_free(signers);
    return subject;
}

std::string withReason(std::string text, const std::string& reason) {
    return reason.empty() ? text : text + " (" + reason + ")";
}

CmsPtr parse(std::string_view der) {
    if (der.empty() || der.size() > std::size_t(INT_MAX)) {
        throw CmsError(CmsError::Kind::notCms);
    }
    const BioPtr input(BIO_new_mem_buf(der.data(), int(der.size())));
    CmsPtr cms(input ? d2i_CMS_bio(input.get(), nullptr) : nullptr);
    if (!cms) {
        throw CmsError(CmsError::Kind::notCms, takeOpenSslError());
    }
    return cms;
}

} // namespace

std::string signedContent(std::string_view der) {
    const CmsPtr cms = parse(der);
    if (OBJ_obj2nid(CMS_get0_type(cms.get())) != NID_pkcs7_signed) {
        throw CmsError(CmsError::Kind::notSignedData);
    }
    ASN1_OCTET_STRING** content = CMS_get0_content(cms.get());
    if (content == nullptr || *content == nullptr || ASN1_STRING_length(*content) == 0) {
        throw CmsError(CmsError::Kind::noContent);
    }
    return std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(*content)),
                       std::size_t(ASN1_STRING_length(*content)));
}

DetachedSignatureCheck verifyDetached(std::string_view der, std::string_view content) {
    DetachedSignatureCheck check;
    CmsPtr cms;
    try {
        cms = parse(der);
    } catch (const CmsError& error) {
        check.detail = "the CMS signature is " + error.description();
        return check;
    }
    if (OBJ_obj2nid(CMS_get0_type(cms.get())) != NID_pkcs7_signed) {
        check.detail = "the CMS signature is not SignedData";
        return check;
    }
    ASN1_OCTET_STRING** embedded = CMS_get0_content(cms.get());
    if (embedded != nullptr && *embedded != nullptr) {
        check.detail = "the CMS signature carries content instead of signing the code directory";
        return check;
    }
    const BioPtr data(BIO_new_mem_buf(content.data(), int(content.size())));
    if (!data || CMS_verify(cms.get(), nullptr, nullptr, data.get(), nullptr,
                            CMS_NO_SIGNER_CERT_VERIFY | CMS_BINARY | CMS_DETACHED) != 1) {
        check.detail = withReason("the CMS signature does not verify", takeOpenSslError());
        return check;
    }
    check.valid = true;
    check.signer = signerSubject(cms.get());
    return check;
}

} // namespace bw::cms
