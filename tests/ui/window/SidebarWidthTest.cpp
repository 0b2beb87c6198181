#include "ui/window/SidebarWidth.h"

#include "tests/support/TestFolder.h"
#include "ui/window/SidebarResizeHandle.h"

#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

namespace bw::window {
namespace {

class SidebarWidthTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
        QSettings().clear();
    }

    static void store(const QVariant& value) {
        QSettings().setValue(SidebarWidth::settingsKey, value);
    }
    static QVariant stored() { return QSettings().value(SidebarWidth::settingsKey); }

    test::TestFolder settingsFolder;
};

TEST_F(SidebarWidthTest, HostileStoredValuesLayOutWithinTheBounds) {
    const struct {
        QVariant stored;
        double width;
    } cases[] = {
        {QVariant(), 248},
        {QStringLiteral("nan"), 248},
        {std::numeric_limits<double>::infinity(), 248},
        {QStringLiteral("wide"), 248},
        {-1e300, 220},
        {500, 280},
        {247.9, 247.9},
    };
    for (const auto& c : cases) {
        store(c.stored);
        SidebarWidth width;
        SidebarResizeHandle handle(&width);
        EXPECT_EQ(width.value(), c.width) << c.stored.toString().toStdString();
        EXPECT_EQ(handle.accessibleDescription(), QStringLiteral("%1 points").arg(qint64(c.width)));
        // Reading never writes: the stored value changes only when the user resizes.
        EXPECT_EQ(stored().toString(), c.stored.toString());
    }
}

TEST_F(SidebarWidthTest, KeyboardAdjustsInStepsFromTheClampedWidth) {
    const struct {
        QVariant stored;
        int key;
        double width;
    } cases[] = {
        {248, Qt::Key_Left, 236},
        {280, Qt::Key_Right, 280},
        {225, Qt::Key_Down, 220},
        {1e9, Qt::Key_Left, 268},
        {QStringLiteral("nan"), Qt::Key_Right, 260},
    };
    for (const auto& c : cases) {
        store(c.stored);
        SidebarWidth width;
        SidebarResizeHandle handle(&width);
        QTest::keyClick(&handle, Qt::Key(c.key));
        EXPECT_EQ(width.value(), c.width) << c.stored.toString().toStdString();
        EXPECT_EQ(stored().toDouble(), c.width);
        EXPECT_EQ(handle.accessibleDescription(), QStringLiteral("%1 points").arg(qint64(c.width)));
    }
}

TEST_F(SidebarWidthTest, DraggingFollowsThePointerWithinTheBounds) {
    QWidget window;
    window.resize(600, 400);
    store(QStringLiteral("garbage"));
    SidebarWidth width;
    auto* handle = new SidebarResizeHandle(&width, &window);
    handle->setGeometry(244, 0, 8, 400);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QPoint start(4, 200);
    QTest::mousePress(handle, Qt::LeftButton, {}, start);
    QTest::mouseMove(handle, start + QPoint(20, 7));
    EXPECT_EQ(width.value(), 268);
    QTest::mouseMove(handle, start + QPoint(500, 0));
    EXPECT_EQ(width.value(), 280);
    // Back within the same drag: measured from where the drag began, not from the last move.
    QTest::mouseMove(handle, start + QPoint(-10, 0));
    EXPECT_EQ(width.value(), 238);
    QTest::mouseMove(handle, start + QPoint(-500, 0));
    EXPECT_EQ(width.value(), 220);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, start + QPoint(-500, 0));
    EXPECT_EQ(stored().toDouble(), 220);

    // A move without a press is no drag.
    QTest::mouseMove(handle, start + QPoint(30, 0));
    EXPECT_EQ(width.value(), 220);
}

} // namespace
} // namespace bw::window
