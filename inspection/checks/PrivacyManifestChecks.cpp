#include "inspection/checks/PrivacyManifestChecks.h"

#include "inspection/checks/BuildFinding.h"
#include "inspection/checks/ToolRun.h"
#include "platform/fs/FileStatus.h"
#include "platform/fs/ReadWholeFile.h"
#include "platform/plist/PlistValue.h"

#include <QSet>
#include <algorithm>

namespace bw::checks {

namespace {

using plist::PlistDictionary;

constexpr FindingRule invalidManifest{
    "privacy.invalid-manifest", FindingSeverity::blocker, FindingCategory::privacy, "5.1.1", 0.98,
    "A privacy manifest is invalid",
    "App Store Connect rejects manifests that are not valid property lists with supported keys "
    "and values.",
    "Open each PrivacyInfo.xcprivacy in Xcode, correct its structure, and archive again.",
    // App Store Connect's code for an invalid privacy manifest.
    "ITMS-91056"};

constexpr FindingRule noManifest{
    "privacy.no-manifest",
    FindingSeverity::risk,
    FindingCategory::privacy,
    "5.1.1",
    0.82,
    "No privacy manifest was found",
    "The build embeds frameworks but no PrivacyInfo.xcprivacy was located. Whether one is "
    "required depends on used APIs and SDKs.",
    "Generate Xcode\u2019s privacy report, review required reason APIs, and add valid app or SDK "
    "manifests where required."};

constexpr FindingRule userDefaultsReason{
    "privacy.user-defaults-reason",
    FindingSeverity::risk,
    FindingCategory::privacy,
    "5.1.1",
    0.76,
    "UserDefaults usage needs a required reason review",
    "Static symbols indicate preferences APIs, but no matching accessed API category was found "
    "in parsed manifests.",
    "Confirm the API usage in Xcode\u2019s privacy report and declare a reason approved by Apple "
    "when required.",
    "ITMS-91053"};

// A manifest is a small property list; anything larger is not read whole.
constexpr qint64 maxManifestBytes = 16 * 1024 * 1024;
constexpr qsizetype maxListedManifests = 5;

// The accessed-API categories a manifest declares, or absent when it is no readable manifest.
std::optional<QSet<QString>> declaredCategories(const QString& manifest) {
    const auto bytes = fs::tryReadRegularFile(manifest, maxManifestBytes);
    const auto root = bytes ? plist::PlistValue::parse(*bytes) : std::nullopt;
    const PlistDictionary* top = root ? root->dictionary() : nullptr;
    if (top == nullptr) {
        return std::nullopt;
    }
    QSet<QString> categories;
    const plist::PlistValue* types = top->find(u"NSPrivacyAccessedAPITypes");
    const plist::PlistArray* entries = types ? types->array() : nullptr;
    const bool allDictionaries =
        entries != nullptr &&
        std::all_of(entries->begin(), entries->end(),
                    [](const plist::PlistValue& entry) { return entry.dictionary() != nullptr; });
    if (allDictionaries) {
        for (const plist::PlistValue& entry : *entries) {
            if (const QString* type =
                    plist::stringEntry(*entry.dictionary(), u"NSPrivacyAccessedAPIType")) {
                categories.insert(*type);
            }
        }
    }
    return categories;
}

QString manifestCount(qsizetype count) {
    return QString::number(count) + (count == 1 ? QStringLiteral(" privacy manifest parsed")
                                                : QStringLiteral(" privacy manifests parsed"));
}

} // namespace

void inspectPrivacyManifests(const QString& toolDirectory, const QString& app,
                             const std::vector<QString>& files,
                             const std::optional<QString>& executable, Findings& findings,
                             PassedChecks& passedChecks, std::stop_token stop) {
    std::vector<QString> manifests;
    std::copy_if(files.begin(), files.end(), std::back_inserter(manifests),
                 [](const QString& item) {
                     return fs::lastPathComponent(item) == u"PrivacyInfo.xcprivacy";
                 });

    QSet<QString> categories;
    QStringList invalid;
    for (const QString& manifest : manifests) {
        if (const auto declared = declaredCategories(manifest)) {
            categories.unite(*declared);
        } else {
            invalid.push_back(manifest);
        }
    }

    if (!invalid.isEmpty()) {
        QStringList relative;
        for (const QString& path : invalid.mid(0, maxListedManifests)) {
            relative.push_back(QString(path).remove(app + u'/'));
        }
        findings.push_back(buildFinding(invalidManifest, relative.join(QStringLiteral(", "))));
    } else if (!manifests.empty()) {
        passedChecks.push_back(manifestCount(static_cast<qsizetype>(manifests.size())));
    } else {
        const auto frameworks = std::count_if(files.begin(), files.end(), [](const QString& item) {
            return fs::pathExtension(item).toLower() == u"framework";
        });
        if (frameworks > 0) {
            findings.push_back(buildFinding(
                noManifest,
                QString::number(frameworks) +
                    QStringLiteral(" embedded framework directories; 0 privacy manifests")));
        }
    }

    if (!executable) {
        return;
    }
    const auto symbols =
        runForCheck(toolPath(toolDirectory, "nm"), {QStringLiteral("-u"), *executable}, stop);
    if (!symbols) {
        return;
    }
    const QString output = symbols->combinedOutput();
    if (!output.contains(QStringLiteral("NSUserDefaults")) &&
        !output.contains(QStringLiteral("CFPreferences"))) {
        return;
    }
    if (categories.contains(QStringLiteral("NSPrivacyAccessedAPICategoryUserDefaults"))) {
        passedChecks.push_back(QStringLiteral("UserDefaults required reason category declared"));
    } else {
        findings.push_back(
            buildFinding(userDefaultsReason,
                         QStringLiteral("Binary symbols reference NSUserDefaults/CFPreferences; "
                                        "manifest category absent")));
    }
}

} // namespace bw::checks
