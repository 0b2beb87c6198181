#pragma once

#include <exception>
#include <string>

namespace bw::zip {

// Why an archive was not extracted. The description names the entry or file concerned and is
// meant for the person who chose the archive.
class ExtractionError : public std::exception {
public:
    enum class Kind {
        unreadableArchive,
        unsafeEntryName,
        unsafeLink,
        conflictingEntries,
        insufficientSpace,
        inflatesBeyondSize,
        damagedEntry,
        writeFailed,
    };

    // `subject` is the entry name or file path; `detail` the reason in a few words.
    ExtractionError(Kind kind, std::string subject, std::string detail = {});

    Kind kind() const { return kind_; }
    const std::string& description() const { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    Kind kind_;
    std::string description_;
};

} // namespace bw::zip
