#include "model/MarketingMode.h"

#include "model/MarketingShowcase.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace bw::marketing_mode {

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QLatin1String scanArgument("--marketing-scan");
constexpr QLatin1String sceneArgumentPrefix("--marketing-scene=");
constexpr QLatin1String scanVariable("BERTHWATCH_MARKETING_SCAN");
constexpr QLatin1String sceneVariable("BERTHWATCH_MARKETING_SCENE");

bool isSceneArgument(const QString& argument) {
    return argument.startsWith(sceneArgumentPrefix);
}

MarketingScene sceneNamed(QStringView name) {
    return fromRawValue<MarketingScene>(name).value_or(MarketingScene::scan);
}

} // namespace

bool isEnabled(const QStringList& arguments, const QProcessEnvironment& environment) {
    return arguments.contains(scanArgument) || std::ranges::any_of(arguments, isSceneArgument) ||
           environment.value(scanVariable) == u"1" || environment.contains(sceneVariable);
}

MarketingScene scene(const QStringList& arguments, const QProcessEnvironment& environment) {
    const auto argument = std::ranges::find_if(arguments, isSceneArgument);
    if (argument != arguments.end()) {
        return sceneNamed(QStringView(*argument).sliced(sceneArgumentPrefix.size()));
    }
    if (environment.contains(sceneVariable)) {
        return sceneNamed(environment.value(sceneVariable));
    }
    return MarketingScene::scan;
}

QString archivesFolder() {
    return QDir::homePath() + u"/Library/Developer/Xcode/Archives"_s;
}

std::optional<QUrl> demoArchiveURL(const QString& folder) {
    const QDir directory(folder);
    const QString appName = demoAppName();
    // Listing order as the file system gives it, hidden entries included.
    const QFileInfoList entries = directory.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        if (entry.suffix() == u"xcarchive" && entry.fileName().startsWith(appName)) {
            return QUrl::fromLocalFile(entry.absoluteFilePath());
        }
    }
    return std::nullopt;
}

} // namespace bw::marketing_mode
