#include "platform/codesign/CmsSignature.h"

#include <memory>
#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/x509.h>

namespace bw::codesign {

namespace {

std::string opensslReason() {
    unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0) {
        return "no reason given";
    }
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

std::string subjectOf(CMS_ContentInfo* cms) {
    STACK_OF(X509)* certificates = CMS_get1_certs(cms);
    std::string subject;
    if (certificates != nullptr && sk_X509_num(certificates) > 0) {
        char* line =
            X509_NAME_oneline(X509_get_subject_name(sk_X509_value(certificates, 0)), nullptr, 0);
        subject = line != nullptr ? line : "";
        OPENSSL_free(line);
    }
    sk_X509_pop_free(certificates, X509_free);
    return subject;
}

} // namespace

CmsCheck verifyDetachedCms(std::span<const std::uint8_t> der,
                           std::span<const std::uint8_t> content) {
    CmsCheck check;
    const unsigned char* cursor = der.data();
    std::unique_ptr<CMS_ContentInfo, decltype(&CMS_ContentInfo_free)> cms(
        d2i_CMS_ContentInfo(nullptr, &cursor, static_cast<long>(der.size())), CMS_ContentInfo_free);
    if (!cms) {
        check.detail = "the CMS signature is not DER-encoded CMS (" + opensslReason() + ")";
        return check;
    }
    if (OBJ_obj2nid(CMS_get0_type(cms.get())) != NID_pkcs7_signed) {
        check.detail = "the CMS signature is not SignedData";
        return check;
    }
    if (CMS_get0_content(cms.get()) != nullptr && *CMS_get0_content(cms.get()) != nullptr) {
        check.detail = "the CMS signature carries content instead of signing the code directory";
        return check;
    }
    check.signer = subjectOf(cms.get());
    std::unique_ptr<BIO, decltype(&BIO_free)> data(
        BIO_new_mem_buf(content.data(), static_cast<int>(content.size())), BIO_free);
    int ok = CMS_verify(cms.get(), nullptr, nullptr, data.get(), nullptr,
                        CMS_NO_SIGNER_CERT_VERIFY | CMS_BINARY | CMS_DETACHED);
    if (ok != 1) {
        check.detail = "the CMS signature does not verify (" + opensslReason() + ")";
        return check;
    }
    check.valid = true;
    return check;
}

} // namespace bw::codesign
