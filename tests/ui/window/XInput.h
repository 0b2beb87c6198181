#pragma once

#include <QPoint>
#include <QString>
#include <vector>
#include <xcb/xcb.h>

namespace bw::window::test {

// The pointer and keyboard of the X display the application runs on, driven through the
// server's XTEST extension: the server moves its pointer, grabs and crosses windows and tells
// the application, as for a user's own hand.
class XInput {
public:
    XInput();
    ~XInput();
    XInput(const XInput&) = delete;
    XInput& operator=(const XInput&) = delete;

    // Whether the display answers and offers XTEST.
    bool isOpen() const { return opcode_ != 0; }
    void moveTo(QPoint global);
    // Presses and releases a button (1 left, 3 right) where the pointer is.
    void click(int button);
    void press(int button);
    void release(int button);
    // Presses and releases Escape.
    void pressEscape();
    // Presses and releases the key that gives `symbol` (an X keysym: 0xff09 Tab, 0xff0d Return,
    // or a Latin-1 character's code), with Shift held where the key gives it shifted.
    void pressKey(xcb_keysym_t symbol);
    // Types `text` (Latin-1) key by key.
    void type(const QString& text);

private:
    void fake(int type, int detail, QPoint global = {});

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    int opcode_ = 0;
    // The server's keyboard map: `perKeycode_` symbols for each key from `firstKeycode_` on.
    std::vector<xcb_keysym_t> symbols_;
    int perKeycode_ = 1;
    int firstKeycode_ = 0;
};

} // namespace bw::window::test
