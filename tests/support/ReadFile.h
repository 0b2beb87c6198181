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

} // namespace bw::test
