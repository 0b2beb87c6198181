#include "tests/app/VirtualDisplay.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace bw::test {

namespace {

template <typename Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply> Owned<Reply> owned(Reply* reply) {
    return Owned<Reply>(reply, &std::free);
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const auto reply = owned(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The mapped top-level window of the program whose class (in WM_CLASS) is `program`, or none.
xcb_window_t findWindow(xcb_connection_t* connection, const QByteArray& program) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const auto tree =
        owned(xcb_query_tree_reply(connection, xcb_query_tree(connection, screen->root), nullptr));
    if (!tree) {
        return XCB_WINDOW_NONE;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int index = 0; index < xcb_query_tree_children_length(tree.get()); ++index) {
        const xcb_window_t window = children[index];
        const auto attributes = owned(xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, window), nullptr));
        const auto names = owned(xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256),
            nullptr));
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE || !names) {
            continue;
        }
        // The instance's name, then the class's, each ended by a zero byte.
        const QList<QByteArray> fields =
            QByteArray(static_cast<const char*>(xcb_get_property_value(names.get())),
                       xcb_get_property_value_length(names.get()))
                .split('\0');
        if (fields.size() > 1 && fields[1] == program) {
            return window;
        }
    }
    return XCB_WINDOW_NONE;
}

// A connection to `display`, closed when it goes.
struct Connection {
    explicit Connection(const QString& display)
        : handle(xcb_connect(display.toLocal8Bit().constData(), nullptr)) {}
    ~Connection() { xcb_disconnect(handle); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    bool isOpen() const { return xcb_connection_has_error(handle) == 0; }

    xcb_connection_t* handle;
};

// Whether no X server answers at display `number`'s abstract socket.
bool isFree(int number) {
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = "/tmp/.X11-unix/X" + QByteArray::number(number);
    std::memcpy(address.sun_path + 1, name.constData(), std::size_t(name.size()));
    const bool bound =
        ::bind(probe, reinterpret_cast<const sockaddr*>(&address),
               socklen_t(offsetof(sockaddr_un, sun_path) + 1 + std::size_t(name.size()))) == 0;
    ::close(probe);
    return bound && !QFile::exists("/tmp/.X" + QString::number(number) + "-lock");
}

} // namespace

VirtualDisplay::VirtualDisplay() {
    // A display number nobody uses: clients look for a server by the abstract socket name first,
    // which other users of the machine's network may hold without any lock file showing here.
    const int first = 200 + int(QRandomGenerator::global()->bounded(700));
    for (int number = first; number < first + 50; ++number) {
        if (!isFree(number)) {
            continue;
        }
        // The server must not reset when its last client leaves: a program connecting meanwhile
        // would be refused.
        server_.start(QStringLiteral("Xvfb"),
                      {u':' + QString::number(number), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1280x800x24"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                       QStringLiteral("-noreset")});
        const QDeadlineTimer deadline(30000);
        while (server_.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            if (Connection(u':' + QString::number(number)).isOpen()) {
                name_ = u':' + QString::number(number);
                return;
            }
            server_.waitForFinished(50);
        }
        server_.kill();
        server_.waitForFinished();
    }
}

VirtualDisplay::~VirtualDisplay() {
    server_.terminate();
    if (!server_.waitForFinished(10000)) {
        server_.kill();
        server_.waitForFinished();
    }
}

QString VirtualDisplay::unusedName() {
    // Above the numbers the constructor picks from, so that no test's server takes it meanwhile.
    int number = 1000 + int(QRandomGenerator::global()->bounded(1000));
    while (!isFree(number)) {
        ++number;
    }
    return u':' + QString::number(number);
}

bool VirtualDisplay::showsWindow(const QByteArray& program) const {
    const Connection connection(name_);
    return connection.isOpen() && findWindow(connection.handle, program) != XCB_WINDOW_NONE;
}

bool VirtualDisplay::closeWindow(const QByteArray& program) const {
    const Connection connection(name_);
    const xcb_window_t window = connection.isOpen() ? findWindow(connection.handle, program)
                                                    : xcb_window_t(XCB_WINDOW_NONE);
    if (window == XCB_WINDOW_NONE) {
        return false;
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(connection.handle, "WM_PROTOCOLS");
    event.data.data32[0] = atom(connection.handle, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    // Waited for: the server drops what is still unread from a client that has hung up, and the
    // connection closes as this returns.
    const auto refused = owned(xcb_request_check(
        connection.handle,
        xcb_send_event_checked(connection.handle, 0, window, XCB_EVENT_MASK_NO_EVENT,
                               reinterpret_cast<const char*>(&event))));
    return !refused;
}

} // namespace bw::test
