#include "inspection/CommandRunner.h"

#include "platform/core/Cancelled.h"
#include "platform/fs/TreeRemoval.h"
#include "tests/support/TestFolder.h"
#include "tests/support/Thrown.h"
#include "tests/support/WaitFor.h"

#include <QFile>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <system_error>
#include <thread>

using namespace bw;
using bw::test::thrown;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class CommandRunnerTest : public ::testing::Test {
protected:
    void TearDown() override {
        fs::waitForBackgroundRemovals();
        EXPECT_TRUE(folder.leftovers().isEmpty()) << folder.leftovers().join(u' ').toStdString();
    }

    QString tool(const QByteArray& script) { return folder.tools({{"tool", script}}) + "/tool"; }

    test::TestFolder folder;
};

} // namespace

TEST_F(CommandRunnerTest, CapturesStatusAndBothStreams) {
    struct Case {
        QByteArray script;
        int status;
        QString output;
        QString errors;
        QString combined;
    };
    const QString replaced = QStringLiteral("a\uFFFDb\uFFFD");
    const QString niceTool = QString::number(std::min(19, getpriority(PRIO_PROCESS, 0) + 10));
    const QString lines = QStringLiteral("0123456789abcde\n").repeated(196608).trimmed();
    const Case cases[] = {
        {"echo oops >&2; exit 1", 1, "", "oops", "oops"},
        {"printf 'out\\n'; printf 'err\\n' >&2; exit 3", 3, "out", "err", "out\nerr"},
        // Leading and trailing white space of any kind goes, inner line breaks stay.
        {"printf ' \\t\\n a\\n b \\302\\240\\342\\200\\250\\n'", 0, "a\n b", "", "a\n b"},
        // Invalid UTF-8 turns into replacement characters.
        {"printf 'a\\377b\\300'", 0, replaced, "", replaced},
        // Arguments arrive unchanged, one each, without a shell in between.
        {"printf '%s|' \"$@\"", 0, "a b|$HOME|*|", "", "a b|$HOME|*|"},
        // A tool killed by a signal reports the signal's number.
        {"kill -9 $$", 9, "", "", ""},
        // Tools run ten steps nicer than the thread starting them.
        {"sleep 0.1; nice", 0, niceTool, "", niceTool},
        // The reason reaches us when the tool can write no file, as on a full disk.
        {"ulimit -f 0; trap '' XFSZ; echo 'no room' >&2; exit 1", 1, "", "no room", "no room"},
        // Far more than a pipe holds comes through whole while the tool runs.
        {"yes 0123456789abcde | head -c 3145728 >&2", 0, "", lines, lines},
    };
    for (const Case& c : cases) {
        const QString path = tool(c.script);
        const CommandResult result = command_runner::run(path, {"a b", "$HOME", "*"});
        EXPECT_EQ(result.status, c.status) << c.script.constData();
        EXPECT_EQ(result.standardOutput, c.output) << c.script.constData();
        EXPECT_EQ(result.standardError, c.errors) << c.script.constData();
        EXPECT_EQ(result.combinedOutput(), c.combined) << c.script.constData();
    }
}

