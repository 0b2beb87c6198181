#include "model/MarketingMode.h"

#include "model/MarketingShowcase.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::marketing_mode;

namespace {

QProcessEnvironment environment(std::initializer_list<std::pair<QString, QString>> variables) {
    QProcessEnvironment result;
    for (const auto& [key, value] : variables) {
        result.insert(key, value);
    }
    return result;
}

const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);

} // namespace

TEST(MarketingMode, Switches) {
    struct Case {
        QStringList arguments;
        QProcessEnvironment environment;
        bool enabled;
        MarketingScene scene;
    };
    const QString program = "/usr/bin/berthwatch";
    const Case cases[] = {
        {{program}, {}, false, MarketingScene::scan},
        {{}, {}, false, MarketingScene::scan},
        {{program, "--marketing-scan"}, {}, true, MarketingScene::scan},
        {{program, "--marketing-scan=1"}, {}, false, MarketingScene::scan},
        {{program, "--Marketing-scan"}, {}, false, MarketingScene::scan},
        {{program, "--marketing-scene=report"}, {}, true, MarketingScene::report},
        {{program, "--marketing-scene=Report"}, {}, true, MarketingScene::scan},
        {{program, "--marketing-scene="}, {}, true, MarketingScene::scan},
        {{program, "--marketing-scene"}, {}, false, MarketingScene::scan},
        {{program, "--marketing-scene=nowhere", "--marketing-scene=home"},
         {},
         true,
         MarketingScene::scan},
        {{program, "--marketing-scene=drop", "--marketing-scene=home"},
         {},
         true,
         MarketingScene::drop},
        {{program, "--marketing-scene=flow"},
         environment({{"BERTHWATCH_MARKETING_SCENE", "home"}}),
         true,
         MarketingScene::flow},
        {{program, "--marketing-scene=bogus"},
         environment({{"BERTHWATCH_MARKETING_SCENE", "home"}}),
         true,
         MarketingScene::scan},
        {{program, "--marketing-scan"},
         environment({{"BERTHWATCH_MARKETING_SCENE", "showcase"}}),
         true,
         MarketingScene::showcase},
        {{"--marketing-scene=screens"}, {}, true, MarketingScene::screens},
        {{program}, environment({{"BERTHWATCH_MARKETING_SCAN", "1"}}), true, MarketingScene::scan},
        {{program},
         environment({{"BERTHWATCH_MARKETING_SCAN", "true"}}),
         false,
         MarketingScene::scan},
        {{program},
         environment({{"BERTHWATCH_MARKETING_SCAN", "01"}}),
         false,
         MarketingScene::scan},
        {{program},
         environment({{"BERTHWATCH_MARKETING_SCAN", " 1"}}),
         false,
         MarketingScene::scan},
        {{program}, environment({{"BERTHWATCH_MARKETING_SCAN", ""}}), false, MarketingScene::scan},
        {{program}, environment({{"BERTHWATCH_MARKETING_SCENE", ""}}), true, MarketingScene::scan},
        {{program},
         environment({{"BERTHWATCH_MARKETING_SCENE", "flow"}}),
         true,
         MarketingScene::flow},
        {{program},
         environment({{"BERTHWATCH_MARKETING_SCENE", "FLOW"}}),
         true,
         MarketingScene::scan},
        {{program},
         environment({{"BERTHWATCH_MARKETING_SCAN", "0"}, {"BERTHWATCH_MARKETING_SCENE", "home"}}),
         true,
         MarketingScene::home},
        {{program}, environment({{"berthwatch_marketing_scan", "1"}}), false, MarketingScene::scan},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(isEnabled(c.arguments, c.environment), c.enabled) << "case " << i;
        EXPECT_EQ(scene(c.arguments, c.environment), c.scene) << "case " << i;
    }
}

