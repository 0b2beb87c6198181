#pragma once

#include "inspection/BuildScanner.h"
#include "inspection/checks/CheckTypes.h"
#include "tests/inspection/BundleFixtures.h"
#include "tests/support/Findings.h"
#include "tests/support/QtPrinters.h"

#include <QStringList>

namespace bw::test {

// The lists one check appended to, with short forms for comparing them.
struct CheckResults {
    Findings findings;
    PassedChecks passed;

    QStringList ids() const {
        const std::vector<QString> all = findingIds(findings);
        return QStringList(all.begin(), all.end());
    }
    QStringList passedList() const { return QStringList(passed.begin(), passed.end()); }
    const Finding* find(const QString& id) const { return findingWithId(findings, id); }
};

inline QString toolDirectory() {
    return QStringLiteral(BW_LIBEXEC_DIR);
}
inline QString machoFixture(const char* relative) {
    return QStringLiteral(BW_MACHO_FIXTURES_DIR "/") + QString::fromUtf8(relative);
}
inline QString profileFixture(const char* name) {
    return QStringLiteral(BW_PROFILE_FIXTURES_DIR "/") + QString::fromUtf8(name);
}
inline QString buildFixture(const char* name) {
    return QStringLiteral(BW_BUILD_FIXTURES_DIR "/") + QString::fromUtf8(name);
}

} // namespace bw::test
