#include "inspection/CommandRunner.h"

#include "inspection/WorkFolders.h"
#include "platform/core/BackgroundPriority.h"
#include "platform/core/Cancelled.h"
#include "platform/fs/TemporaryFolder.h"
#include "platform/tools/lifeline/ParentLifeline.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace bw::command_runner {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto pollInterval = std::chrono::milliseconds(50);
constexpr auto terminateGrace = std::chrono::milliseconds(500);
constexpr auto gracePollInterval = std::chrono::milliseconds(20);

[[noreturn]] void throwSystemError(int code, const QString& context) {
    throw std::system_error(code, std::generic_category(), context.toStdString());
}

class OutputFile {
public:
    explicit OutputFile(const QString& path) : path_(path) {
        fd_ = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                     0600);
        if (fd_ < 0) {
            throwSystemError(errno, "Could not open " + path);
        }
    }
    ~OutputFile() { ::close(fd_); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    int fd() const { return fd_; }

    QString readText() const {
        QFile file(path_);
        if (!file.open(QIODevice::ReadOnly)) {
            throwSystemError(EIO, "Could not read " + path_ + ": " + file.errorString());
        }
        return QString::fromUtf8(file.readAll()).trimmed();
    }

private:
    QString path_;
    int fd_ = -1;
};

// Standard error, read into memory while the tool runs: it carries a failing tool's reason, and
// a full disk, often that very reason, would swallow it on its way through a file. It is kept
// whole, as the checks read some tools' findings there; a file would be read whole all the same.
class ErrorPipe {
public:
    ErrorPipe() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) {
            throwSystemError(errno, QStringLiteral("Could not open a pipe for standard error"));
        }
        readFd_ = ends[0];
        writeFd_ = ends[1];
        ::fcntl(readFd_, F_SETFL, O_NONBLOCK);
    }
    ~ErrorPipe() {
        closeWriteEnd();
        ::close(readFd_);
    }
    ErrorPipe(const ErrorPipe&) = delete;
    ErrorPipe& operator=(const ErrorPipe&) = delete;

    int writeFd() const { return writeFd_; }

    // Once the tool holds its copy: the pipe then ends when the tool and what it started close it.
    void closeWriteEnd() {
        if (writeFd_ >= 0) {
            ::close(writeFd_);
            writeFd_ = -1;
        }
    }

    // What to wait on for more text; -1, which poll passes over, once the pipe has ended.
    int pendingFd() const { return ended_ ? -1 : readFd_; }

    // Takes what the pipe holds without waiting: something the tool started may keep it open
    // after the tool has ended.
    void drain() {
        char chunk[65536];
        while (!ended_) {
            const ssize_t count = ::read(readFd_, chunk, sizeof chunk);
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count <= 0) {
                ended_ = count == 0 || errno != EAGAIN;
                return;
            }
            bytes_.append(chunk, count);
        }
    }

    QString text() const { return QString::fromUtf8(bytes_).trimmed(); }

private:
    int readFd_ = -1;
    int writeFd_ = -1;
    bool ended_ = false;
    QByteArray bytes_;
};

class SpawnSetup {
public:
    SpawnSetup(int outFd, int errFd) {
        posix_spawn_file_actions_init(&actions_);
        posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions_, outFd, 1);
        posix_spawn_file_actions_adddup2(&actions_, errFd, 2);
        posix_spawnattr_init(&attributes_);
        // Its own process group, so that stopping the tool also stops what it started.
        posix_spawnattr_setpgroup(&attributes_, 0);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes_, &none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (const int signal :
             {SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGCHLD, SIGUSR1, SIGUSR2}) {
            sigaddset(&defaults, signal);
        }
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                   POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    pid_t spawn(const QString& executable, const QStringList& arguments) {
        std::vector<QByteArray> storage;
        storage.push_back(QFile::encodeName(executable));
        for (const QString& argument : arguments) {
            storage.push_back(argument.toUtf8());
        }
        std::vector<char*> argv;
        for (QByteArray& item : storage) {
            argv.push_back(item.data());
        }
        argv.push_back(nullptr);
        std::vector<char*> environment = childEnvironment();
        pid_t pid = 0;
        const int error = posix_spawn(&pid, storage.front().constData(), &actions_, &attributes_,
                                      argv.data(), environment.data());
        if (error != 0) {
            throwSystemError(error, "Could not launch " + executable);
        }
        // Tools run while the window shows the progress: they yield to it on a busy machine.
        lowerProcessPriority(pid);
        return pid;
    }

private:
    // Ours, with this process's id for the tools to end with it (see ParentLifeline.h). The tool
    // is watched by the thread that started it, which waits for it, so the tie to the starting
    // thread that Linux makes is a tie to the program.
    std::vector<char*> childEnvironment() {
        const QByteArray variable = QByteArray(tools::parentVariable) + '=';
        parentEntry_ = variable + QByteArray::number(::getpid());
        std::vector<char*> entries;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            if (!QByteArrayView(*entry).startsWith(variable)) {
                entries.push_back(*entry);
            }
        }
        entries.push_back(parentEntry_.data());
        entries.push_back(nullptr);
        return entries;
    }

    QByteArray parentEntry_;
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

