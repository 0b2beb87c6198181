#include "app/CommandLine.h"

#include "model/MarketingScene.h"

#include <QDir>
#include <algorithm>

namespace bw {

namespace {

using namespace Qt::Literals::StringLiterals;

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

// Where an option of Qt's finds its value: none, the next argument, or after '=' in the same one.
enum class ValueIn { none, next, attached, nextOrAttached };

struct QtOption {
    QLatin1StringView name;
    ValueIn value;
};

// The options QGuiApplication, QApplication and the X11 platform take out of the command line,
// and those Qt documents for other platforms, which do nothing here.
constexpr QtOption qtOptions[] = {
    {"-platform"_L1, ValueIn::next},
    {"-platformpluginpath"_L1, ValueIn::next},
    {"-platformtheme"_L1, ValueIn::next},
    {"-plugin"_L1, ValueIn::next},
    {"-qmljsdebugger"_L1, ValueIn::nextOrAttached},
    {"-qwindowgeometry"_L1, ValueIn::next},
    {"-qwindowicon"_L1, ValueIn::next},
    {"-qwindowtitle"_L1, ValueIn::next},
    {"-reverse"_L1, ValueIn::none},
    {"-session"_L1, ValueIn::next},
    {"-style"_L1, ValueIn::nextOrAttached},
    {"-stylesheet"_L1, ValueIn::nextOrAttached},
    {"-widgetcount"_L1, ValueIn::none},
    {"-testability"_L1, ValueIn::none},
    {"-display"_L1, ValueIn::next},
    {"-geometry"_L1, ValueIn::next},
    {"-title"_L1, ValueIn::next},
    {"-icon"_L1, ValueIn::next},
    {"-name"_L1, ValueIn::next},
    {"-visual"_L1, ValueIn::next},
    {"-nograb"_L1, ValueIn::none},
    {"-dograb"_L1, ValueIn::none},
    {"-dialogs"_L1, ValueIn::attached},
    {"-fontengine"_L1, ValueIn::attached},
};

const QtOption* findQtOption(const QString& option) {
    for (const QtOption& qt : qtOptions) {
        const bool alone = option == qt.name && qt.value != ValueIn::attached;
        const bool attached =
            (qt.value == ValueIn::attached || qt.value == ValueIn::nextOrAttached) &&
            option.startsWith(qt.name + u'=');
        if (alone || attached) {
            return &qt;
        }
    }
    return nullptr;
}

Display waylandDisplay(const QString& name, const QProcessEnvironment& environment) {
    if (QDir::isAbsolutePath(name)) {
        return {Display::Kind::wayland, name, name};
    }
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    return {Display::Kind::wayland, name, runtime.isEmpty() ? QString() : runtime + u'/' + name};
}

} // namespace

std::optional<CommandLineAnswer> commandLineAnswer(const QStringList& arguments,
                                                   const QString& version) {
    const QStringList options = splitQtOptions(arguments).rest.mid(1);
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

QtOptions splitQtOptions(const QStringList& arguments) {
    QtOptions options;
    options.rest = arguments.mid(0, 1);
    for (qsizetype index = 1; index < arguments.size(); ++index) {
        const QString& argument = arguments[index];
        const QString option = argument.startsWith(u"--") ? argument.mid(1) : argument;
        const QtOption* qt = findQtOption(option);
        if (!qt) {
            options.rest << argument;
        } else if (option.size() > qt->name.size()) {
            options.values.insert(qt->name, option.mid(qt->name.size() + 1));
        } else if (qt->value != ValueIn::none && index + 1 < arguments.size()) {
            options.values.insert(qt->name, arguments[++index]);
        }
    }
    return options;
}

std::optional<QString> desktopSessionRefusal(const QStringList& arguments,
                                             const QProcessEnvironment& environment,
                                             const std::function<bool(const Display&)>& connects) {
#ifdef Q_OS_MACOS
    Q_UNUSED(arguments);
    Q_UNUSED(environment);
    Q_UNUSED(connects);
    return std::nullopt;
#else
    const QtOptions qt = splitQtOptions(arguments);
    const QString x11 =
        qt.values.value(QStringLiteral("-display"), environment.value(QStringLiteral("DISPLAY")));
    const QString wayland = environment.value(QStringLiteral("WAYLAND_DISPLAY"));
    const QString platforms = qt.values.value(QStringLiteral("-platform"),
                                              environment.value(QStringLiteral("QT_QPA_PLATFORM")));
    // The displays Qt may show the window on, in the order it tries them.
    std::vector<Display> displays;
    if (platforms.isEmpty()) {
        if (!x11.isEmpty()) {
            displays.push_back({Display::Kind::x11, x11, {}});
        }
        if (!wayland.isEmpty()) {
            displays.push_back(waylandDisplay(wayland, environment));
        }
    } else {
        // A list is tried in its order; the first name before any ':' options is the platform.
        for (const QString& platform : platforms.split(u';', Qt::SkipEmptyParts)) {
            const QString name = platform.section(u':', 0, 0).trimmed();
            if (name == u"xcb") {
                if (!x11.isEmpty()) {
                    displays.push_back({Display::Kind::x11, x11, {}});
                }
            } else if (name.startsWith(u"wayland")) {
                // Qt's Wayland platform, like the compositor's library, falls back on this name.
                displays.push_back(waylandDisplay(
                    wayland.isEmpty() ? QStringLiteral("wayland-0") : wayland, environment));
            } else {
                return std::nullopt;
            }
        }
    }
    if (displays.empty()) {
        return QStringLiteral("berthwatch: no desktop session to show the window in; Berthwatch "
                              "needs one, with DISPLAY (or WAYLAND_DISPLAY) set.\n");
    }
    if (std::ranges::any_of(displays, connects)) {
        return std::nullopt;
    }
    QStringList names;
    for (const Display& display : displays) {
        names << (display.kind == Display::Kind::wayland
                      ? display.name + QStringLiteral(" (Wayland)")
                      : display.name);
    }
    return QStringLiteral("berthwatch: cannot connect to the display %1; Berthwatch needs one to "
                          "show the window in.\n")
        .arg(names.join(QStringLiteral(" or ")));
#endif
}

} // namespace bw
