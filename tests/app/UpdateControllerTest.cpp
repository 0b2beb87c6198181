#include "app/UpdateController.h"

#include "platform/clock/ManualClock.h"
#include "services/info/ApplicationInfo.h"
#include "tests/support/SilentPresenter.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

TEST(UpdateController, StartsAnUpdaterOnlyForAWebFeed) {
    ManualClock clock;
    test::TestFolder folder;
    QSettings settings(folder.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    test::SilentPresenter presenter;
    const std::pair<QString, bool> feeds[] = {
        {QString(), false},
        {QStringLiteral("ftp://updates.test/a.xml"), false},
        {QStringLiteral("http://127.0.0.1:9/appcast.xml"), true}};
    for (const auto& [feed, available] : feeds) {
        const QByteArray key = feed.isNull()
                                   ? QByteArray()
                                   : "<key>SUFeedURL</key><string>" + feed.toUtf8() + "</string>";
        const auto updates = UpdateController::fromApplicationInfo(
            ApplicationInfo::fromPropertyList("<plist><dict>" + key + "</dict></plist>"),
            {clock, settings, presenter});
        EXPECT_EQ(updates->isAvailable(), available) << feed.toStdString();
        // Started at once: a new install checks right away.
        EXPECT_EQ(available && updates->controller()->isChecking(), available);
    }
}

} // namespace
} // namespace bw
