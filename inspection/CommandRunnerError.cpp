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

CommandRunnerError::CommandRunnerError(Kind kind, QString executable, double seconds)
    : kind_(kind), executable_(std::move(executable)), seconds_(seconds),
      what_(description().toStdString()) {}

CommandRunnerError CommandRunnerError::timedOut(QString executable, double seconds) {
    return CommandRunnerError(Kind::timedOut, std::move(executable), seconds);
}

QString CommandRunnerError::description() const {
    switch (kind_) {
    case Kind::timedOut:
        return fs::lastPathComponent(executable_) + QStringLiteral(" did not finish within ") +
               QString::number(static_cast<qint64>(std::trunc(seconds_))) +
               QStringLiteral(" seconds.");
    }
    return {};
}

} // namespace bw
