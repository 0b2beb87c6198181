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

TEST(PurposeStringChecks, EachDescriptionIsEmptyVagueOrSpecific) {
    const struct {
        const char* name;
        const char* key;
        PlistValue value;
        QStringList ids;
        QStringList passed;
    } cases[] = {
        {"blanks and line breaks",
         "NSCameraUsageDescription",
         text(" \n \t"),
         list({"permission.empty.NSCameraUsageDescription"}),
         {}},
        {"vague phrase in any case",
         "NSMicrophoneUsageDescription",
         text("THIS APP NEEDS the microphone so that you can record your voice memos"),
         list({"permission.vague.NSMicrophoneUsageDescription"}),
         {}},
        // User-perceived characters count, not code units: "café" with a combining accent.
        {"20 graphemes",
         "NSFaceIDUsageDescription",
         text("Reads your cafe\xCC\x81 menu"),
         {},
         list({"Face ID purpose string is specific"})},
        {"19 graphemes in 20 code units",
         "NSFaceIDUsageDescription",
         text("Reads your cafe\xCC\x81 men"),
         list({"permission.vague.NSFaceIDUsageDescription"}),
         {}},
        {"number is ignored",
         "NSCameraUsageDescription",
         number(3),
         {},
         list({"No protected resource purpose strings declared"})},
        {"key outside the table",
         "NSCalendarsUsageDescription",
         text(""),
         {},
         list({"No protected resource purpose strings declared"})},
    };
    for (const auto& c : cases) {
        PlistDictionary info;
        info.insert(QString::fromUtf8(c.key), c.value);
        const CheckResults results = purposes(info);
        EXPECT_EQ(results.ids(), c.ids) << c.name;
        EXPECT_EQ(results.passedList(), c.passed) << c.name;
    }
}

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
    EXPECT_EQ(results.ids(), list({"privacy.firebase-config"})) << "one finding for two files";
}
