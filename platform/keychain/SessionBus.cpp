#include "platform/keychain/SessionBus.h"

#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace bw {

namespace {

// The bus a desktop session runs at its well-known place, which both libraries look for.
bool userBusSocketExists() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat status {};
    return runtime != nullptr && *runtime != '\0' &&
           ::stat((std::string(runtime) + "/bus").c_str(), &status) == 0 &&
           S_ISSOCK(status.st_mode);
}

} // namespace

void refuseSessionBusAutolaunch() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if ((address != nullptr && *address != '\0') || userBusSocketExists()) {
        return;
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
}

} // namespace bw
