#include "platform/codesign/Digest.h"

#include <openssl/evp.h>
#include <stdexcept>

namespace bw::codesign {

namespace {

const EVP_MD* algorithm(HashType type) {
    switch (type) {
    case HashType::sha1:
        return EVP_sha1();
    case HashType::sha256:
    case HashType::sha256Truncated:
        return EVP_sha256();
    case HashType::sha384:
        return EVP_sha384();
    }
    return EVP_sha256();
}

} // namespace

std::optional<HashType> hashTypeFromRaw(std::uint8_t raw) {
    if (raw >= 1 && raw <= 4) {
        return static_cast<HashType>(raw);
    }
    return std::nullopt;
}

std::size_t digestSize(HashType type) {
    switch (type) {
    case HashType::sha1:
    case HashType::sha256Truncated:
        return 20;
    case HashType::sha256:
        return 32;
    case HashType::sha384:
        return 48;
    }
    return 0;
}

struct Hasher::Context {
    EVP_MD_CTX* md = nullptr;
};

Hasher::Hasher(HashType type) : type_(type), context_(new Context) {
    context_->md = EVP_MD_CTX_new();
    if (context_->md == nullptr || EVP_DigestInit_ex(context_->md, algorithm(type), nullptr) != 1) {
        EVP_MD_CTX_free(context_->md);
        delete context_;
        throw std::runtime_error("cannot initialise the digest");
    }
}

Hasher::~Hasher() {
    EVP_MD_CTX_free(context_->md);
    delete context_;
}

void Hasher::update(std::span<const std::uint8_t> bytes) {
    EVP_DigestUpdate(context_->md, bytes.data(), bytes.size());
}

Bytes Hasher::finish() {
    Bytes out(EVP_MAX_MD_SIZE);
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_->md, out.data(), &length);
    out.resize(std::min<std::size_t>(length, digestSize(type_)));
    return out;
}

Bytes digest(HashType type, std::span<const std::uint8_t> bytes) {
    Hasher hasher(type);
    hasher.update(bytes);
    return hasher.finish();
}

std::string hexString(std::span<const std::uint8_t> bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 0xf]);
    }
    return out;
}

} // namespace bw::codesign
