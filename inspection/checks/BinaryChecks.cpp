#include "inspection/checks/BinaryChecks.h"

#include "inspection/checks/BuildFinding.h"
#include "inspection/checks/PlatformChecks.h"
#include "inspection/checks/ToolRun.h"
#include "platform/fs/FileStatus.h"

#include <algorithm>

namespace bw::checks {

namespace {

constexpr FindingRule missingExecutable{
    "binary.missing",
    FindingSeverity::blocker,
    FindingCategory::binary,
    "2.1",
    0.98,
    "Application executable was not found",
    "CFBundleExecutable did not resolve to an executable file in the final bundle.",
    "Repair the target\u2019s product and Copy Files settings, then create a new archive."};

constexpr FindingRule unreadableArchitectures{
    "binary.architectures",
    FindingSeverity::blocker,
    FindingCategory::binary,
    "2.5.1",
    0.98,
    "Binary architecture could not be read",
    "The main executable is not recognized as a valid Mach O binary by lipo.",
    "Archive with a supported Apple platform destination and inspect the generated executable."};

constexpr FindingRule simulatorArchitecture{
    "binary.simulator-architecture",
    FindingSeverity::risk,
    FindingCategory::binary,
    "2.5.1",
    0.98,
    "Simulator architecture is present",
    "A submission artifact normally contains device architectures only.",
    "Archive for Any iOS Device or the matching generic device destination, not a simulator."};

constexpr FindingRule debugArtifacts{
    "binary.debug-artifacts",
    FindingSeverity::blocker,
    FindingCategory::binary,
    "2.1",
    0.98,
    "Debug binary artifacts are embedded",
    "The final application contains preview or debug dynamic libraries.",
    "Create a Release archive and make sure preview/debug support files are excluded from the "
    "exported application."};

constexpr FindingRule localLink{
    "binary.local-link",
    FindingSeverity::blocker,
    FindingCategory::binary,
    "2.1",
    0.98,
    "Binary links to a local development path",
    "A linked library path points outside the application or system frameworks.",
    "Embed and sign the dependency, then link it using an @rpath install name."};

constexpr qsizetype maxListedNames = 5;

bool isDebugLibrary(const QString& item) {
    const QString name = fs::lastPathComponent(item).toLower();
    return name == u"__preview.dylib" || name.contains(QStringLiteral(".debug.dylib"));
}

// The first library line of an `otool -L` listing that points into a local development folder.
// Header lines name the executable itself ("path:" or "path (architecture arm64):") and are
// left out, or a build kept under /usr/local would count as linking there.
std::optional<QString> localLibraryLine(const QString& listing) {
    for (const QString& line : listing.split(u'\n', Qt::SkipEmptyParts)) {
        const bool libraryLine = line.startsWith(u'\t') || line.startsWith(u' ');
        if (libraryLine && (line.contains(QStringLiteral("/usr/local/")) ||
                            line.contains(QStringLiteral("/opt/homebrew/")))) {
            return line;
        }
    }
    return std::nullopt;
}

} // namespace

ArchitectureReport readArchitectures(const QString& toolDirectory,
                                     const std::optional<QString>& executable,
                                     std::stop_token stop) {
    if (!executable) {
        return {};
    }
    ArchitectureReport report;
    if (const auto archs = runForCheck(toolPath(toolDirectory, "lipo"),
                                       {QStringLiteral("-archs"), *executable}, stop)) {
        for (const QString& name : archs->standardOutput.split(u' ', Qt::SkipEmptyParts)) {
            report.architectures.push_back(name);
        }
    }
    if (const auto listing = runForCheck(toolPath(toolDirectory, "otool"),
                                         {QStringLiteral("-L"), *executable}, stop)) {
        report.linkedLibraries = listing->standardOutput;
    }
    return report;
}

void inspectBinary(const plist::PlistDictionary& info, const QString& app,
                   const std::optional<QString>& executable,
                   const std::vector<QString>& architectures, const QString& linkedLibraries,
                   const std::vector<QString>& files, Findings& findings,
                   PassedChecks& passedChecks) {
    if (!executable) {
        findings.push_back(buildFinding(
            missingExecutable, QStringLiteral("No executable at the expected bundle location")));
        return;
    }

    const QString joined =
        QStringList(architectures.begin(), architectures.end()).join(QStringLiteral(", "));
    if (architectures.empty()) {
        findings.push_back(
            buildFinding(unreadableArchitectures, fs::lastPathComponent(*executable)));
    } else {
        passedChecks.push_back(QStringLiteral("Mach O architectures: ") + joined);
    }

    // x86_64 names a simulator slice only outside macOS, where it is a real Mac architecture.
    const bool simulatorSlice =
        std::any_of(architectures.begin(), architectures.end(),
                    [](const QString& name) { return name == u"x86_64" || name == u"i386"; });
    if (simulatorSlice && !isMacOSBuild(info, app)) {
        findings.push_back(
            buildFinding(simulatorArchitecture, QStringLiteral("Architectures: ") + joined));
    }

    QStringList debugNames;
    for (const QString& item : files) {
        if (isDebugLibrary(item) && debugNames.size() < maxListedNames) {
            debugNames.push_back(fs::lastPathComponent(item));
        }
    }
    if (debugNames.isEmpty()) {
        passedChecks.push_back(QStringLiteral("No SwiftUI preview/debug dylibs found"));
    } else {
        findings.push_back(buildFinding(debugArtifacts, debugNames.join(QStringLiteral(", "))));
    }

    if (const auto line = localLibraryLine(linkedLibraries)) {
        findings.push_back(buildFinding(localLink, *line));
    }
}

} // namespace bw::checks
