#include "inspection/CommandRunner.h"
#include "platform/fs/FileStatus.h"

#include <cmath>

namespace bw {

QString CommandResult::combinedOutput() const {
    QStringList parts;
    if (!standardOutput.isEmpty()) {
        parts << standardOutput;
    }
    if (!standardError.isEmpty()) {
        parts << standardError;
    }
    return parts.join(u'\n');
}

namespace {

QString describe(CommandRunnerError::Kind kind, const QString& executable, double seconds) {
    switch (kind) {
    case CommandRunnerError::Kind::timedOut:
        return fs::lastPathComponent(executable) + QStringLiteral(" did not finish within ") +
               QString::number(static_cast<qint64>(std::trunc(seconds))) +
               QStringLiteral(" seconds.");
    }
    return {};
}

} // namespace

CommandRunnerError::CommandRunnerError(Kind kind, QString executable, double seconds)
    : DomainError(kind, describe(kind, executable, seconds)), executable_(std::move(executable)),
      seconds_(seconds) {}

CommandRunnerError CommandRunnerError::timedOut(QString executable, double seconds) {
    return CommandRunnerError(Kind::timedOut, std::move(executable), seconds);
}

} // namespace bw
