#include "ui/design/Compositor.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace bw::design {

namespace {

std::optional<bool>& overridden() {
    static std::optional<bool> value;
    return value;
}

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

// An X11 compositor owns the selection "_NET_WM_CM_S" followed by the screen's number. The
// selection's atom stays the same while the display runs, so only the owner is asked each time.
xcb_atom_t compositorSelection(xcb_connection_t* connection) {
    static xcb_atom_t selection = XCB_NONE;
    if (selection != XCB_NONE) {
        return selection;
    }
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) != 0) {
        std::free(host);
    }
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    // Made only once a compositor has started: until then the answer is none, asked again.
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, quint16(name.size()), name.constData()),
        nullptr));
    if (atom) {
        selection = atom->atom;
    }
    return selection;
}

bool x11Composites(xcb_connection_t* connection) {
    const xcb_atom_t selection = compositorSelection(connection);
    if (selection == XCB_NONE) {
        return false;
    }
    const std::unique_ptr<xcb_get_selection_owner_reply_t, FreeReply> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection),
                                      nullptr));
    return owner && owner->owner != XCB_NONE;
}

} // namespace

bool desktopComposites() {
    if (overridden()) {
        return *overridden();
    }
    // Not X11: a Wayland desktop composites, and an offscreen one draws into images (though it
    // may answer for an X11 connection of its own).
    const auto* x11 = qGuiApp && QGuiApplication::platformName() == QLatin1String("xcb")
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    return !x11 || !x11->connection() || x11Composites(x11->connection());
}

void overrideDesktopComposites(std::optional<bool> value) {
    overridden() = value;
}

} // namespace bw::design
