#include "inspection/AppIconExtractor.h"
#include "inspection/BuildIdentityReading.h"
#include "inspection/BuildScanner.h"
#include "inspection/checks/PlatformChecks.h"
#include "model/ReportHelpers.h"
#include "model/TextOrder.h"
#include "platform/fs/FileStatus.h"

#include <algorithm>
#include <array>

namespace bw {

namespace {

QString textOr(const plist::PlistDictionary& info, std::initializer_list<QStringView> keys,
               const QString& fallback) {
    for (const QStringView key : keys) {
        if (const QString* value = plist::stringEntry(info, key)) {
            return *value;
        }
    }
    return fallback;
}

QString withoutExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

std::vector<QString> embeddedFrameworkNames(const std::vector<QString>& files) {
    std::vector<QString> names;
    for (const QString& file : files) {
        if (fs::pathExtension(file).toLower() != u"framework") {
            continue;
        }
        const QString name = withoutExtension(fs::lastPathComponent(file));
        if (!name.startsWith(u'_')) {
            names.push_back(name);
        }
    }
    names = orderedUnique(names);
    std::sort(names.begin(), names.end(), scalarLess);
    return names;
}

} // namespace

BuildIdentity readBuildIdentity(const plist::PlistDictionary& info, const QString& app) {
    return {textOr(info, {u"CFBundleDisplayName", u"CFBundleName"},
                   withoutExtension(fs::lastPathComponent(app))),
            textOr(info, {u"CFBundleIdentifier"}, QStringLiteral("Unknown")),
            textOr(info, {u"CFBundleShortVersionString"}, QStringLiteral("Unavailable")),
            textOr(info, {u"CFBundleVersion"}, QStringLiteral("Unavailable")),
            // A bundle that states no platform is still a macOS build by its layout.
            info.find(u"DTPlatformName") == nullptr && checks::isMacOSBuild(info, app)
                ? QStringLiteral("macOS")
                : BuildScanner::platformName(info),
            textOr(info, {u"MinimumOSVersion", u"LSMinimumSystemVersion"},
                   QStringLiteral("Unavailable"))};
}

BuildMetadata BuildScanner::makeBuildMetadata(const plist::PlistDictionary& info,
                                              const QString& app, const std::vector<QString>& files,
                                              const std::vector<QString>& architectures,
                                              std::stop_token stop) {
    return BuildMetadata{readBuildIdentity(info, app), architectures, embeddedFrameworkNames(files),
                         bundleSize(app, stop),
                         app_icon_extractor::iconPNG(app, info, files, stop)};
}

QString BuildScanner::platformName(const plist::PlistDictionary& info) {
    struct Platform {
        QStringView name;
        QStringView display;
    };
    static constexpr std::array<Platform, 10> platforms{{
        {u"iphoneos", u"iOS"},
        {u"iphonesimulator", u"iOS"},
        {u"macosx", u"macOS"},
        {u"appletvos", u"tvOS"},
        {u"appletvsimulator", u"tvOS"},
        {u"watchos", u"watchOS"},
        {u"watchsimulator", u"watchOS"},
        {u"watchossimulator", u"watchOS"},
        {u"xros", u"visionOS"},
        {u"xrsimulator", u"visionOS"},
    }};
    const QString* stated = plist::stringEntry(info, u"DTPlatformName");
    if (stated == nullptr) {
        return info.find(u"LSMinimumSystemVersion") ? QStringLiteral("macOS")
                                                    : QStringLiteral("Apple platform");
    }
    const QString lowered = stated->toLower();
    for (const Platform& platform : platforms) {
        if (lowered == platform.name) {
            return platform.display.toString();
        }
    }
    return *stated;
}

std::optional<QString> BuildScanner::deviceFamilyNames(const plist::PlistDictionary& info) {
    const plist::PlistValue* entry = info.find(u"UIDeviceFamily");
    const plist::PlistArray* families = entry ? entry->array() : nullptr;
    if (families == nullptr) {
        return std::nullopt;
    }
    QStringList names;
    for (const plist::PlistValue& family : *families) {
        const auto number = family.integer();
        if (!number) {
            return std::nullopt;
        }
        switch (*number) {
        case 1:
            names << QStringLiteral("iPhone");
            break;
        case 2:
            names << QStringLiteral("iPad");
            break;
        case 3:
            names << QStringLiteral("Apple TV");
            break;
        case 4:
            names << QStringLiteral("Apple Watch");
            break;
        case 6:
            names << QStringLiteral("Mac");
            break;
        case 7:
            names << QStringLiteral("Apple Vision");
            break;
        default:
            break;
        }
    }
    if (names.isEmpty()) {
        return std::nullopt;
    }
    return names.join(QStringLiteral(", "));
}

} // namespace bw
