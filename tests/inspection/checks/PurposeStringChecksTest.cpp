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
    const char* const camera = "NSCameraUsageDescription";
    const char* const faceID = "NSFaceIDUsageDescription";
    const char* const none = "No protected resource purpose strings declared";
    const struct {
        const char* name;
        const char* key;
        PlistValue value;
        const char* outcome; // the finding raised or the check passed
    } cases[] = {
        {"blanks", camera, text(" \n \t"), "permission.empty.NSCameraUsageDescription"},
        {"vague phrase in any case", "NSMicrophoneUsageDescription",
         text("THIS APP NEEDS the microphone so that you can record your voice memos"),
         "permission.vague.NSMicrophoneUsageDescription"},
        // User-perceived characters count, not code units: "café" with a combining accent.
        {"20 graphemes", faceID, text("Reads your cafe\xCC\x81 menu"),
         "Face ID purpose string is specific"},
        {"19 graphemes in 20 code units", faceID, text("Reads your cafe\xCC\x81 men"),
         "permission.vague.NSFaceIDUsageDescription"},
        {"number is ignored", camera, number(3), none},
        {"key outside the table", "NSCalendarsUsageDescription", text(""), none},
    };
    for (const auto& c : cases) {
        PlistDictionary info;
        info.insert(QString::fromUtf8(c.key), c.value);
        const CheckResults results = purposes(info);
        EXPECT_EQ(results.ids() + results.passedList(), QStringList{c.outcome}) << c.name;
    }
}

TEST(PurposeStringChecks, FirebaseConfigurationAtAnyDepthExactName) {
    const auto firebase = [](const char* path) {
        return purposes({}, {"/b/App.app/Frameworks", QString::fromUtf8(path)}).ids();
    };
    EXPECT_EQ(firebase("/b/App.app/Frameworks/F.framework/GoogleService-Info.plist"),
              QStringList({"privacy.firebase-config"}));
    EXPECT_EQ(firebase("/b/App.app/googleservice-info.plist"), QStringList());
    const CheckResults results =
        purposes({}, {"/b/App.app/GoogleService-Info.plist",
                      QStringLiteral("/b/App.app/Sub/GoogleService-Info.plist")});
    EXPECT_EQ(results.ids(), QStringList({"privacy.firebase-config"}))
        << "one finding for two files";
}
