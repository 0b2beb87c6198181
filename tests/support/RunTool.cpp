#include "tests/support/RunTool.h"

#include <QElapsedTimer>
#include <QProcess>
#include <stdexcept>

namespace bw::test {

ToolRun runTool(const std::filesystem::path& executable,
                const std::vector<std::string>& arguments) {
    QStringList list;
    for (const std::string& argument : arguments) {
        list.append(QString::fromStdString(argument));
    }
    // QProcess drains both pipes while it waits, so a chatty tool can never block on a full one.
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(QString::fromStdString(executable.string()), list);
    if (!process.waitForStarted(-1)) {
        throw std::runtime_error("cannot start " + executable.string());
    }
    process.waitForFinished(-1);
    ToolRun run;
    run.seconds = double(timer.nsecsElapsed()) / 1e9;
    run.exitStatus = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.standardOutput = process.readAllStandardOutput().toStdString();
    run.standardError = process.readAllStandardError().toStdString();
    return run;
}

} // namespace bw::test
