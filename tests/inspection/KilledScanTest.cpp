#include "inspection/WorkFolders.h"
#include "tests/fixtures/zip/RawZip.h"
#include "tests/support/TestFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <thread>
#include <unistd.h>

using namespace bw;
using Clock = std::chrono::steady_clock;

namespace {

// The state letter and parent of a process, from /proc; nothing once it is gone.
struct ProcessStatus {
    char state;
    pid_t parent;
};
std::optional<ProcessStatus> statusOf(pid_t pid) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // "pid (name) state ppid …": the name may hold anything, so read after its last ')'.
    const QByteArray line = file.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 2 || fields[0].isEmpty()) {
        return std::nullopt;
    }
    return ProcessStatus{fields[0][0], pid_t(fields[1].toInt())};
}

bool isRunning(pid_t pid) {
    const auto status = statusOf(pid);
    return status && status->state != 'Z' && status->state != 'X';
}

// The extraction tool `parent` started, once it runs.
std::optional<pid_t> runningDitto(pid_t parent) {
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < deadline) {
        for (const QString& name : QDir("/proc").entryList(QDir::Dirs)) {
            const pid_t pid = pid_t(name.toInt());
            QFile comm(QStringLiteral("/proc/%1/comm").arg(name));
            if (pid > 0 && comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "ditto" &&
                statusOf(pid).value_or(ProcessStatus{'X', 0}).parent == parent) {
                return pid;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return std::nullopt;
}

// A scan in a process of its own, of a build whose extraction takes seconds.
class ScanProcess {
public:
    explicit ScanProcess(const QString& artifact) {
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
        process_.start(BW_SCAN_CHILD, {BW_LIBEXEC_DIR, artifact});
    }
    ~ScanProcess() {
        process_.kill();
        process_.waitForFinished();
    }
    ScanProcess(const ScanProcess&) = delete;
    ScanProcess& operator=(const ScanProcess&) = delete;

    pid_t pid() const { return pid_t(process_.processId()); }
    void kill() {
        process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
};

QString manyFilesBuild(const test::TestFolder& folder) {
    std::vector<fixtures::RawEntry> entries;
    for (int index = 0; index < 150'000; ++index) {
        entries.push_back({.name = "Payload/Demo.app/f" + std::to_string(index), .data = "x"});
    }
    return folder.write("Many.ipa", QByteArray::fromStdString(fixtures::rawZip(entries)));
}

} // namespace

// A scan killed while its tool extracts: the tool ends with it, and the next start removes what
// the scan left in the temporary folder, but not the work of a scan still running.
TEST(KilledScan, TakesItsToolAlongAndLeavesWorkOnlyToTheNextStart) {
    const test::TestFolder folder;
    const QString artifact = manyFilesBuild(folder);

    ScanProcess killed(artifact);
    const std::optional<pid_t> orphan = runningDitto(killed.pid());
    ASSERT_TRUE(orphan) << "the scan never started its extraction";
    const QStringList leftBehind = folder.leftovers();
    killed.kill();
    const auto killedAt = Clock::now();
    while (isRunning(*orphan) && Clock::now() - killedAt < std::chrono::seconds(1)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(isRunning(*orphan)) << "ditto still extracts a second after its scan was killed";

    ScanProcess alive(artifact);
    ASSERT_TRUE(runningDitto(alive.pid()));
    QStringList held = folder.leftovers();
    for (const QString& name : leftBehind) {
        held.removeOne(name);
    }
    ASSERT_EQ(leftBehind.size(), 2) << "a scan's folder and its tool's";
    ASSERT_EQ(held.size(), 2);

    EXPECT_EQ(work_folders::removeAbandoned(folder.tempDirectory()), 2);
    EXPECT_EQ(folder.leftovers(), held);
}

// A tool told of a program that is already gone ends at once: its program died before the tool
// could ask to end with it. One told of a living program (its own parent, or a program that ran
// it through a script) works, as does one run by hand.
TEST(KilledScan, AToolWhoseProgramIsGoneEndsAtOnce) {
    QProcess finished;
    finished.start("true");
    ASSERT_TRUE(finished.waitForFinished());
    struct Case {
        const char* name;
        std::optional<qint64> parent;
        bool killed;
    };
    const Case cases[] = {
        {"gone", finished.processId(), true},
        {"its parent", QCoreApplication::applicationPid(), false},
        {"above a script", qint64(::getppid()), false},
        {"by hand", std::nullopt, false},
    };
    for (const Case& c : cases) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("BERTHWATCH_PARENT_PID");
        if (c.parent) {
            environment.insert("BERTHWATCH_PARENT_PID", QString::number(*c.parent));
        }
        QProcess tool;
        tool.setProcessEnvironment(environment);
        // A usage error: the tool ends at once with status 1 unless it ended before.
        tool.start(BW_LIBEXEC_DIR "/ditto", {});
        ASSERT_TRUE(tool.waitForFinished()) << c.name;
        EXPECT_EQ(tool.exitStatus() == QProcess::CrashExit && tool.exitCode() == SIGKILL, c.killed)
            << c.name;
        EXPECT_EQ(tool.readAllStandardError().startsWith("usage:"), !c.killed) << c.name;
    }
}
