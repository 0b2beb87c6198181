#pragma once

#include "model/BuildIdentity.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace bw {

// What the build says about itself.
struct BuildMetadata : BuildIdentity {
    std::vector<QString> architectures;
    std::vector<QString> sdkNames;
    qint64 bundleSize;
    std::optional<QByteArray> iconPNG;

    bool operator==(const BuildMetadata&) const = default;
};

size_t qHash(const BuildMetadata& value, size_t seed = 0);

} // namespace bw
