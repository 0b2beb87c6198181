// The screen layout check finds what a user would see as a fault, and only that.

#include "tests/ui/TextLayout.h"

#include "tests/ui/Widgets.h"

#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <gtest/gtest.h>

namespace bw::window {
namespace {

const QString paragraph = QStringLiteral(
    "Compare the version metadata, screenshots, age rating and export compliance answers with the "
    "release build before you submit it for review.");

// A widget that paints its own text at a baseline it is given.
class PaintedText : public QWidget {
public:
    PaintedText(int baseline, QWidget* parent) : QWidget(parent), baseline_(baseline) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).drawText(QPoint(4, baseline_), QStringLiteral("Painted"));
    }

private:
    int baseline_;
};

QLabel* label(const QString& text, QRect geometry, QWidget* parent, bool wraps = false) {
    auto* result = new QLabel(text, parent);
    result->setWordWrap(wraps);
    result->setGeometry(geometry);
    return result;
}

TEST(TextLayoutTest, FindsCutShortAndOverlappingTextsOnly) {
    struct Case {
        const char* name;
        std::function<void(QWidget& window)> build;
        std::vector<QString> kinds;
    };
    const Case cases[] = {
        {"a wrapped label with room for its lines",
         [](QWidget& w) { label(paragraph, QRect(10, 10, 300, 120), &w, true); },
         {}},
        {"a wrapped label one line high",
         [](QWidget& w) { label(paragraph, QRect(10, 10, 300, 16), &w, true); },
         {"cut", "short"}},
        {"a label hanging out of its parent",
         [](QWidget& w) {
             auto* box = new QWidget(&w);
             box->setGeometry(0, 0, 200, 30);
             label(QStringLiteral("Heading"), QRect(10, 20, 150, 20), box);
         },
         {"cut"}},
        {"two labels on one spot",
         [](QWidget& w) {
             label(QStringLiteral("First"), QRect(10, 10, 200, 20), &w);
             label(QStringLiteral("Second"), QRect(14, 14, 200, 20), &w);
         },
         {"overlap"}},
        {"painted text below its widget",
         [](QWidget& w) { (new PaintedText(40, &w))->setGeometry(10, 10, 100, 20); },
         {"cut"}},
        {"painted text inside its widget",
         [](QWidget& w) { (new PaintedText(16, &w))->setGeometry(10, 10, 100, 20); },
         {}},
        {"text a scroll area scrolls to",
         [](QWidget& w) {
             auto* area = new QScrollArea(&w);
             area->setGeometry(0, 0, 300, 100);
             area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
             auto* content = new QWidget;
             content->resize(280, 400);
             label(QStringLiteral("Far down"), QRect(10, 90, 200, 20), content);
             label(QStringLiteral("Further"), QRect(10, 300, 200, 20), content);
             area->setWidget(content);
         },
         {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        QWidget window;
        window.resize(400, 300);
        test.build(window);
        window.show();
        bw::test::settle();
        std::set<QString> kinds;
        for (const QString& fault : bw::test::textFaults(window)) {
            kinds.insert(fault.section(u' ', 0, 0));
        }
        EXPECT_EQ(kinds, std::set<QString>(test.kinds.begin(), test.kinds.end()));
    }
}

} // namespace
} // namespace bw::window
