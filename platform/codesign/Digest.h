#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace bw::codesign {

using Bytes = std::vector<std::uint8_t>;

// Hash types as numbered in a CodeDirectory's hashType field.
enum class HashType : std::uint8_t { sha1 = 1, sha256 = 2, sha256Truncated = 3, sha384 = 4 };

// The type for a raw CodeDirectory hashType value; absent for numbers the format does not define.
std::optional<HashType> hashTypeFromRaw(std::uint8_t raw);
// Bytes a hash of this type occupies in a hash slot (truncated SHA-256 keeps 20).
std::size_t digestSize(HashType type);

Bytes digest(HashType type, std::span<const std::uint8_t> bytes);

// Incremental hashing for data that arrives in pieces (files, pages).
class Hasher {
public:
    explicit Hasher(HashType type);
    ~Hasher();
    Hasher(const Hasher&) = delete;
    Hasher& operator=(const Hasher&) = delete;

    void update(std::span<const std::uint8_t> bytes);
    Bytes finish();

private:
    HashType type_;
    struct Context;
    Context* context_;
};

std::string hexString(std::span<const std::uint8_t> bytes);

} // namespace bw::codesign
