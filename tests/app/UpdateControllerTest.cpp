#include "app/UpdateController.h"

#include "platform/clock/ManualClock.h"
#include "services/info/ApplicationInfo.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TestFolder.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

namespace bw {
namespace {

struct CountingPresenter : updater::UpdatePresenter {
    int upToDate = 0;
    void offerUpdate(const updater::AppcastItem&) override {}
    void reportUpToDate() override { ++upToDate; }
    void reportFailure(const QString&) override {}
};

ApplicationInfo infoWithFeed(const QString& feed) {
    return ApplicationInfo::fromPropertyList(
        "<plist><dict><key>CFBundleVersion</key><string>3</string>" +
        (feed.isNull() ? QByteArray()
                       : "<key>SUFeedURL</key><string>" + feed.toUtf8() + "</string>") +
        "</dict></plist>");
}

class UpdateControllerTest : public ::testing::Test {
protected:
    std::unique_ptr<UpdateController> make(const QString& feed) {
        return UpdateController::fromApplicationInfo(infoWithFeed(feed),
                                                     {clock, settings, presenter});
    }

    ManualClock clock;
    test::TestFolder folder;
    QSettings settings{QString::fromStdString((folder.fsPath() / "s.ini").string()),
                       QSettings::IniFormat};
    CountingPresenter presenter;
};

TEST_F(UpdateControllerTest, HasNoUpdaterWithoutAWebFeed) {
    for (const QString& feed : {QString(), QString(""), QString("ftp://updates.test/a.xml"),
                                QString("/appcast.xml"), QString("https://")}) {
        const auto updates = make(feed);
        EXPECT_FALSE(updates->isAvailable()) << feed.toStdString();
        updates->checkForUpdates(); // does nothing, and does not crash
    }
}

TEST_F(UpdateControllerTest, StartsItsUpdaterAndPassesChecksOn) {
    test::bypassProxies();
    test::LocalHttpServer server;
    server.route("GET", "/appcast.xml",
                 test::ScriptedResponse{200, "<rss><channel></channel></rss>"});
    const auto updates = make(server.url("/appcast.xml").toString());
    ASSERT_TRUE(updates->isAvailable());
    EXPECT_TRUE(updates->controller()->isChecking()); // the first check of a new install
    updates->checkForUpdates();
    QEventLoop loop;
    QObject::connect(updates->controller(), &updater::Updater::checkFinished, &loop,
                     &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(presenter.upToDate, 1);
    EXPECT_EQ(server.requests().size(), 1u);
}

} // namespace
} // namespace bw
