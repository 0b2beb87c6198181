#include "inspection/checks/ResourceChecks.h"

#include "inspection/checks/BuildFinding.h"
#include "platform/fs/FileStatus.h"
#include "platform/fs/FileWalk.h"

#include <algorithm>

namespace bw::checks {

namespace {

using plist::PlistDictionary;
using plist::PlistValue;

constexpr FindingRule missingIcon{
    "resources.icon",
    FindingSeverity::risk,
    FindingCategory::resources,
    "2.1",
    0.98,
    "Application icon could not be confirmed",
    "No compiled asset catalog or explicit application icon declaration was found.",
    "Add a complete AppIcon asset set for every supported platform and archive again."};

constexpr FindingRule debris{
    "package.debris",
    FindingSeverity::risk,
    FindingCategory::package,
    "2.1",
    0.98,
    "Packaging debris is included",
    "The final bundle contains files that should not ship.",
    "Remove generated desktop metadata and other unrelated files from Copy Bundle Resources."};

constexpr FindingRule arbitraryLoads{
    "privacy.ats-arbitrary",
    FindingSeverity::risk,
    FindingCategory::privacy,
    "5.1.1",
    0.98,
    "Arbitrary network loads are enabled",
    "The application disables App Transport Security broadly instead of declaring narrow "
    "exceptions.",
    "Remove the global exception and add narrow exceptions only for domains that genuinely "
    "require them."};

constexpr FindingRule emptyBundle{
    "package.empty",
    FindingSeverity::blocker,
    FindingCategory::package,
    "2.1",
    0.98,
    "Application bundle is empty",
    "No regular files were counted inside the selected application bundle.",
    "Choose the exported archive or IPA produced by Xcode and scan again."};

constexpr int maxListedNames = 5;

bool hasIconResources(const PlistDictionary& info, const std::vector<QString>& files) {
    const bool assetCatalog = std::any_of(files.begin(), files.end(), [](const QString& item) {
        return fs::lastPathComponent(item) == u"Assets.car";
    });
    const PlistValue* icons = info.find(u"CFBundleIcons");
    return assetCatalog || plist::stringEntry(info, u"CFBundleIconName") != nullptr ||
           plist::stringEntry(info, u"CFBundleIconFile") != nullptr ||
           (icons != nullptr && icons->dictionary() != nullptr);
}

// Debris is mostly hidden (.DS_Store), so this walk, unlike the scan's item list, keeps hidden
// items.
QStringList debrisNames(const QString& app, std::stop_token stop) {
    QStringList names;
    const auto items =
        fs::walk(app, {.skipHidden = false, .descendIntoPackages = true, .stop = std::move(stop)});
    for (const QString& item : items.value_or(std::vector<QString>{})) {
        const QString name = fs::lastPathComponent(item);
        const QString lowered = name.toLower();
        if (lowered == u".ds_store" || lowered == u"thumbs.db") {
            names.push_back(name);
            if (names.size() == maxListedNames) {
                break;
            }
        }
    }
    return names;
}

bool allowsArbitraryLoads(const PlistDictionary& info) {
    const PlistValue* security = info.find(u"NSAppTransportSecurity");
    const PlistDictionary* settings = security ? security->dictionary() : nullptr;
    const PlistValue* allows = settings ? settings->find(u"NSAllowsArbitraryLoads") : nullptr;
    return allows != nullptr && allows->boolean() == true;
}

} // namespace

void inspectResources(const PlistDictionary& info, const QString& app,
                      const std::vector<QString>& files, qint64 bundleSize, Findings& findings,
                      PassedChecks& passedChecks, std::stop_token stop) {
    if (hasIconResources(info, files)) {
        passedChecks.push_back(QStringLiteral("Application icon resources present"));
    } else {
        findings.push_back(buildFinding(
            missingIcon,
            QStringLiteral(
                "No Assets.car, CFBundleIconName, CFBundleIconFile, or CFBundleIcons entry")));
    }

    const QStringList names = debrisNames(app, std::move(stop));
    if (names.isEmpty()) {
        passedChecks.push_back(QStringLiteral("No common packaging debris found"));
    } else {
        findings.push_back(buildFinding(debris, names.join(QStringLiteral(", "))));
    }

    if (allowsArbitraryLoads(info)) {
        findings.push_back(
            buildFinding(arbitraryLoads,
                         QStringLiteral("NSAppTransportSecurity.NSAllowsArbitraryLoads = true")));
    } else {
        passedChecks.push_back(QStringLiteral("App Transport Security is not globally disabled"));
    }

    if (bundleSize == 0) {
        findings.push_back(
            buildFinding(emptyBundle, QStringLiteral("Calculated bundle size: 0 bytes")));
    }
}

} // namespace bw::checks
