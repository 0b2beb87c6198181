#include "platform/tools/lifeline/ParentLifeline.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace bw::tools {

namespace {

// Whether process `pid` still runs: it exists and has not ended unreaped.
bool isRunning(const char* pid) {
    const std::string path = std::string("/proc/") + pid + "/stat";
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        return false;
    }
    char line[512] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    // "pid (name) state …": the name may hold anything, so the state follows its last ')'.
    const char* close = read ? std::strrchr(line, ')') : nullptr;
    return close != nullptr && close[1] == ' ' && close[2] != 'Z' && close[2] != 'X' &&
           close[2] != '\0';
}

} // namespace

void endWithParent() {
    const char* parent = std::getenv(parentVariable);
    if (parent == nullptr) {
        return;
    }
#ifdef __linux__
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The program may have ended before the request above took effect; the tool then already
    // belongs to another parent and would never get the signal. Another parent is also a script
    // the program ran the tool through, which is why a parent other than the program only counts
    // once the program is gone.
    if (std::to_string(::getppid()) != parent && !isRunning(parent)) {
        ::raise(SIGKILL);
    }
#endif
}

} // namespace bw::tools