TEST(MarketingMode, ShowcaseFromTheSampleWhenThereIsNoFile) {
    const QDateTime now(QDate(2026, 8, 1), QTime(12, 0), Qt::UTC);
    const auto reports = makeShowcaseReports("/nonexistent/showcase.json", now);
    const ScanReport& sample = ScanReport::sample();
    ASSERT_EQ(reports.size(), 6u);
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const ScanReport& report = reports[i];
        const ShowcaseRow& row = showcaseRows()[i];
        const bool clean = i % 2 == 1;
        EXPECT_EQ(row.clean, clean);
        EXPECT_EQ(report.createdAt, now.addSecs(-820 * static_cast<qint64>(i))) << i;
        EXPECT_EQ(report.verdict, clean ? Verdict::noConfirmedBlockers : Verdict::needsAttention);
        EXPECT_EQ(report.findings, clean ? std::vector<Finding>{} : sample.findings);
        EXPECT_EQ(report.fileName, row.appName + ".xcarchive");
        EXPECT_TRUE(report.sourcePath.isEmpty());
        EXPECT_EQ(report.metadata.appName, row.appName);
        EXPECT_EQ(report.metadata.bundleIdentifier, row.bundleIdentifier);
        EXPECT_EQ(report.metadata.version, row.version);
        EXPECT_EQ(report.metadata.buildNumber, row.buildNumber);
        EXPECT_EQ(report.metadata.sdkNames, sample.metadata.sdkNames);
        EXPECT_EQ(report.passedChecks, sample.passedChecks);
        EXPECT_EQ(report.rulesVersion, sample.rulesVersion);
        ASSERT_TRUE(report.metadata.iconPNG) << i;
        EXPECT_TRUE(report.metadata.iconPNG->startsWith(pngSignature));
        EXPECT_NE(report.id, sample.id);
    }
    EXPECT_NE(reports[0].id, reports[1].id);
}

TEST(MarketingMode, ShowcaseFromTheShippedFile) {
    const auto& reports = showcaseReport();
    ASSERT_EQ(reports.size(), 6u);
    EXPECT_EQ(&reports, &showcaseReport());
    // The shipped base is richer than the sample: more findings and a screenshot summary.
    EXPECT_EQ(reports[0].findings.size(), 4u);
    EXPECT_TRUE(reports[0].screenshotSummary);
    EXPECT_TRUE(reports[1].findings.empty());
    EXPECT_TRUE(reports[1].screenshotSummary);
    QStringList bundles;
    for (const ScanReport& report : reports) {
        bundles << report.metadata.bundleIdentifier;
        EXPECT_TRUE(report.metadata.iconPNG);
    }
    bundles.removeDuplicates();
    EXPECT_EQ(bundles.size(), 6);
}

TEST(MarketingMode, ShowcaseFileThatDoesNotDecodeFallsBackToTheSample) {
    bw::test::TestFolder folder;
    const QByteArray contents[] = {"not json", "[]", R"({"id": "x"})", ""};
    for (const QByteArray& content : contents) {
        QFile file(folder.filePath("showcase.json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        const auto reports = makeShowcaseReports(file.fileName(), QDateTime::currentDateTimeUtc());
        ASSERT_EQ(reports.size(), 6u);
        EXPECT_EQ(reports[0].findings, ScanReport::sample().findings) << content.constData();
    }
}

TEST(MarketingMode, ShowcaseReportNeverKeepsTheBaseIconOrVerdict) {
    ScanReport base = ScanReport::sample();
    base.metadata.iconPNG = QByteArray("base icon");
    base.verdict = Verdict::noConfirmedBlockers;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const ShowcaseRow withoutIcon{"A", "com.example.a", "1", "2", 0.5, false, std::nullopt};
    const ShowcaseRow missingIcon{"B", "com.example.b", "1", "2", 0, true, "/nonexistent.png"};

    const ScanReport a = makeShowcaseReport(withoutIcon, base, now);
    EXPECT_FALSE(a.metadata.iconPNG);
    EXPECT_EQ(a.verdict, Verdict::needsAttention);
    EXPECT_EQ(a.createdAt, now.addMSecs(-500));

    base.verdict = Verdict::needsAttention;
    const ScanReport b = makeShowcaseReport(missingIcon, base, now);
    EXPECT_FALSE(b.metadata.iconPNG);
    EXPECT_EQ(b.verdict, Verdict::noConfirmedBlockers);
    EXPECT_TRUE(b.findings.empty());
}

TEST(MarketingMode, DemoArchive) {
    EXPECT_FALSE(demoArchiveURL("/nonexistent/Archives"));

    bw::test::TestFolder folder;
    const QDir archives(folder.path());
    const QString name = demoAppName();
    for (const QString& entry :
         QStringList{"Other.xcarchive", name + ".xcarchive.zip", name.toLower() + ".xcarchive",
                     name + ".XCARCHIVE", "x" + name + ".xcarchive"}) {
        ASSERT_TRUE(archives.mkdir(entry));
    }
    EXPECT_FALSE(demoArchiveURL(folder.path()));

    ASSERT_TRUE(archives.mkdir(name + " 2026-08-01 12.00.xcarchive"));
    const auto url = demoArchiveURL(folder.path());
    ASSERT_TRUE(url);
    EXPECT_EQ(url->toLocalFile(), archives.filePath(name + " 2026-08-01 12.00.xcarchive"));
}