class ChildProcess {
public:
    // A process descriptor lets the wait wake the moment the child ends; without one (a kernel
    // before 5.3) the wait lasts until its slice ends or output comes.
    explicit ChildProcess(pid_t pid)
        : pid_(pid), pidfd_(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))) {}
    // Whatever happens, no child outlives the call.
    ~ChildProcess() {
        stop();
        if (pidfd_ >= 0) {
            ::close(pidfd_);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool isRunning() {
        if (exited_) {
            return false;
        }
        int status = 0;
        pid_t result = 0;
        do {
            result = ::waitpid(pid_, &status, WNOHANG);
        } while (result < 0 && errno == EINTR);
        if (result == pid_ || result < 0) {
            exited_ = true;
            status_ = status;
        }
        return !exited_;
    }

    // Whether the child has ended, leaving it to be reaped.
    bool hasEnded() const {
        siginfo_t info{};
        int result = 0;
        do {
            result = ::waitid(P_PID, id_t(pid_), &info, WEXITED | WNOHANG | WNOWAIT);
        } while (result < 0 && errno == EINTR);
        return result < 0 || info.si_pid == pid_;
    }

    // Returns when the child has ended, `readable` (unless -1) has something to read, or `slice`
    // has passed, whichever comes first.
    void waitUpTo(std::chrono::milliseconds slice, int readable = -1) const {
        pollfd ready[] = {{pidfd_, POLLIN, 0}, {readable, POLLIN, 0}};
        while (::poll(ready, 2, static_cast<int>(slice.count())) < 0 && errno == EINTR) {
        }
    }

    // SIGTERM to the tool's group, up to half a second for the tool to comply, then SIGKILL to
    // what is left of the group, and the tool is reaped. Until then the ended tool keeps its
    // group's id from being reused, so what it started and left behind is still reached.
    void stop() {
        if (exited_) {
            return;
        }
        ::kill(-pid_, SIGTERM);
        const auto graceEnd = Clock::now() + terminateGrace;
        while (!hasEnded() && Clock::now() < graceEnd) {
            waitUpTo(gracePollInterval);
        }
        ::kill(-pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        exited_ = true;
        status_ = status;
    }

    // The exit code, or the number of the signal that ended the process.
    int terminationStatus() const {
        if (WIFSIGNALED(status_)) {
            return WTERMSIG(status_);
        }
        return WEXITSTATUS(status_);
    }

private:
    pid_t pid_;
    int pidfd_;
    bool exited_ = false;
    int status_ = 0;
};

} // namespace

CommandResult run(const QString& executable, const QStringList& arguments, double timeout,
                  std::stop_token stop) {
    const fs::TemporaryFolder folder(work_folders::command.toString());
    const OutputFile output(folder.path() + QStringLiteral("/stdout"));
    ErrorPipe errors;

    SpawnSetup setup(output.fd(), errors.writeFd());
    ChildProcess child(setup.spawn(executable, arguments));
    errors.closeWriteEnd();

    // Clamped so that an absurd time-out cannot overflow the clock arithmetic.
    const double seconds = std::clamp(timeout, 0.0, 1e9);
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(seconds));
    while (child.isRunning()) {
        if (stop.stop_requested()) {
            child.stop();
            throw Cancelled();
        }
        if (Clock::now() >= deadline) {
            child.stop();
            throw CommandRunnerError::timedOut(executable, timeout);
        }
        // Wakes at once when the child ends, and at least every slice for the stop token.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        child.waitUpTo(std::clamp(left, std::chrono::milliseconds(1), pollInterval),
                       errors.pendingFd());
        errors.drain();
    }
    errors.drain();

    CommandResult result;
    result.standardOutput = output.readText();
    result.standardError = errors.text();
    result.status = child.terminationStatus();
    return result;
}

} // namespace bw::command_runner
