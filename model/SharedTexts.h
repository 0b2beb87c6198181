#pragma once

#include "model/ScanReport.h"

#include <QHash>

namespace bw {

// A history repeats texts word for word: every finding of a rule has the same title,
// explanation and steps in each report, and every report of an app names it the same way.
// Given the reports one after another, this makes each text that equals the one of the same
// place in an earlier report (the rule's finding, the app's metadata, the passed checks) share
// that copy instead of holding its own. Only equal texts are compared, never hashed, so it
// costs about one read of the texts.
class RepeatedTexts {
public:
    void share(ScanReport& report);

private:
    void share(Finding& finding);

    QHash<QString, Finding> findingOfRule_;
    QHash<QString, ScanReport> reportOfApp_;
    std::vector<QString> passedChecks_;
};

} // namespace bw
