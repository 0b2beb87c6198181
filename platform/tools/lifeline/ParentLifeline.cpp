#include "platform/tools/lifeline/ParentLifeline.h"

#include <csignal>
#include <cstdlib>
#include <string>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace bw::tools {

void endWithParent() {
    const char* parent = std::getenv(parentVariable);
    if (parent == nullptr) {
        return;
    }
#ifdef __linux__
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    // The program may have died before the request above took effect; the tool then already
    // belongs to another parent and would never get the signal.
    if (std::to_string(::getppid()) != parent) {
        ::raise(SIGKILL);
    }
}

} // namespace bw::tools
