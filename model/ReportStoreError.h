#pragma once

#include "platform/core/DomainError.h"

#include <QString>

namespace bw {

enum class ReportStoreErrorKind {
    directoryUnavailable,
    unsupportedSchema,
    corruptStore,
    refusingToOverwriteCorruptStore
};

// The failures of the report history that the user is told about in the store's own words.
class ReportStoreError : public DomainError<ReportStoreErrorKind, QString> {
public:
    explicit ReportStoreError(Kind kind);
    // The same failure with the system's reason, as in "…could not be prepared: Permission
    // denied."
    ReportStoreError(Kind kind, const QString& reason);
};

} // namespace bw
