#include "model/ReportStoreError.h"

namespace bw {

namespace {

QString describe(ReportStoreError::Kind kind) {
    switch (kind) {
    case ReportStoreError::Kind::directoryUnavailable:
        return QStringLiteral("The Berthwatch reports folder could not be prepared.");
    case ReportStoreError::Kind::unsupportedSchema:
        return QStringLiteral("The saved report format is newer than this version of Berthwatch.");
    case ReportStoreError::Kind::corruptStore:
        return QStringLiteral("The report history is unreadable and no valid backup is available.");
    case ReportStoreError::Kind::refusingToOverwriteCorruptStore:
        return QStringLiteral(
            "Berthwatch preserved the unreadable report history instead of overwriting it.");
    }
    return {};
}

} // namespace

ReportStoreError::ReportStoreError(Kind kind) : DomainError(kind, describe(kind)) {}

ReportStoreError::ReportStoreError(Kind kind, const QString& reason)
    : DomainError(kind, reason.isEmpty()
                            ? describe(kind)
                            : describe(kind).chopped(1) + QStringLiteral(": ") + reason + u'.') {}

} // namespace bw
