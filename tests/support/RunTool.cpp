#include "tests/support/RunTool.h"

#include "tests/support/ReadFile.h"

#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bw::test {

namespace {

// A new empty file under the system's temporary directory for one output stream.
std::filesystem::path outputFile() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "bw-tool-output-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        throw std::runtime_error("mkstemp failed");
    }
    ::close(fd);
    return pattern;
}

} // namespace

ToolRun runTool(const std::filesystem::path& executable,
                const std::vector<std::string>& arguments) {
    // Output goes to files rather than pipes, so a chatty tool can never block on a full pipe.
    const std::filesystem::path out = outputFile();
    const std::filesystem::path err = outputFile();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> argv{executable.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned =
        posix_spawnp(&pid, executable.c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + executable.string());
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    ToolRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.standardOutput = readFile(out);
    run.standardError = readFile(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return run;
}

} // namespace bw::test
