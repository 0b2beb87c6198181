#include "ui/workspace/MessagePlacement.h"

#include <gtest/gtest.h>
#include <vector>

using bw::workspace::MessagePlacement;
using bw::workspace::placeMessage;

namespace {

// Rows of a page: a rectangle from `top`, `height` high.
QRect row(int top, int height) {
    return {0, top, 600, height};
}

} // namespace

TEST(MessagePlacement, ShowsTheMessageClearWithNoHeadingUnderAFade) {
    constexpr int fade = 28;
    const struct {
        const char* name;
        QRect message;
        std::vector<QRect> headings;
        int shown;
        int pageHeight;
        int current;
        MessagePlacement expected;
    } cases[] = {
        // The nearest place that shows the message clear above the bottom fade, the heading
        // having scrolled out of view.
        {"page goes on", row(700, 20), {row(100, 51)}, 500, 900, 0, {0, 248}},
        // Already where it shows clear: the page stays.
        {"already clear", row(300, 20), {row(100, 51)}, 500, 900, 10, {0, 10}},
        // The least window: the heading cannot show clear with the message, so the page's end
        // gains room for the heading to scroll just out of view, the end not fading there.
        {"heading in the way", row(580, 27), {row(12, 46), row(142, 82)}, 459, 623, 0, {60, 224}},
        // A short page that the view holds whole.
        {"page fits", row(300, 14), {row(20, 40)}, 500, 400, 0, {0, 0}},
        // Taller than the view: its top.
        {"message taller than the view", row(300, 200), {row(0, 21)}, 100, 600, 0, {0, 300}},
    };
    for (const auto& item : cases) {
        const MessagePlacement got = placeMessage(item.message, item.headings, item.shown,
                                                  item.pageHeight, item.current, fade);
        EXPECT_EQ(got, item.expected)
            << item.name << ": room " << got.endRoom << ", place " << got.place;
    }
}
