#include "platform/keychain/SecretServiceStatus.h"

#include "platform/keychain/KeychainStatus.h"

#include <gio/gio.h>
#include <libsecret/secret.h>

namespace bw {
namespace {

// D-Bus answers meaning that nobody provides the Secret Service on this bus.
bool isServiceMissing(int code) {
    switch (code) {
    case G_DBUS_ERROR_SERVICE_UNKNOWN:
    case G_DBUS_ERROR_NAME_HAS_NO_OWNER:
    case G_DBUS_ERROR_NO_SERVER:
    case G_DBUS_ERROR_DISCONNECTED:
    case G_DBUS_ERROR_NO_REPLY:
    case G_DBUS_ERROR_TIMEOUT:
    case G_DBUS_ERROR_TIMED_OUT:
    case G_DBUS_ERROR_SPAWN_EXEC_FAILED:
    case G_DBUS_ERROR_SPAWN_FORK_FAILED:
    case G_DBUS_ERROR_SPAWN_CHILD_EXITED:
    case G_DBUS_ERROR_SPAWN_CHILD_SIGNALED:
    case G_DBUS_ERROR_SPAWN_FAILED:
    case G_DBUS_ERROR_SPAWN_SERVICE_INVALID:
    case G_DBUS_ERROR_SPAWN_SERVICE_NOT_FOUND:
    case G_DBUS_ERROR_SPAWN_PERMISSIONS_INVALID:
    case G_DBUS_ERROR_SPAWN_FILE_INVALID:
    case G_DBUS_ERROR_SPAWN_NO_MEMORY:
        return true;
    default:
        return false;
    }
}

} // namespace

qint32 keychainStatus(const GError* error) {
    if (error == nullptr) {
        return keychain_status::internalComponent;
    }
    if (error->domain == SECRET_ERROR) {
        switch (error->code) {
        case SECRET_ERROR_IS_LOCKED:
            return keychain_status::interactionNotAllowed;
        case SECRET_ERROR_NO_SUCH_OBJECT:
            // Items are looked up by attributes, so the missing object is the default collection.
            return keychain_status::noDefaultKeychain;
        default:
            return keychain_status::internalComponent;
        }
    }
    if (error->domain == G_DBUS_ERROR) {
        if (error->code == G_DBUS_ERROR_ACCESS_DENIED || error->code == G_DBUS_ERROR_AUTH_FAILED) {
            return keychain_status::authFailed;
        }
        return isServiceMissing(error->code) ? keychain_status::notAvailable
                                             : keychain_status::internalComponent;
    }
    if (error->domain == G_IO_ERROR) {
        // A dismissed unlock prompt; every other I/O error is the bus connection failing.
        return error->code == G_IO_ERROR_CANCELLED ? keychain_status::userCanceled
                                                   : keychain_status::notAvailable;
    }
    return keychain_status::internalComponent;
}

} // namespace bw
