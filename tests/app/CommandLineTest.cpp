#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

// Qt's own options and their values go to Qt, spelt with one dash or two; anything else that is
// not the program's is refused, a value Qt does not take after '=' included.
TEST(CommandLine, LeavesQtsOptionsToQtAndRefusesOthers) {
    const struct {
        QStringList options;
        std::optional<int> status;
    } cases[] = {
        {{"-platform", "offscreen", "-style=Fusion", "-reverse", "--marketing-scan"}, std::nullopt},
        {{"--session", "1a2b_3c", "-qwindowtitle", "--bogus"}, std::nullopt},
        {{"-platform=offscreen"}, 2},
        {{"-reverse", "Fusion"}, 2},
        {{"-style", "Fusion", "--help"}, 0},
    };
    for (const auto& c : cases) {
        const auto answer = commandLineAnswer(QStringList{"berthwatch"} + c.options, "1.0");
        EXPECT_EQ(answer ? std::optional(answer->status) : std::nullopt, c.status)
            << c.options.join(u' ').toStdString();
    }
}

// Which surroundings can show the window: a display of either kind that answers, or a platform
// named in QT_QPA_PLATFORM or with -platform that needs none; X11 alone, named or by default,
// needs DISPLAY or -display.
TEST(DesktopSession, IsRefusedOnlyWhereNoPlatformCanShowTheWindow) {
    const struct {
        const char* arguments;
        const char* platform;
        const char* display;
        const char* wayland;
        bool answers;
        const char* refusal;
    } cases[] = {
        {"", nullptr, nullptr, nullptr, true, "no desktop session"},
        {"", nullptr, ":1", nullptr, true, nullptr},
        {"", nullptr, nullptr, "wayland-0", true, nullptr},
        {"", "xcb", nullptr, "wayland-0", true, "no desktop session"},
        {"", "xcb", ":1", nullptr, true, nullptr},
        {"", " xcb:dpi=96", nullptr, nullptr, true, "no desktop session"},
        {"", "offscreen", nullptr, nullptr, true, nullptr},
        {"", "xcb;minimal", nullptr, nullptr, true, nullptr},
        {"", "wayland", nullptr, nullptr, true, nullptr},
        {"", "", nullptr, nullptr, true, "no desktop session"},
        {"-platform offscreen", nullptr, nullptr, nullptr, true, nullptr},
        {"-platform xcb", "offscreen", nullptr, nullptr, true, "no desktop session"},
        {"--display :1", "xcb", nullptr, nullptr, true, nullptr},
        {"", nullptr, ":99", nullptr, false, "cannot connect to the display :99;"},
        {"", nullptr, ":99", "wayland-9", false, "display :99 or wayland-9 (Wayland);"},
        {"-display :98", "xcb;offscreen", ":99", nullptr, false, nullptr},
        {"-display :98", "xcb", ":99", nullptr, false, "display :98;"},
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
        const QStringList arguments =
            QStringList{"berthwatch"} +
            QString::fromLatin1(c.arguments).split(u' ', Qt::SkipEmptyParts);
        const auto refusal = desktopSessionRefusal(arguments, environment,
                                                   [&](const Display&) { return c.answers; });
        const std::string trace =
            std::string(c.arguments) + " | " + (c.platform ? c.platform : "-") + ' ' +
            (c.display ? c.display : "-") + ' ' + (c.wayland ? c.wayland : "-");
        ASSERT_EQ(refusal.has_value(), c.refusal != nullptr) << trace;
        EXPECT_TRUE(!refusal || refusal->contains(QString::fromLatin1(c.refusal))) << trace;
    }
}

} // namespace
} // namespace bw
