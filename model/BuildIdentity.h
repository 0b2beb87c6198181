#pragma once

#include <QString>

namespace bw {

// Who a build says it is, as its Info.plist names it. The scan's metadata, the staged preview and
// the build review all carry these same texts.
struct BuildIdentity {
    QString appName;
    QString bundleIdentifier;
    QString version;
    QString buildNumber;
    QString platform;
    QString minimumOS;

    bool operator==(const BuildIdentity&) const = default;
};

size_t qHash(const BuildIdentity& value, size_t seed = 0);

} // namespace bw
