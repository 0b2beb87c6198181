#include "model/FindingText.h"

#include <cmath>

namespace bw {

QString severityWord(FindingSeverity severity) {
    switch (severity) {
    case FindingSeverity::blocker:
        return QStringLiteral("Blocker");
    case FindingSeverity::risk:
        return QStringLiteral("Risk");
    case FindingSeverity::manual:
        return QStringLiteral("Manual");
    }
    Q_UNREACHABLE();
    return {};
}

QString confidenceText(double confidence) {
    const double percent = std::trunc(confidence * 100);
    // 2^63 is exactly representable; every double below it (and at or above -2^63) fits qint64.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(percent) || percent >= limit || percent < -limit) {
        return QStringLiteral("Unknown");
    }
    return QString::number(static_cast<qint64>(percent)) + u'%';
}

} // namespace bw
