#include "model/ReportHelpers.h"

#include <QFileInfo>
#include <QSet>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace bw {

QString title(FindingCategory category) {
    return rawValue(category);
}

QString platformDisplayName(const BuildMetadata& metadata) {
    struct Family {
        std::initializer_list<QStringView> names;
        QStringView displayName;
    };
    static const Family families[] = {
        {{u"iphoneos", u"iphonesimulator", u"ios", u"ipados", u"ios/ipados"}, u"iOS"},
        {{u"macosx", u"macos", u"maccatalyst"}, u"macOS"},
        {{u"appletvos", u"appletvsimulator", u"tvos"}, u"tvOS"},
        {{u"watchos", u"watchsimulator", u"watchossimulator"}, u"watchOS"},
        {{u"xros", u"xrsimulator", u"visionos"}, u"visionOS"},
    };
    // Only U+0020 is removed; other white space keeps a name from matching.
    const QString normalised = metadata.platform.toLower().remove(u' ');
    for (const Family& family : families) {
        if (std::ranges::find(family.names, QStringView(normalised)) != family.names.end()) {
            return family.displayName.toString();
        }
    }
    return metadata.platform;
}

static qsizetype countSeverity(const ScanReport& report, FindingSeverity severity) {
    return std::ranges::count_if(report.findings,
                                 [&](const Finding& f) { return f.severity == severity; });
}

qsizetype blockerCount(const ScanReport& report) {
    return countSeverity(report, FindingSeverity::blocker);
}
qsizetype riskCount(const ScanReport& report) {
    return countSeverity(report, FindingSeverity::risk);
}
qsizetype manualCount(const ScanReport& report) {
    return countSeverity(report, FindingSeverity::manual);
}

QString monogram(const QString& appName) {
    for (const char32_t scalar : appName.toUcs4()) {
        const QChar::Category category = QChar::category(scalar);
        const bool alphanumeric =
            (category >= QChar::Mark_NonSpacing && category <= QChar::Number_Other) ||
            (category >= QChar::Letter_Uppercase && category <= QChar::Letter_Other);
        if (alphanumeric) {
            // Full case mapping: "ß" becomes "SS".
            return QString::fromUcs4(&scalar, 1).toUpper();
        }
    }
    return QStringLiteral("#");
}

QString firstCharacter(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    const qsizetype end = finder.toNextBoundary();
    return text.left(end > 0 ? end : text.size());
}

QString reportMonogram(const QString& appName) {
    return appName.isEmpty() ? QStringLiteral("#") : firstCharacter(appName).toUpper();
}

QString kindLabel(const StagedBuild& build) {
    // A folder path may end in a slash ("App.xcarchive/"); its last component still names the kind.
    QString path = build.path;
    while (path.size() > 1 && path.endsWith(u'/')) {
        path.chop(1);
    }
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == u"ipa") {
        return QStringLiteral("IPA");
    }
    if (extension == u"xcarchive") {
        return QStringLiteral("Archive");
    }
    if (extension == u"app") {
        return QStringLiteral("App");
    }
    return QStringLiteral("Build");
}

std::vector<QString> orderedUnique(const std::vector<QString>& texts) {
    std::vector<QString> result;
    QSet<QString> seen;
    for (const QString& text : texts) {
        if (!seen.contains(text)) {
            seen.insert(text);
            result.push_back(text);
        }
    }
    return result;
}

} // namespace bw
