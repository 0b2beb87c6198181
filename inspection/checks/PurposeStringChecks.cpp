#include "inspection/checks/PurposeStringChecks.h"

#include "inspection/checks/BuildFinding.h"
#include "platform/fs/FileStatus.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace bw::checks {

namespace {

struct PurposeKey {
    const char* key;
    const char* label;
};

constexpr PurposeKey purposeKeys[] = {
    {"NSCameraUsageDescription", "Camera"},
    {"NSMicrophoneUsageDescription", "Microphone"},
    {"NSPhotoLibraryUsageDescription", "Photo Library"},
    {"NSPhotoLibraryAddUsageDescription", "Photo Library Additions"},
    {"NSLocationWhenInUseUsageDescription", "Location"},
    {"NSLocationAlwaysAndWhenInUseUsageDescription", "Background Location"},
    {"NSContactsUsageDescription", "Contacts"},
    {"NSCalendarsFullAccessUsageDescription", "Calendars"},
    {"NSRemindersFullAccessUsageDescription", "Reminders"},
    {"NSBluetoothAlwaysUsageDescription", "Bluetooth"},
    {"NSLocalNetworkUsageDescription", "Local Network"},
    {"NSFaceIDUsageDescription", "Face ID"},
    {"NSMotionUsageDescription", "Motion"},
    {"NSHealthShareUsageDescription", "Health Data"},
    {"NSHealthUpdateUsageDescription", "Health Data Updates"},
    {"NSSpeechRecognitionUsageDescription", "Speech Recognition"},
    {"NFCReaderUsageDescription", "NFC"},
    {"NSAppleMusicUsageDescription", "Media Library"},
    {"NSUserTrackingUsageDescription", "Tracking"},
};

constexpr const char* vaguePhrases[] = {
    "access is required", "needs access",           "required to work", "we need access",
    "this app needs",     "permission is required", "allow access",
};

constexpr qsizetype minimumSpecificLength = 20;

constexpr FindingRule emptyPurpose{
    "",
    FindingSeverity::blocker,
    FindingCategory::permissions,
    "5.1.1",
    0.98,
    "",
    "A protected resource is declared without a clear explanation for the user.",
    ""};

constexpr FindingRule vaguePurpose{
    "",
    FindingSeverity::risk,
    FindingCategory::permissions,
    "5.1.1",
    0.98,
    "",
    "The text should identify the exact feature and explain how the data is used.",
    "Replace generic permission language with a concrete explanation specific to the feature."};

constexpr FindingRule firebaseConfig{
    "privacy.firebase-config",
    FindingSeverity::manual,
    FindingCategory::privacy,
    "5.1.1",
    0.9,
    "Firebase data disclosure needs a metadata comparison",
    "A Firebase configuration file is embedded. The build alone cannot prove that App Privacy "
    "answers match enabled Firebase products.",
    "Connect App Store Connect and compare enabled Firebase products with the app\u2019s privacy "
    "labels."};

// User-perceived characters: "é" written as e and a combining accent counts once.
qsizetype graphemeCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1) {
        ++count;
    }
    return count;
}

bool isSpecific(const QString& text) {
    if (graphemeCount(text) < minimumSpecificLength) {
        return false;
    }
    const QString lowered = text.toLower();
    return std::none_of(std::begin(vaguePhrases), std::end(vaguePhrases), [&](const char* phrase) {
        return lowered.contains(QLatin1String(phrase));
    });
}

} // namespace

void inspectPurposeStrings(const plist::PlistDictionary& info, const std::vector<QString>& files,
                           Findings& findings, PassedChecks& passedChecks) {
    int declared = 0;
    for (const PurposeKey& row : purposeKeys) {
        const QString key = QString::fromLatin1(row.key);
        const QString label = QString::fromUtf8(row.label);
        const QString* value = plist::stringEntry(info, key);
        if (value == nullptr) {
            continue;
        }
        ++declared;
        const QString text = value->trimmed();
        if (text.isEmpty()) {
            findings.push_back(buildFinding(
                emptyPurpose, QStringLiteral("permission.empty.") + key,
                label + QStringLiteral(" purpose string is empty"),
                key + QStringLiteral(" is empty"),
                QStringLiteral(
                    "Explain the exact feature, action, and user benefit that require ") +
                    label.toLower() + u'.'));
        } else if (isSpecific(text)) {
            passedChecks.push_back(label + QStringLiteral(" purpose string is specific"));
        } else {
            findings.push_back(
                buildFinding(vaguePurpose, QStringLiteral("permission.vague.") + key,
                             label + QStringLiteral(" purpose string may be too vague"),
                             key + QStringLiteral(" = \u201C") + text + QStringLiteral("\u201D"),
                             QString::fromUtf8(vaguePurpose.fix)));
        }
    }
    if (declared == 0) {
        passedChecks.push_back(QStringLiteral("No protected resource purpose strings declared"));
    }
    if (std::any_of(files.begin(), files.end(), [](const QString& item) {
            return fs::lastPathComponent(item) == u"GoogleService-Info.plist";
        })) {
        findings.push_back(buildFinding(
            firebaseConfig,
            QStringLiteral("GoogleService-Info.plist is embedded in the application bundle")));
    }
}

} // namespace bw::checks
