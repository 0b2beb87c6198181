#include "inspection/checks/PlatformChecks.h"

#include "inspection/checks/BuildFinding.h"
#include "platform/fs/FileStatus.h"

namespace bw::checks {

namespace {

constexpr FindingRule macSandbox{
    "platform.mac-sandbox",
    FindingSeverity::blocker,
    FindingCategory::signing,
    "2.5.1",
    0.98,
    "Mac App Sandbox entitlement is missing",
    "Mac App Store submissions must use App Sandbox.",
    "Enable App Sandbox for the App Store target, grant only required capabilities, and archive "
    "again."};

constexpr FindingRule exportCompliance{
    "metadata.export-compliance",
    FindingSeverity::manual,
    FindingCategory::metadata,
    "2.1",
    0.98,
    "Export compliance answer is not embedded",
    "The build does not state whether it uses encryption that is not exempt. This is not always "
    "an error, but App Store Connect will require an answer.",
    "Determine the app\u2019s encryption usage and set the key when appropriate, then ensure App "
    "Store Connect answers match."};

} // namespace

bool isMacOSBuild(const plist::PlistDictionary& info, const QString& app) {
    // Many macOS apps state no platform at all; their layout still tells.
    if (fs::exists(app + QStringLiteral("/Contents/Info.plist")) &&
        fs::isFolder(app + QStringLiteral("/Contents/MacOS"))) {
        return true;
    }
    const QString* platform = plist::stringEntry(info, u"DTPlatformName");
    if (platform != nullptr && platform->toLower() == u"macosx") {
        return true;
    }
    return info.find(u"LSMinimumSystemVersion") != nullptr;
}

void inspectPlatformRequirements(const plist::PlistDictionary& info, const QString& app,
                                 const plist::PlistDictionary& entitlements, Findings& findings,
                                 PassedChecks& passedChecks) {
    if (isMacOSBuild(info, app)) {
        const plist::PlistValue* sandbox = entitlements.find(u"com.apple.security.app-sandbox");
        if (sandbox != nullptr && sandbox->boolean() == true) {
            passedChecks.push_back(QStringLiteral("Mac App Sandbox entitlement enabled"));
        } else {
            findings.push_back(buildFinding(
                macSandbox, QStringLiteral("com.apple.security.app-sandbox is absent or false")));
        }
    }
    if (info.find(u"ITSAppUsesNonExemptEncryption") == nullptr) {
        findings.push_back(buildFinding(exportCompliance,
                                        QStringLiteral("ITSAppUsesNonExemptEncryption is absent")));
    }
}

} // namespace bw::checks
