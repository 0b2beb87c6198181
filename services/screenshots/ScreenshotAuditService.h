#pragma once

#include "model/Finding.h"
#include "model/ScreenshotSummary.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace bw::image {
struct ImageProbe;
}

namespace bw {

struct ScreenshotAuditResult {
    std::vector<Finding> findings;     // in the order raised
    std::vector<QString> passedChecks; // in the order passed
    ScreenshotSummary summary;

    bool operator==(const ScreenshotAuditResult&) const = default;
};

// The checks of screenshot files that need no network: readable image, size, App Store format
// and alpha, byte-identical duplicates. It keeps nothing between calls.
class ScreenshotAuditService {
public:
    // Never throws: a file that cannot be read or decoded becomes a finding. `isStoreListing`
    // marks the files as App Store product screenshots rather than review evidence.
    ScreenshotAuditResult audit(const std::vector<QString>& files, bool isStoreListing) const;

    // SHA-256 of the bytes as 64 lower-case hexadecimal digits.
    static QString digest(const QByteArray& bytes);
};

} // namespace bw
