#include "tests/app/VirtualDisplay.h"

#include <cstdlib>
#include <cstring>
#include <memory>
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
    return reply ? reply->atom : XCB_ATOM_NONE;
}

// The mapped top-level window titled `title`, or none.
xcb_window_t findWindow(xcb_connection_t* connection, const QByteArray& title) {
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
        const auto name = owned(xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 256),
            nullptr));
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE && name &&
            QByteArray(static_cast<const char*>(xcb_get_property_value(name.get())),
                       xcb_get_property_value_length(name.get())) == title) {
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

} // namespace

VirtualDisplay::VirtualDisplay() {
    // The server picks a free display number and writes it to the descriptor named.
    server_.start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp")});
    while (!server_.canReadLine() && server_.waitForReadyRead(30000)) {
    }
    const QByteArray number = server_.readLine().trimmed();
    if (!number.isEmpty()) {
        name_ = u':' + QString::fromLatin1(number);
    }
}

VirtualDisplay::~VirtualDisplay() {
    server_.terminate();
    if (!server_.waitForFinished(10000)) {
        server_.kill();
        server_.waitForFinished();
    }
}

bool VirtualDisplay::showsWindow(const QByteArray& title) const {
    const Connection connection(name_);
    return connection.isOpen() && findWindow(connection.handle, title) != XCB_WINDOW_NONE;
}

bool VirtualDisplay::closeWindow(const QByteArray& title) const {
    const Connection connection(name_);
    const xcb_window_t window =
        connection.isOpen() ? findWindow(connection.handle, title) : XCB_WINDOW_NONE;
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
    xcb_send_event(connection.handle, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    return xcb_flush(connection.handle) > 0;
}

} // namespace bw::test
