#include "platform/updater/Updater.h"

#include "platform/clock/ManualClock.h"
#include "platform/updater/Appcast.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TestFolder.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

namespace bw::updater {
namespace {

struct RecordingPresenter : UpdatePresenter {
    std::vector<QString> events;
    void offerUpdate(const AppcastItem& item) override {
        events.push_back("offer " + item.version + " " + item.downloadLink.toString());
    }
    void reportUpToDate() override { events.push_back("up to date"); }
    void reportFailure(const QString&) override { events.push_back("failure"); }
};

QByteArray feed(const QByteArray& items) {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Berthwatch</title>)" +
           items + "</channel></rss>";
}

std::string appcast(const char* version) {
    return feed("<item><sparkle:version>" + QByteArray(version) +
                "</sparkle:version><link>https://berthwatch.test/get</link></item>")
        .toStdString();
}

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "updater_tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
        test::bypassProxies();
    }

    std::unique_ptr<Updater> makeUpdater(const QString& currentVersion = "7") {
        return std::make_unique<Updater>(
            server.url("/appcast.xml"), currentVersion,
            Updater::Environment{clock, settings, presenter, [this] { return wallNow; }});
    }

    // Waits for the check in flight; false when none finishes within a few seconds.
    static bool waitForCheck(Updater& updater) {
        QEventLoop loop;
        QObject::connect(&updater, &Updater::checkFinished, &loop, [&] { loop.exit(0); });
        QTimer::singleShot(5000, &loop, [&] { loop.exit(1); });
        return loop.exec() == 0;
    }

    test::LocalHttpServer server;
    ManualClock clock;
    test::TestFolder folder;
    QSettings settings{QString::fromStdString((folder.fsPath() / "settings.ini").string()),
                       QSettings::IniFormat};
    RecordingPresenter presenter;
    QDateTime wallNow = QDateTime(QDate(2026, 12, 6), QTime(9, 0), Qt::UTC);
};

// A check the user asks for reports every outcome; a scheduled one speaks only to offer an update.
TEST_F(UpdaterTest, ChecksReportTheirOutcome) {
    struct Case {
        const char* name;
        test::ScriptedResponse response;
        bool scheduled;
        std::vector<QString> expected;
    };
    const std::vector<Case> cases = {
        {"newer", {200, appcast("8")}, false, {"offer 8 https://berthwatch.test/get"}},
        {"same", {200, appcast("7")}, false, {"up to date"}},
        {"broken feed", {200, "<rss><channel><item>"}, false, {"failure"}},
        {"not found", {404, "missing"}, false, {"failure"}},
        {"scheduled, newer", {200, appcast("8")}, true, {"offer 8 https://berthwatch.test/get"}},
        {"scheduled, same", {200, appcast("7")}, true, {}},
        {"scheduled, not found", {404, "missing"}, true, {}},
    };
    for (const auto& c : cases) {
        server.route("GET", "/appcast.xml", c.response);
        presenter.events.clear();
        settings.remove(Updater::lastCheckKey);
        auto updater = makeUpdater();
        c.scheduled ? updater->start() : updater->checkForUpdates();
        ASSERT_TRUE(updater->isChecking()) << c.name;
        ASSERT_TRUE(waitForCheck(*updater)) << c.name;
        EXPECT_EQ(presenter.events, c.expected) << c.name;
    }
}

// A last check dated in the future does not postpone checks; otherwise they come a day apart,
// across launches.
TEST_F(UpdaterTest, ChecksOnceADayAcrossLaunches) {
    server.route("GET", "/appcast.xml", test::ScriptedResponse{200, appcast("7")});
    settings.setValue(Updater::lastCheckKey, wallNow.addDays(300));
    auto updater = makeUpdater();
    updater->start();
    ASSERT_TRUE(updater->isChecking());
    ASSERT_TRUE(waitForCheck(*updater));
    EXPECT_EQ(settings.value(Updater::lastCheckKey).toDateTime(), wallNow);
    settings.setValue(Updater::lastCheckKey, wallNow.addSecs(-3600));
    updater = makeUpdater();
    updater->start();
    EXPECT_FALSE(updater->isChecking());
    clock.advance(std::chrono::hours(22));
    EXPECT_FALSE(updater->isChecking());
    clock.advance(std::chrono::hours(1));
    ASSERT_TRUE(updater->isChecking());
    ASSERT_TRUE(waitForCheck(*updater));
    EXPECT_EQ(server.requests().size(), 2u);
    // The next one is a whole day after the check that just ran.
    clock.advance(std::chrono::hours(23));
    EXPECT_FALSE(updater->isChecking());
    clock.advance(std::chrono::hours(1));
    EXPECT_TRUE(updater->isChecking());
    ASSERT_TRUE(waitForCheck(*updater));
}

TEST_F(UpdaterTest, GoingAwayMidCheckStopsTheRequest) {
    test::ScriptedResponse slow{200, appcast("8")};
    slow.delay = std::chrono::seconds(20);
    server.route("GET", "/appcast.xml", slow);
    auto updater = makeUpdater();
    updater->checkForUpdates();
    const auto started = std::chrono::steady_clock::now();
    updater.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    QCoreApplication::processEvents();
    EXPECT_TRUE(presenter.events.empty());
}

TEST(Appcast, ReadsVersionsAndLinksFromElementsOrEnclosure) {
    const auto items = parseAppcast(feed(R"(
<item><title>1.2</title><sparkle:version>42</sparkle:version>
  <sparkle:shortVersionString>1.2</sparkle:shortVersionString>
  <link>https://berthwatch.test/download</link></item>
<item><enclosure url="https://berthwatch.test/b.zip" sparkle:version="43"
  sparkle:shortVersionString="1.3" length="1" type="application/octet-stream"/></item>)"));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], (AppcastItem{"42", "1.2", QUrl("https://berthwatch.test/download")}));
    EXPECT_EQ(items[1], (AppcastItem{"43", "1.3", QUrl("https://berthwatch.test/b.zip")}));
    EXPECT_EQ(newestItem(items)->version, "43");
}

TEST(Appcast, RefusesWhatIsNotAnAppcast) {
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"truncated", feed("<item><sparkle:version>2</sparkle:version>").left(120)},
        {"no version", feed("<item><link>https://berthwatch.test/</link></item>")},
        {"script link",
         feed("<item><sparkle:version>2</sparkle:version><link>javascript:alert(1)</link></item>")},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_THROW(parseAppcast(bytes), AppcastError) << name;
    }
}

TEST(Appcast, ComparesVersionsPartByPart) {
    const std::vector<std::tuple<QString, QString, int>> cases = {
        {"1.10", "1.9", 1},
        {"2", "2.0", 0},
        {"1.0", "1.0b1", 1},
        {"1.0b2", "1.0b10", -1},
        {"99999999999999999999", "1", 1},
    };
    for (const auto& [a, b, order] : cases) {
        EXPECT_EQ(compareVersions(a, b), order) << a.toStdString() << " vs " << b.toStdString();
        EXPECT_EQ(compareVersions(b, a), -order) << b.toStdString() << " vs " << a.toStdString();
    }
}

} // namespace
} // namespace bw::updater
