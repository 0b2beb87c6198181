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

    // directoryUnavailable, naming the folder, with the system's reason when there is one: "The
    // Berthwatch reports folder “/home/ana/.local/share/Berthwatch” could not be prepared:
    // Read-only file system."
    static ReportStoreError folderUnavailable(const QString& folder, const QString& reason);

private:
    ReportStoreError(Kind kind, const QString& description);
};

} // namespace bw
