#include "inspection/checks/MetadataChecks.h"

#include "inspection/checks/BuildFinding.h"

#include <QRegularExpression>

namespace bw::checks {

namespace {

using plist::PlistDictionary;
using plist::stringEntry;

struct RequiredKey {
    const char* key;
    const char* title;
    const char* fix;
};

constexpr RequiredKey requiredKeys[] = {
    {"CFBundleIdentifier", "Bundle identifier is missing",
     "Set PRODUCT_BUNDLE_IDENTIFIER to the App Store Connect bundle ID."},
    {"CFBundleShortVersionString", "Marketing version is missing",
     "Set MARKETING_VERSION to the version you will submit."},
    {"CFBundleVersion", "Build number is missing",
     "Set CURRENT_PROJECT_VERSION to a valid build number."},
    {"CFBundleExecutable", "Bundle executable is missing",
     "Ensure the target generates CFBundleExecutable and rebuild the archive."},
};

constexpr FindingRule missingKey{
    "", FindingSeverity::blocker, FindingCategory::package, "2.1", 0.98, "", "", ""};

constexpr FindingRule invalidBundleId{
    "metadata.invalid-bundle-id",
    FindingSeverity::blocker,
    FindingCategory::package,
    "2.1",
    0.98,
    "Bundle identifier is unresolved",
    "The final Info.plist contains a placeholder or whitespace in the bundle identifier.",
    "Resolve the build setting to the exact registered bundle identifier and archive again."};

constexpr FindingRule versionFormat{
    "metadata.version-format",
    FindingSeverity::risk,
    FindingCategory::package,
    "2.1",
    0.98,
    "Version format is unusual",
    "App Store versions normally use one to three integer components separated by periods.",
    "Use a version such as 1.0 or 1.0.1 and make it match App Store Connect."};

// One to three dot-separated runs of decimal digits, as the platform's ICU engine matches
// ^\d+(\.\d+){0,2}$: \d is any Unicode decimal digit, and $ also matches before one line
// terminator that ends the text.
const QRegularExpression& versionPattern() {
    static const QRegularExpression pattern(
        QStringLiteral(R"(\A\d+(?:\.\d+){0,2}(?:\r\n|[\n\x{0B}\f\r\x{85}\x{2028}\x{2029}])?\z)"),
        QRegularExpression::UseUnicodePropertiesOption);
    return pattern;
}

} // namespace

void inspectMetadata(const PlistDictionary& info, Findings& findings, PassedChecks& passedChecks) {
    for (const RequiredKey& row : requiredKeys) {
        const QString key = QString::fromLatin1(row.key);
        const QString* value = stringEntry(info, key);
        if (value != nullptr && !value->trimmed().isEmpty()) {
            passedChecks.push_back(key + QStringLiteral(" present"));
            continue;
        }
        Finding finding = buildFinding(
            missingKey, QStringLiteral("metadata.") + key, QString::fromUtf8(row.title),
            QStringLiteral("Info.plist: ") + key + QStringLiteral(" is absent or empty"),
            QString::fromUtf8(row.fix));
        finding.detail =
            QStringLiteral("The final application Info.plist does not contain a usable ") + key +
            QStringLiteral(" value.");
        findings.push_back(std::move(finding));
    }

    if (const QString* identifier = stringEntry(info, u"CFBundleIdentifier")) {
        if (identifier->contains(QStringLiteral("$(")) || identifier->contains(u' ')) {
            findings.push_back(buildFinding(invalidBundleId,
                                            QStringLiteral("CFBundleIdentifier = ") + *identifier));
        }
    }

    if (const QString* version = stringEntry(info, u"CFBundleShortVersionString")) {
        if (!versionPattern().match(*version).hasMatch()) {
            findings.push_back(buildFinding(
                versionFormat, QStringLiteral("CFBundleShortVersionString = ") + *version));
        }
    }
}

} // namespace bw::checks
