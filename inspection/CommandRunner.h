#pragma once

#include "platform/core/DomainError.h"

#include <QString>
#include <QStringList>
#include <stop_token>

namespace bw {

// What a finished tool produced. The two texts are the streams decoded as UTF-8 (invalid bytes
// become U+FFFD) and trimmed. They are not called stdout and stderr because those names are
// macros of the C library.
struct CommandResult {
    int status = 0;
    QString standardOutput;
    QString standardError;

    // The non-empty streams, output first, joined by a line feed.
    QString combinedOutput() const;

    bool operator==(const CommandResult&) const = default;
};

enum class CommandRunnerErrorKind { timedOut };

class CommandRunnerError : public DomainError<CommandRunnerErrorKind, QString> {
public:
    static CommandRunnerError timedOut(QString executable, double seconds);

    const QString& executable() const { return executable_; }
    double seconds() const { return seconds_; }

private:
    CommandRunnerError(Kind kind, QString executable, double seconds);

    QString executable_;
    double seconds_;
};

namespace command_runner {

inline constexpr double defaultTimeout = 120;

// Runs `executable` (an absolute path; no shell, no search path) with `arguments`, its standard
// output captured in a file of a private "BerthwatchCommand-" folder and its standard error in
// memory, so that a full disk cannot swallow the reason a failing tool gives, and
// waits for it. Blocks until the tool ends or is stopped; the deadline and `stop` are looked at
// every 0.05 seconds.
//
// Throws std::system_error when the folder, its file or the pipe fail or the tool cannot be
// started, CommandRunnerError::timedOut when the deadline passes, and Cancelled when `stop` is
// triggered. A tool ending with a non-zero status is no failure: the caller reads `status`.
CommandResult run(const QString& executable, const QStringList& arguments,
                  double timeout = defaultTimeout, std::stop_token stop = {});

} // namespace command_runner

} // namespace bw
