#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
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
std::optional<CommandLineAnswer> commandLineAnswer(const QStringList& arguments,
                                                   const QString& version);

// The one line to print when `environment` names no desktop session to open the window in;
// nothing when it does. A platform set in QT_QPA_PLATFORM is taken at its word, but for X11
// without a DISPLAY.
std::optional<QString> missingDesktopSession(const QProcessEnvironment& environment);

} // namespace bw
