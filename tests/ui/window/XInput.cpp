#include "tests/ui/window/XInput.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <sys/uio.h>
#include <xcb/xcbext.h>

namespace bw::window::test {

namespace {

xcb_extension_t xtest = {"XTEST", 0};

// XTEST's FakeInput request; xcb fills in the opcodes and the length.
struct FakeInput {
    uint8_t majorOpcode;
    uint8_t minorOpcode;
    uint16_t length;
    uint8_t type;
    uint8_t detail;
    uint8_t pad0[2];
    uint32_t time;
    xcb_window_t root;
    uint8_t pad1[8];
    int16_t rootX;
    int16_t rootY;
    uint8_t pad2[7];
    uint8_t deviceID;
};
static_assert(sizeof(FakeInput) == 36);

constexpr xcb_keysym_t escapeSymbol = 0xff1b;
constexpr xcb_keysym_t shiftSymbol = 0xffe1;

template <typename Reply> std::unique_ptr<Reply, decltype(&std::free)> owned(Reply* reply) {
    return {reply, &std::free};
}

} // namespace

XInput::XInput() : connection_(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(connection_)) {
        return;
    }
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    root_ = xcb_setup_roots_iterator(setup).data->root;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const auto map = owned(xcb_get_keyboard_mapping_reply(
        connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, uint8_t(count)),
        nullptr));
    if (map) {
        const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(map.get());
        symbols_.assign(symbols, symbols + xcb_get_keyboard_mapping_keysyms_length(map.get()));
        perKeycode_ = std::max<int>(1, map->keysyms_per_keycode);
        firstKeycode_ = setup->min_keycode;
    }
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_, &xtest);
    if (extension && extension->present && !symbols_.empty()) {
        opcode_ = extension->major_opcode;
    }
}

XInput::~XInput() {
    xcb_disconnect(connection_);
}

void XInput::moveTo(QPoint global) {
    fake(XCB_MOTION_NOTIFY, 0, global);
}

void XInput::click(int button) {
    press(button);
    release(button);
}

void XInput::press(int button) {
    fake(XCB_BUTTON_PRESS, button);
}

void XInput::release(int button) {
    fake(XCB_BUTTON_RELEASE, button);
}

void XInput::pressEscape() {
    pressKey(escapeSymbol);
}

void XInput::pressKey(xcb_keysym_t symbol) {
    const auto found = std::find(symbols_.begin(), symbols_.end(), symbol);
    if (found == symbols_.end()) {
        return;
    }
    const auto index = int(found - symbols_.begin());
    const int key = firstKeycode_ + index / perKeycode_;
    const bool shifted = index % perKeycode_ == 1;
    const int shift = firstKeycode_ + int(std::find(symbols_.begin(), symbols_.end(), shiftSymbol) -
                                          symbols_.begin()) /
                                          perKeycode_;
    if (shifted) {
        fake(XCB_KEY_PRESS, shift);
    }
    fake(XCB_KEY_PRESS, key);
    fake(XCB_KEY_RELEASE, key);
    if (shifted) {
        fake(XCB_KEY_RELEASE, shift);
    }
}

void XInput::type(const QString& text) {
    for (const QChar character : text) {
        pressKey(character.unicode());
    }
}

void XInput::fake(int type, int detail, QPoint global) {
    FakeInput request{};
    request.type = uint8_t(type);
    request.detail = uint8_t(detail);
    request.root = root_;
    request.rootX = int16_t(global.x());
    request.rootY = int16_t(global.y());
    // xcb writes its own header into the two parts before the request's.
    iovec parts[3] = {{}, {}, {&request, sizeof request}};
    const xcb_protocol_request_t protocol{1, &xtest, 2, 1};
    xcb_send_request(connection_, 0, parts + 2, &protocol);
    // Done by the server before this returns.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

} // namespace bw::window::test
