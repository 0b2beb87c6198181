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
    const std::pair<QByteArray, bool> feeds[] = {
        {"", false},
        {"<key>SUFeedURL</key><string>ftp://updates.test/a.xml</string>", false},
        {"<key>SUFeedURL</key><string>http://127.0.0.1:9/appcast.xml</string>", true}};
    for (const auto& [feed, available] : feeds) {
        const auto updates = UpdateController::fromApplicationInfo(
            ApplicationInfo::fromPropertyList("<plist><dict>" + feed + "</dict></plist>"),
            {clock, settings, presenter});
        EXPECT_EQ(updates->isAvailable(), available) << feed.constData();
        // Started at once: a new install checks right away.
        EXPECT_EQ(available && updates->controller()->isChecking(), available);
    }
}

} // namespace
} // namespace bw
