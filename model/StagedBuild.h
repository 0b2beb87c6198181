#pragma once

#include "model/BuildIdentity.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUuid>
#include <optional>

namespace bw {

// What a staged build's bundle says about itself, read quickly without a scan.
struct StagedBuildPreview : BuildIdentity {
    std::optional<QByteArray> iconPNG;
    std::optional<QString> targetDevices;
    std::optional<qint64> bundleSize;

    bool operator==(const StagedBuildPreview&) const = default;
};

// A build artifact chosen for review, before or between scans. Kept in memory only.
struct StagedBuild {
    QUuid id;
    QString fileName;
    QString path;
    QDateTime addedAt;
    std::optional<StagedBuildPreview> preview;
    std::optional<QString> previewError;

    bool operator==(const StagedBuild&) const = default;
};

// A file that the import refused because its kind is not accepted.
struct ImportRejection {
    QString fileName;      // without its extension
    QString fileExtension; // without the dot

    bool operator==(const ImportRejection&) const = default;
};

size_t qHash(const StagedBuildPreview& value, size_t seed = 0);
size_t qHash(const StagedBuild& value, size_t seed = 0);

} // namespace bw
