#include "inspection/checks/ProvisioningProfileChecks.h"

#include "inspection/checks/BuildFinding.h"
#include "inspection/checks/PropertyListOutput.h"
#include "inspection/checks/ToolRun.h"
#include "platform/fs/FileStatus.h"
#include "platform/locale/DateFormatting.h"

namespace bw::checks {

namespace {

using plist::PlistDictionary;

constexpr FindingRule profileMissing{
    "signing.profile-manual",
    FindingSeverity::manual,
    FindingCategory::signing,
    "2.1",
    0.65,
    "Provisioning profile was not embedded",
    "Some distribution formats omit an embedded profile, so signing eligibility must be confirmed "
    "during upload validation.",
    "Run Xcode\u2019s Validate App action or connect App Store Connect before submission."};

constexpr FindingRule profileInvalid{
    "signing.profile-invalid",
    FindingSeverity::blocker,
    FindingCategory::signing,
    "2.1",
    0.98,
    "Provisioning profile could not be decoded",
    "The embedded provisioning profile is not readable as a signed property list.",
    "Regenerate the distribution profile and archive the application again."};

constexpr FindingRule profileExpired{
    "signing.profile-expired",
    FindingSeverity::blocker,
    FindingCategory::signing,
    "2.1",
    0.98,
    "Provisioning profile has expired",
    "The embedded profile expired before this scan.",
    "Create a current App Store distribution profile and rebuild the archive."};

constexpr FindingRule profileMismatch{
    "signing.profile-bundle-mismatch",
    FindingSeverity::blocker,
    FindingCategory::signing,
    "2.1",
    0.98,
    "Provisioning profile does not match the bundle identifier",
    "The profile application identifier does not end with the application bundle identifier.",
    "Select a distribution profile registered for the exact target bundle identifier."};

std::optional<QString> embeddedProfile(const QString& app) {
    for (const QString& candidate : {app + QStringLiteral("/embedded.mobileprovision"),
                                     app + QStringLiteral("/Contents/embedded.provisionprofile")}) {
        if (fs::exists(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

// The application identifier is the team prefix, a period and the bundle identifier; a plain
// suffix test would also accept a profile for "TEAM.com.myexample.app" for "example.app".
bool matchesBundle(const QString& applicationIdentifier, const QString& bundleIdentifier) {
    return applicationIdentifier == bundleIdentifier ||
           applicationIdentifier.endsWith(u'.' + bundleIdentifier);
}

// iOS profiles name the application identifier plainly; macOS profiles carry it under Apple's
// prefixed key.
const QString* profileApplicationIdentifier(const PlistDictionary& entitlements) {
    if (entitlements.find(u"application-identifier") != nullptr) {
        return plist::stringEntry(entitlements, u"application-identifier");
    }
    return plist::stringEntry(entitlements, u"com.apple.application-identifier");
}

} // namespace

void inspectProvisioningProfile(const QString& toolDirectory, const QString& app,
                                const PlistDictionary& info, Findings& findings,
                                PassedChecks& passedChecks, std::stop_token stop) {
    const std::optional<QString> profile = embeddedProfile(app);
    if (!profile) {
        findings.push_back(buildFinding(
            profileMissing,
            QStringLiteral("No embedded.mobileprovision or embedded.provisionprofile found")));
        return;
    }

    const auto decoded = runForCheck(
        toolPath(toolDirectory, "security"),
        {QStringLiteral("cms"), QStringLiteral("-D"), QStringLiteral("-i"), *profile}, stop);
    const auto content =
        decoded && decoded->status == 0 ? propertyList(decoded->standardOutput) : std::nullopt;
    if (!content) {
        findings.push_back(buildFinding(profileInvalid, fs::lastPathComponent(*profile)));
        return;
    }

    const plist::PlistValue* expiration = content->find(u"ExpirationDate");
    if (const QDateTime* date = expiration ? expiration->date() : nullptr) {
        if (*date <= QDateTime::currentDateTimeUtc()) {
            findings.push_back(
                buildFinding(profileExpired, QStringLiteral("ExpirationDate = ") +
                                                 locale::abbreviatedDateShortTime(*date)));
        } else {
            passedChecks.push_back(QStringLiteral("Provisioning profile is current"));
        }
    }

    const plist::PlistValue* entitlements = content->find(u"Entitlements");
    const PlistDictionary* granted = entitlements ? entitlements->dictionary() : nullptr;
    const QString* applicationIdentifier =
        granted ? profileApplicationIdentifier(*granted) : nullptr;
    const QString* bundleIdentifier = plist::stringEntry(info, u"CFBundleIdentifier");
    if (applicationIdentifier && bundleIdentifier &&
        !matchesBundle(*applicationIdentifier, *bundleIdentifier)) {
        findings.push_back(
            buildFinding(profileMismatch, QStringLiteral("Profile: ") + *applicationIdentifier +
                                              QStringLiteral("; bundle: ") + *bundleIdentifier));
    }
}

} // namespace bw::checks
