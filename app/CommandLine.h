#pragma once

#include <QHash>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace bw {

// What the program prints and ends with before opening any window.
struct CommandLineAnswer {
    QString text;
    // 0 for what was asked for (printed on the standard output), 2 for a command line the program
    // does not take (printed on the standard error).
    int status = 0;
};

// The answer to `berthwatch --help` (or -h) and `berthwatch --version`, and the error and usage
// for an argument the program does not know; nothing for a command line that opens the window.
// Qt's own options, with their values, are left to the application object.
std::optional<CommandLineAnswer> commandLineAnswer(const QStringList& arguments,
                                                   const QString& version);

// Qt's own options on a command line (the program's name first), as the application object
// takes them out: "--name" is read as "-name", and an option with a value takes the next
// argument, or with some options the text after '='.
struct QtOptions {
    // The arguments that are neither Qt's options nor their values, the program's name first.
    QStringList rest;
    // The last value given to each of Qt's options, by its one-dash name ("-platform").
    QHash<QString, QString> values;
};
QtOptions splitQtOptions(const QStringList& arguments);

// A display the window could be shown on: an X11 display by its name (":1"), or a Wayland
// compositor by its name and the socket it listens on.
struct Display {
    enum class Kind { x11, wayland };
    Kind kind;
    QString name;
    QString socket;
};

// The one line to print when the window has nowhere to show: the command line and
// `environment` name no desktop session, or none of the displays they name can be connected to
// (`connects` tries one). Nothing when it can show. A platform named with -platform or in
// QT_QPA_PLATFORM is taken at its word, but for X11 and Wayland, which need their display.
std::optional<QString> desktopSessionRefusal(const QStringList& arguments,
                                             const QProcessEnvironment& environment,
                                             const std::function<bool(const Display&)>& connects);

} // namespace bw
