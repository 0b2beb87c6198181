#include "platform/zip/ExtractionError.h"

namespace bw::zip {

namespace {

std::string describe(ExtractionError::Kind kind, const std::string& subject,
                     const std::string& detail) {
    using Kind = ExtractionError::Kind;
    switch (kind) {
    case Kind::unreadableArchive:
        return subject + ": not a readable zip archive (" + detail + ")";
    case Kind::unsafeEntryName:
        return "refused entry \"" + subject + "\": " + detail;
    case Kind::unsafeLink:
        return "refused symbolic link \"" + subject + "\": " + detail;
    case Kind::conflictingEntries:
        return "refused entry \"" + subject + "\": " + detail;
    case Kind::insufficientSpace:
        return "refused archive " + subject + ": " + detail;
    case Kind::inflatesBeyondSize:
        return "refused entry \"" + subject + "\": its data is larger than its declared size";
    case Kind::damagedEntry:
        return "could not read entry \"" + subject + "\": " + detail;
    case Kind::writeFailed:
        return "could not write \"" + subject + "\": " + detail;
    }
    return subject;
}

} // namespace

ExtractionError::ExtractionError(Kind kind, const std::string& subject, const std::string& detail)
    : DomainError(kind, describe(kind, subject, detail)) {}

} // namespace bw::zip
