#include "app/CommandLine.h"

#include "model/MarketingScene.h"

namespace bw {

namespace {

QString sceneNames() {
    QStringList names;
    for (const QStringView name : RawValueTable<MarketingScene>::rawValues) {
        names << name.toString();
    }
    return names.join(QStringLiteral(", "));
}

QString usage() {
    return QStringLiteral("Usage: berthwatch [OPTION]\n"
                          "Shows, before a build goes to App Review, what in it could block or "
                          "delay the review.\n"
                          "\n"
                          "  --marketing-scene=NAME  play the demonstration scene NAME (%1)\n"
                          "  --marketing-scan        play the demonstration scan\n"
                          "  -h, --help              print this help and exit\n"
                          "  --version               print the version and exit\n")
        .arg(sceneNames());
}

bool isKnown(const QString& argument) {
    static const QStringList exact = {QStringLiteral("--marketing-scan"), QStringLiteral("-h"),
                                      QStringLiteral("--help"), QStringLiteral("--version")};
    return exact.contains(argument) || argument.startsWith(QStringLiteral("--marketing-scene="));
}

} // namespace

std::optional<CommandLineAnswer> commandLineAnswer(const QStringList& arguments,
                                                   const QString& version) {
    const QStringList options = arguments.mid(1);
    for (const QString& option : options) {
        if (!isKnown(option)) {
            return CommandLineAnswer{
                QStringLiteral("berthwatch: unknown option '%1'\n").arg(option) + usage(), 2};
        }
    }
    if (options.contains(QStringLiteral("--help")) || options.contains(QStringLiteral("-h"))) {
        return CommandLineAnswer{usage()};
    }
    if (options.contains(QStringLiteral("--version"))) {
        return CommandLineAnswer{QStringLiteral("Berthwatch %1\n").arg(version)};
    }
    return std::nullopt;
}

std::optional<QString> missingDesktopSession(const QProcessEnvironment& environment) {
#ifdef Q_OS_MACOS
    Q_UNUSED(environment);
    return std::nullopt;
#else
    const bool x11 = !environment.value(QStringLiteral("DISPLAY")).isEmpty();
    const QString platforms = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    if (platforms.isEmpty()) {
        if (x11 || !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()) {
            return std::nullopt;
        }
    } else {
        // A list is tried in its order; the first name before any ':' options is the platform.
        for (const QString& platform : platforms.split(u';', Qt::SkipEmptyParts)) {
            if (platform.section(u':', 0, 0).trimmed() != QStringLiteral("xcb") || x11) {
                return std::nullopt;
            }
        }
    }
    return QStringLiteral("berthwatch: no desktop session to show the window in; Berthwatch needs "
                          "one, with DISPLAY (or WAYLAND_DISPLAY) set.\n");
#endif
}

} // namespace bw
