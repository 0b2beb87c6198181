#include "inspection/checks/SigningChecks.h"

#include "inspection/checks/ArchiveDistribution.h"
#include "inspection/checks/BuildFinding.h"
#include "inspection/checks/PropertyListOutput.h"
#include "inspection/checks/ProvisioningProfileChecks.h"
#include "inspection/checks/ToolRun.h"

namespace bw::checks {

namespace {

using plist::PlistDictionary;

constexpr FindingRule invalidSignature{
    "signing.invalid",
    FindingSeverity::blocker,
    FindingCategory::signing,
    "2.1",
    0.98,
    "Code signature verification failed",
    "The selected application does not pass a strict deep signature verification.",
    "Create a new archive with the correct distribution identity and resolve nested framework or "
    "extension signing errors."};

constexpr FindingRule debugEntitlement{
    "signing.get-task-allow",
    FindingSeverity::blocker,
    FindingCategory::signing,
    "2.5.1",
    0.98,
    "Debug entitlement is enabled",
    "The final signed application allows debugger attachment.",
    "Export with the App Store distribution configuration and confirm get-task-allow is absent."};

constexpr FindingRule developmentPush{
    "signing.push-development",
    FindingSeverity::blocker,
    FindingCategory::signing,
    "2.1",
    0.98,
    "Push entitlement uses the development environment",
    "A final App Store distribution build should not contain the development APNs environment.",
    "Export with App Store distribution signing and validate the final artifact again."};

constexpr FindingRule archiveDevelopment{
    "signing.archive-development",
    FindingSeverity::manual,
    FindingCategory::signing,
    "2.1",
    0.99,
    "Archive needs App Store distribution validation",
    "The application stored inside this Xcode archive uses development signing. Xcode can replace "
    "its signing and provisioning while preparing the App Store distribution, so the raw archive "
    "state alone does not prove a rejection.",
    "Run Validate App in Xcode Organizer with the App Store Connect distribution option. Resolve "
    "any validation error before upload."};

const QString unverified = QStringLiteral("codesign could not verify the application");

bool isTrue(const PlistDictionary& entitlements, QStringView key) {
    const plist::PlistValue* value = entitlements.find(key);
    return value != nullptr && value->boolean() == true;
}

// The debugging entitlement that is on, if one is: the finding names the key that is true, not
// merely the one that is present.
std::optional<QString> enabledDebugKey(const PlistDictionary& entitlements) {
    const QString modern = QStringLiteral("get-task-allow");
    const QString legacy = QStringLiteral("com.apple.security.get-task-allow");
    if (isTrue(entitlements, modern)) {
        return modern;
    }
    if (isTrue(entitlements, legacy)) {
        return legacy;
    }
    return std::nullopt;
}

QString archiveEvidence(const ArchiveDistributionInfo& archive, bool debuggable, bool push) {
    QStringList lines;
    if (archive.signingIdentity) {
        lines.push_back(QStringLiteral("Archive signing identity: ") + *archive.signingIdentity);
    }
    if (debuggable) {
        lines.push_back(QStringLiteral("get-task-allow = true"));
    }
    if (push) {
        lines.push_back(QStringLiteral("aps-environment = development"));
    }
    return lines.join(QStringLiteral("; "));
}

} // namespace

PlistDictionary inspectSigning(const QString& toolDirectory, const QString& artifact,
                               const QString& app, const PlistDictionary& info, Findings& findings,
                               PassedChecks& passedChecks, std::stop_token stop) {
    const auto verification =
        runForCheck(toolPath(toolDirectory, "codesign"),
                    {QStringLiteral("--verify"), QStringLiteral("--deep"),
                     QStringLiteral("--strict"), QStringLiteral("--verbose=2"), app},
                    stop);
    if (verification && verification->status == 0) {
        passedChecks.push_back(QStringLiteral("Code signature verifies"));
    } else {
        const QString output = verification ? verification->combinedOutput() : QString();
        findings.push_back(buildFinding(invalidSignature, output.isEmpty() ? unverified : output));
    }

    const auto display = runForCheck(
        toolPath(toolDirectory, "codesign"),
        {QStringLiteral("-d"), QStringLiteral("--entitlements"), QStringLiteral(":-"), app}, stop);
    const auto parsed = propertyList(display ? display->combinedOutput() : QString());
    const PlistDictionary entitlements = parsed.value_or(PlistDictionary{});

    const std::optional<QString> debugKey = enabledDebugKey(entitlements);
    const QString* environment = plist::stringEntry(entitlements, u"aps-environment");
    const bool push = environment != nullptr && *environment == u"development";

    const ArchiveDistributionInfo archive = archiveDistributionInfo(artifact);
    if (archive.successfulCheck) {
        passedChecks.push_back(*archive.successfulCheck +
                               QStringLiteral(" succeeded for this archive"));
    }

    if (!archive.isArchive) {
        if (debugKey) {
            findings.push_back(
                buildFinding(debugEntitlement, *debugKey + QStringLiteral(" = true"),
                             std::vector<FindingEvidenceField>{
                                 {QStringLiteral("Entitlement"), *debugKey},
                                 {QStringLiteral("Detected"), QStringLiteral("true")},
                                 {QStringLiteral("Expected"), QStringLiteral("absent")},
                             }));
        } else if (parsed) {
            passedChecks.push_back(QStringLiteral("Debug entitlement is disabled"));
        }
        if (push) {
            findings.push_back(
                buildFinding(developmentPush, QStringLiteral("aps-environment = development"),
                             std::vector<FindingEvidenceField>{
                                 {QStringLiteral("Entitlement"), QStringLiteral("aps-environment")},
                                 {QStringLiteral("Detected"), QStringLiteral("development")},
                                 {QStringLiteral("Expected"), QStringLiteral("production")},
                             }));
        }
    } else if (!debugKey && !push) {
        if (parsed) {
            passedChecks.push_back(QStringLiteral("Debug entitlement is disabled"));
        }
    } else if (!archive.successfulCheck) {
        findings.push_back(
            buildFinding(archiveDevelopment, archiveEvidence(archive, debugKey.has_value(), push)));
    }

    inspectProvisioningProfile(toolDirectory, app, info, findings, passedChecks, stop);
    return entitlements;
}

} // namespace bw::checks
