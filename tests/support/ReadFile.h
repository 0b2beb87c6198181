#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace bw::test {

// Every byte of a file as `Bytes` (std::string, or a vector of one-byte values); throws when the
// file cannot be opened, so that a missing fixture fails loudly.
template <typename Bytes = std::string> Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writes every byte of `bytes` (std::string, or a vector of one-byte values) over the file;
// throws when it cannot, so that a fixture is never left half made.
template <typename Bytes> void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

} // namespace bw::test