TEST_F(CommandRunnerTest, TimeOutNamesTheToolAndWholeSeconds) {
    const struct {
        double timeout;
        const char* text;
    } cases[] = {{1.0, "tool did not finish within 1 seconds."},
                 {2.9, "tool did not finish within 2 seconds."}};
    const QString path = tool("sleep 30");
    for (const auto& c : cases) {
        const auto start = Clock::now();
        const auto error =
            thrown<CommandRunnerError>([&] { command_runner::run(path, {}, c.timeout); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->kind(), CommandRunnerError::Kind::timedOut);
        EXPECT_EQ(error->description(), QString::fromLatin1(c.text));
        EXPECT_EQ(error->executable(), path);
        EXPECT_EQ(error->seconds(), c.timeout);
        const double elapsed = secondsSince(start);
        EXPECT_GE(elapsed, c.timeout);
        // One polling interval late at most, plus the time for a well-behaved tool to stop.
        EXPECT_LT(elapsed, c.timeout + 0.4);
    }
}

// A tool ignoring the terminate signal is killed after a grace period, together with what it
// started: the trap is inherited, so only SIGKILL to the whole group ends them all.
TEST_F(CommandRunnerTest, TimeOutKillsTheToolAndWhatItStartedAfterGracePeriod) {
    const QByteArray marker = (folder.path() + "/left-behind").toUtf8();
    const QString path = tool("trap '' TERM\n( sleep 1; touch '" + marker +
                              "' ) &\nsleep 30\ntouch '" + marker + "'");
    const auto start = Clock::now();
    EXPECT_THROW(command_runner::run(path, {}, 0.3), CommandRunnerError);
    const double elapsed = secondsSince(start);
    EXPECT_GE(elapsed, 0.3 + 0.5);
    EXPECT_LT(elapsed, 0.3 + 0.5 + 0.5);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_FALSE(QFile::exists(QString::fromUtf8(marker))) << "a process outlived the call";
}

// A tool that ends at the terminate signal takes along what it started that ignores it: the
// grandchild, a process of its own, is gone when the call returns.
TEST_F(CommandRunnerTest, TimeOutEndsTheToolsProcessTree) {
    const QByteArray started = (folder.path() + "/grandchild").toUtf8();
    const QString path = tool("sh -c \"trap '' TERM; echo \\$\\$ >'" + started + ".new'; mv '" +
                              started + ".new' '" + started + "'; exec sleep 60\" &\nuntil [ -s '" +
                              started + "' ]; do sleep 0.01; done\nsleep 30");
    EXPECT_THROW(command_runner::run(path, {}, 3), CommandRunnerError);
    QFile pidFile(QString::fromUtf8(started));
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    const pid_t grandchild = pid_t(pidFile.readAll().trimmed().toInt());
    ASSERT_GT(grandchild, 0);
    const auto isRunning = [grandchild] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(grandchild));
        if (!stat.open(QIODevice::ReadOnly)) {
            return false;
        }
        const QByteArray line = stat.readAll();
        const char state = line.mid(line.lastIndexOf(')') + 2, 1).at(0);
        return state != 'Z' && state != 'X';
    };
    test::waitFor([&] { return !isRunning(); }, 10);
    EXPECT_FALSE(isRunning()) << "the grandchild outlived the call";
    ::kill(grandchild, SIGKILL);
}

TEST_F(CommandRunnerTest, CancellationStopsTheTool) {
    std::stop_source stopped;
    stopped.request_stop();
    EXPECT_THROW(command_runner::run(tool("sleep 30"), {}, 60, stopped.get_token()), Cancelled);

    std::stop_source source;
    std::jthread canceller([&source] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        source.request_stop();
    });
    const auto start = Clock::now();
    EXPECT_THROW(command_runner::run(tool("sleep 30"), {}, 60, source.get_token()), Cancelled);
    EXPECT_LT(secondsSince(start), 0.3 + 0.4);
}

TEST_F(CommandRunnerTest, MissingExecutableFailsWithTheLaunchError) {
    const auto missing = thrown<std::system_error>(
        [&] { command_runner::run(folder.path() + "/no-such-tool", {}); });
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->code(), std::errc::no_such_file_or_directory);
    const QString notExecutable = folder.write("plain", "echo hi\n", 0644);
    EXPECT_THROW(command_runner::run(notExecutable, {}), std::system_error);
}

TEST_F(CommandRunnerTest, UnwritableScratchAreaFailsWithTheFileError) {
    qputenv("TMPDIR", (folder.path() + "/missing/file").toLocal8Bit());
    folder.write("missing", "a file where a folder should be");
    EXPECT_THROW(command_runner::run(tool("echo hi"), {}), std::system_error);
    qputenv("TMPDIR", folder.tempDirectory().toLocal8Bit());
}
