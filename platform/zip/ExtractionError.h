#pragma once

#include "platform/core/DomainError.h"

#include <string>

namespace bw::zip {

enum class ExtractionErrorKind {
    unreadableArchive,
    unsafeEntryName,
    unsafeLink,
    conflictingEntries,
    insufficientSpace,
    inflatesBeyondSize,
    damagedEntry,
    writeFailed,
};

// Why an archive was not extracted. The description names the entry or file concerned and is
// meant for the person who chose the archive.
class ExtractionError : public DomainError<ExtractionErrorKind, std::string> {
public:
    // `subject` is the entry name or file path; `detail` the reason in a few words.
    ExtractionError(Kind kind, const std::string& subject, const std::string& detail = {});
};

} // namespace bw::zip
