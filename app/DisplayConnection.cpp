#include "app/DisplayConnection.h"

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace bw {

namespace {

bool canConnectToX11(const QString& name) {
    // The whole handshake, authorisation included, as Qt's own connection makes it.
    xcb_connection_t* connection = xcb_connect(name.toLocal8Bit().constData(), nullptr);
    const bool connected = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return connected;
}

bool canConnectToSocket(const QString& path) {
    const QByteArray encoded = path.toLocal8Bit();
    sockaddr_un address{};
    if (encoded.isEmpty() || std::size_t(encoded.size()) >= sizeof address.sun_path) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, encoded.constData(), std::size_t(encoded.size()));
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0) {
        return false;
    }
    const bool connected =
        ::connect(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(descriptor);
    return connected;
}

} // namespace

bool canConnect(const Display& display) {
    return display.kind == Display::Kind::x11 ? canConnectToX11(display.name)
                                              : canConnectToSocket(display.socket);
}

} // namespace bw
