#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

// Which surroundings can show the window: a display of either kind, or a platform named in
// QT_QPA_PLATFORM that needs none; X11 alone, named or by default, needs DISPLAY.
TEST(DesktopSession, IsMissingOnlyWhereNoPlatformCanShowTheWindow) {
    const struct {
        const char* platform;
        const char* display;
        const char* wayland;
        bool missing;
    } cases[] = {
        {nullptr, nullptr, nullptr, true},      {nullptr, ":1", nullptr, false},
        {nullptr, nullptr, "wayland-0", false}, {"xcb", nullptr, "wayland-0", true},
        {"xcb", ":1", nullptr, false},          {" xcb:dpi=96", nullptr, nullptr, true},
        {"offscreen", nullptr, nullptr, false}, {"xcb;minimal", nullptr, nullptr, false},
        {"wayland", nullptr, nullptr, false},   {"", nullptr, nullptr, true},
    };
    for (const auto& c : cases) {
        QProcessEnvironment environment;
        const std::pair<const char*, const char*> variables[] = {{"QT_QPA_PLATFORM", c.platform},
                                                                 {"DISPLAY", c.display},
                                                                 {"WAYLAND_DISPLAY", c.wayland}};
        for (const auto& [name, value] : variables) {
            if (value) {
                environment.insert(QString::fromLatin1(name), QString::fromLatin1(value));
            }
        }
        EXPECT_EQ(missingDesktopSession(environment).has_value(), c.missing)
            << (c.platform ? c.platform : "-") << ' ' << (c.display ? c.display : "-") << ' '
            << (c.wayland ? c.wayland : "-");
    }
}

} // namespace
} // namespace bw
