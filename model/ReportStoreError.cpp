#include "model/ReportStoreError.h"

#include <QDir>

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

ReportStoreError::ReportStoreError(Kind kind, const QString& description)
    : DomainError(kind, description) {}

ReportStoreError ReportStoreError::folderUnavailable(const QString& folder, const QString& reason) {
    const QString named =
        QStringLiteral("The Berthwatch reports folder \u201C%1\u201D could not be prepared")
            .arg(QDir::toNativeSeparators(folder));
    return {Kind::directoryUnavailable,
            reason.isEmpty() ? named + u'.' : named + QStringLiteral(": ") + reason + u'.'};
}

} // namespace bw
