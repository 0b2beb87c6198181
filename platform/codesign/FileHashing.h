#pragma once

#include "platform/codesign/Digest.h"

#include <filesystem>
#include <string>
#include <vector>

namespace bw::codesign {

// What to compute for one file; a resource seal may record SHA-1, SHA-256 or both.
struct FileHashRequest {
    std::filesystem::path path;
    bool sha1 = false;
    bool sha256 = true;
};

struct FileHashResult {
    Bytes sha1;        // empty unless requested
    Bytes sha256;      // empty unless requested
    std::string error; // the system's message when the file could not be read
};

// Hashes one file, reading it once whatever the number of digests.
FileHashResult hashFile(const FileHashRequest& request);

// Hashes every file on up to `threads` worker threads; results are in request order.
std::vector<FileHashResult> hashFiles(const std::vector<FileHashRequest>& requests,
                                      unsigned threads);

// Worker count for file hashing: the machine's cores, at least one.
unsigned defaultHashThreads();

} // namespace bw::codesign
