#include "model/MarketingMode.h"

#include "model/MarketingShowcase.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

using namespace bw;
using namespace bw::marketing_mode;

// Arguments after the program, then SCAN and SCENE variables ("-" when unset).
TEST(MarketingMode, Switches) {
    using enum MarketingScene;
    struct Case {
        QString arguments, scan, scene;
        bool enabled;
        MarketingScene expected;
    };
    const Case cases[] = {
        {"", "-", "-", false, scan},
        {"--marketing-scene=report", "-", "-", true, report},
        {"--marketing-scene=Report", "-", "-", true, scan},
        {"--marketing-scene=flow", "-", "home", true, flow},
        {"--marketing-scan", "-", "-", true, scan},
        {"", "1", "-", true, scan},
        {"", " 1", "-", false, scan},
        {"", "0", "home", true, home},
    };
    for (const Case& c : cases) {
        QStringList arguments = c.arguments.split(u' ', Qt::SkipEmptyParts);
        arguments.prepend("/usr/bin/berthwatch");
        QProcessEnvironment environment;
        if (c.scan != "-") {
            environment.insert("BERTHWATCH_MARKETING_SCAN", c.scan);
        }
        if (c.scene != "-") {
            environment.insert("BERTHWATCH_MARKETING_SCENE", c.scene);
        }
        const std::string name = (c.arguments + "|" + c.scan + "|" + c.scene).toStdString();
        EXPECT_EQ(isEnabled(arguments, environment), c.enabled) << name;
        EXPECT_EQ(scene(arguments, environment), c.expected) << name;
    }
}

// A file that is missing or does not decode leaves the sample as the base, under new ids.
TEST(MarketingMode, ShowcaseFileThatDoesNotDecodeFallsBackToTheSample) {
    bw::test::TestFolder folder;
    for (const QByteArray content : {"<missing>", "not json", R"({"id": "x"})"}) {
        if (content != "<missing>") {
            folder.write("showcase.json", content);
        }
        const auto reports =
            makeShowcaseReports(folder.filePath("showcase.json"), QDateTime::currentDateTimeUtc());
        ASSERT_EQ(reports.size(), 6u);
        EXPECT_EQ(reports[0].findings, ScanReport::sample().findings) << content.constData();
        EXPECT_NE(reports[0].id, ScanReport::sample().id);
        EXPECT_NE(reports[0].id, reports[1].id);
    }
}

// The archive is found by the demonstration app's name, exactly as Xcode names its archives.
TEST(MarketingMode, DemoArchive) {
    EXPECT_FALSE(demoArchiveURL("/nonexistent/Archives"));
    bw::test::TestFolder folder;
    const QString name = demoAppName();
    for (const QString& entry :
         {name + ".xcarchive.zip", name.toLower() + ".xcarchive", "x" + name + ".xcarchive"}) {
        folder.makeFolder(entry);
    }
    EXPECT_FALSE(demoArchiveURL(folder.path()));
    const QString archive = folder.makeFolder(name + " 2026-08-01 12.00.xcarchive");
    EXPECT_EQ(demoArchiveURL(folder.path()), QUrl::fromLocalFile(archive));
}
