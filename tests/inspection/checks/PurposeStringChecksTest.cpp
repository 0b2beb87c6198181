#include "inspection/checks/PurposeStringChecks.h"

#include "tests/inspection/checks/CheckResults.h"

#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

namespace {

CheckResults purposes(const PlistDictionary& info, const std::vector<QString>& files = {}) {
    CheckResults results;
    checks::inspectPurposeStrings(info, files, results.findings, results.passed);
    return results;
}

} // namespace

TEST(PurposeStringChecks, FirebaseConfigurationAtAnyDepthExactName) {
    const auto firebase = [](const char* path) {
        return purposes({}, {QStringLiteral("/b/App.app/Frameworks"), QString::fromUtf8(path)})
            .ids();
    };
    EXPECT_EQ(firebase("/b/App.app/Frameworks/F.framework/GoogleService-Info.plist"),
              list({"privacy.firebase-config"}));
    EXPECT_EQ(firebase("/b/App.app/googleservice-info.plist"), QStringList());
    const CheckResults results =
        purposes({}, {QStringLiteral("/b/App.app/GoogleService-Info.plist"),
                      QStringLiteral("/b/App.app/Sub/GoogleService-Info.plist")});
    ASSERT_EQ(results.findings.size(), 1u);
    const Finding& finding = results.findings[0];
    EXPECT_EQ(finding.severity, FindingSeverity::manual);
    EXPECT_EQ(finding.confidence, 0.9);
    EXPECT_EQ(finding.category, FindingCategory::privacy);
    EXPECT_EQ(finding.fix, QString::fromUtf8("Connect App Store Connect and compare enabled "
                                             "Firebase products with the app\xE2\x80\x99s "
                                             "privacy labels."));
}
