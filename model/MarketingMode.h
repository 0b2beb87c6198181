#pragma once

#include "model/MarketingScene.h"

#include <QProcessEnvironment>
#include <QStringList>
#include <QUrl>
#include <optional>

// The switches of demonstration ("marketing") mode, read from the launch arguments (the full
// list, program path included) and the environment that the program entry passes in.
namespace bw::marketing_mode {

bool isEnabled(const QStringList& arguments, const QProcessEnvironment& environment);

// The scene named by the first "--marketing-scene=" argument, else by BERTHWATCH_MARKETING_SCENE;
// `scan` when neither names one or the name is unknown.
MarketingScene scene(const QStringList& arguments, const QProcessEnvironment& environment);

// Where Xcode keeps the developer's archives.
QString archivesFolder();

// The first entry of the folder, in listing order, that is a demonstration archive: a name that
// begins with the demonstration app's name and has the extension "xcarchive". None when the
// folder cannot be listed or holds no such entry.
std::optional<QUrl> demoArchiveURL(const QString& folder = archivesFolder());

} // namespace bw::marketing_mode
