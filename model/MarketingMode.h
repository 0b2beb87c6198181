#pragma once

#include "model/MarketingScene.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QStringList>
#include <QUrl>
#include <optional>

// The switches of demonstration ("marketing") mode. They are read from the launch arguments
// (the full list, program path included) and the environment on every call; both are parameters
// so that tests can supply their own.
namespace bw::MarketingMode {

bool isEnabled(const QStringList& arguments = QCoreApplication::arguments(),
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// The scene named by the first "--marketing-scene=" argument, else by BERTHWATCH_MARKETING_SCENE;
// `scan` when neither names one or the name is unknown.
MarketingScene
scene(const QStringList& arguments = QCoreApplication::arguments(),
      const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// Where Xcode keeps the developer's archives.
QString archivesFolder();

// The first entry of the folder, in listing order, that is a demonstration archive: a name that
// begins with the demonstration app's name and has the extension "xcarchive". None when the
// folder cannot be listed or holds no such entry.
std::optional<QUrl> demoArchiveURL(const QString& folder = archivesFolder());

} // namespace bw::MarketingMode
