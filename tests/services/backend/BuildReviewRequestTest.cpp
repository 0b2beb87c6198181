#include "services/backend/BerthwatchBackend.h"
#include "tests/services/backend/BackendTestSupport.h"
#include "tests/support/QtPrinters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <set>

namespace bw {
namespace {

using test::LocalHttpServer;

// Sends `report` through a real exchange and returns the body as the server received it.
class SentBody {
public:
    SentBody() : backend_(server_.url()) {
        server_.route("POST", "/v1/scans/abc/analyze", test::answer(200, test::minimalAnalysis));
    }

    const QJsonObject of(const ScanReport& report) {
        backend_.reviewBuildEvidence(std::nullopt, QStringLiteral("abc"), report);
        const auto seen = server_.requests();
        QJsonParseError error;
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray::fromStdString(seen.back().body), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError);
        return document.object();
    }

private:
    LocalHttpServer server_;
    BerthwatchBackend backend_;
};

QString letters(int count) {
    return QString(count, QLatin1Char('x'));
}

std::set<QString> keysOf(const QJsonObject& object) {
    const QStringList keys = object.keys();
    return {keys.begin(), keys.end()};
}

TEST(BuildReviewRequest, SampleReportIsSentFieldByField) {
    SentBody sent;
    ScanReport report = test::sampleReport();
    report.rulesVersion = QStringLiteral(" 2026.08.1 ");
    report.findings[0].itms = QStringLiteral("ITMS-90683");
    const QJsonObject body = sent.of(report);

    EXPECT_EQ(keysOf(body),
              (std::set<QString>{"rulesVersion", "app", "localFindings", "passedChecks"}));
    EXPECT_EQ(body["rulesVersion"].toString(), " 2026.08.1 ");
    EXPECT_EQ(body["passedChecks"].toArray(), QJsonArray({"Info.plist readable"}));

    const QJsonObject app = body["app"].toObject();
    EXPECT_EQ(keysOf(app),
              (std::set<QString>{"name", "bundleIdentifier", "version", "buildNumber", "platform",
                                 "minimumOS", "architectures", "sdkNames", "bundleSize"}));
    EXPECT_EQ(app["name"].toString(), "FlightDeck");
    EXPECT_EQ(app["bundleIdentifier"].toString(), "com.example.flightdeck");
    EXPECT_EQ(app["version"].toString(), "2.4");
    EXPECT_EQ(app["buildNumber"].toString(), "112");
    EXPECT_EQ(app["platform"].toString(), "iOS");
    EXPECT_EQ(app["minimumOS"].toString(), "16.0");
    EXPECT_EQ(app["architectures"].toArray(), QJsonArray({"arm64"}));
    EXPECT_EQ(app["sdkNames"].toArray(), QJsonArray({"Sentry"}));
    EXPECT_EQ(app["bundleSize"].toInteger(), 52428800);

    const QJsonArray findings = body["localFindings"].toArray();
    ASSERT_EQ(findings.size(), 1);
    const QJsonObject finding = findings[0].toObject();
    EXPECT_EQ(keysOf(finding),
              (std::set<QString>{"id", "severity", "category", "guideline", "itms", "title",
                                 "detail", "evidence", "fix", "confidence", "source"}));
    EXPECT_EQ(finding["id"].toString(), "build.rule.0");
    EXPECT_EQ(finding["severity"].toString(), "risk");
    EXPECT_EQ(finding["category"].toString(), "Privacy");
    EXPECT_EQ(finding["guideline"].toString(), "5.1.1");
    EXPECT_EQ(finding["itms"].toString(), "ITMS-90683");
    EXPECT_EQ(finding["title"].toString(), "Title 0");
    EXPECT_EQ(finding["detail"].toString(), "Detail");
    EXPECT_EQ(finding["evidence"].toString(), "Evidence");
    EXPECT_EQ(finding["fix"].toString(), "Fix");
    EXPECT_DOUBLE_EQ(finding["confidence"].toDouble(), 0.8);
    EXPECT_EQ(finding["source"].toString(), "Build");
}

TEST(BuildReviewRequest, CountsAreCutAtTheirLimits) {
    const struct {
        const char* name;
        std::function<void(ScanReport&, int)> fill;
        std::function<QJsonArray(const QJsonObject&)> sent;
        int limit;
    } lists[] = {
        {"findings",
         [](ScanReport& r, int n) {
             r.findings.clear();
             for (int i = 0; i < n; ++i) {
                 r.findings.push_back(test::sampleFinding(i));
             }
         },
         [](const QJsonObject& b) { return b["localFindings"].toArray(); }, 120},
        {"architectures",
         [](ScanReport& r, int n) { r.metadata.architectures.assign(n, QStringLiteral("arm64")); },
         [](const QJsonObject& b) { return b["app"]["architectures"].toArray(); }, 16},
        {"sdk names",
         [](ScanReport& r, int n) { r.metadata.sdkNames.assign(n, QStringLiteral("Sentry")); },
         [](const QJsonObject& b) { return b["app"]["sdkNames"].toArray(); }, 120},
        {"passed checks",
         [](ScanReport& r, int n) {
             r.passedChecks.clear();
             for (int i = 0; i < n; ++i) {
                 r.passedChecks.push_back(QStringLiteral("check %1").arg(i));
             }
         },
         [](const QJsonObject& b) { return b["passedChecks"].toArray(); }, 160},
    };
    SentBody sent;
    for (const auto& list : lists) {
        for (int count : {0, list.limit, list.limit + 1, list.limit + 40}) {
            SCOPED_TRACE(std::string(list.name) + " " + std::to_string(count));
            ScanReport report = test::sampleReport();
            list.fill(report, count);
            const QJsonArray array = list.sent(sent.of(report));
            EXPECT_EQ(array.size(), std::min(count, list.limit));
        }
    }
    // The kept items are the first ones, in order.
    ScanReport report = test::sampleReport();
    lists[0].fill(report, 121);
    const QJsonArray findings = sent.of(report)["localFindings"].toArray();
    EXPECT_EQ(findings.first()["id"].toString(), "build.rule.0");
    EXPECT_EQ(findings.last()["id"].toString(), "build.rule.119");
}

TEST(BuildReviewRequest, TextsAreClippedAtTheirLimits) {
    using Setter = std::function<void(ScanReport&, const QString&)>;
    using Getter = std::function<QString(const QJsonObject&)>;
    const auto findingField = [](const char* key) {
        return Getter([key](const QJsonObject& b) {
            return b["localFindings"][0][QLatin1String(key)].toString();
        });
    };
    const auto appField = [](const char* key) {
        return Getter(
            [key](const QJsonObject& b) { return b["app"][QLatin1String(key)].toString(); });
    };
    const struct {
        const char* name;
        Setter set;
        Getter sent;
        int limit;
    } fields[] = {
        {"id", [](ScanReport& r, const QString& t) { r.findings[0].id = t; }, findingField("id"),
         180},
        {"guideline", [](ScanReport& r, const QString& t) { r.findings[0].guideline = t; },
         findingField("guideline"), 32},
        {"itms", [](ScanReport& r, const QString& t) { r.findings[0].itms = t; },
         findingField("itms"), 64},
        {"title", [](ScanReport& r, const QString& t) { r.findings[0].title = t; },
         findingField("title"), 160},
        {"detail", [](ScanReport& r, const QString& t) { r.findings[0].detail = t; },
         findingField("detail"), 1200},
        {"evidence", [](ScanReport& r, const QString& t) { r.findings[0].evidence = t; },
         findingField("evidence"), 1000},
        {"fix", [](ScanReport& r, const QString& t) { r.findings[0].fix = t; }, findingField("fix"),
         1200},
        {"name", [](ScanReport& r, const QString& t) { r.metadata.appName = t; }, appField("name"),
         200},
        {"bundleIdentifier",
         [](ScanReport& r, const QString& t) { r.metadata.bundleIdentifier = t; },
         appField("bundleIdentifier"), 255},
        {"version", [](ScanReport& r, const QString& t) { r.metadata.version = t; },
         appField("version"), 100},
        {"buildNumber", [](ScanReport& r, const QString& t) { r.metadata.buildNumber = t; },
         appField("buildNumber"), 100},
        {"platform", [](ScanReport& r, const QString& t) { r.metadata.platform = t; },
         appField("platform"), 100},
        {"minimumOS", [](ScanReport& r, const QString& t) { r.metadata.minimumOS = t; },
         appField("minimumOS"), 100},
        {"architecture", [](ScanReport& r, const QString& t) { r.metadata.architectures = {t}; },
         [](const QJsonObject& b) { return b["app"]["architectures"][0].toString(); }, 100},
        {"sdk name", [](ScanReport& r, const QString& t) { r.metadata.sdkNames = {t}; },
         [](const QJsonObject& b) { return b["app"]["sdkNames"][0].toString(); }, 200},
        {"passed check", [](ScanReport& r, const QString& t) { r.passedChecks = {t}; },
         [](const QJsonObject& b) { return b["passedChecks"][0].toString(); }, 240},
    };
    SentBody sent;
    for (const auto& field : fields) {
        const struct {
            const char* name;
            QString value;
            QString expected;
        } values[] = {
            {"at limit", letters(field.limit), letters(field.limit)},
            {"over limit", letters(field.limit + 1), letters(field.limit)},
            {"padded over limit", QStringLiteral("\n ") + letters(field.limit + 5) + "\t",
             letters(field.limit)},
            {"blank", QStringLiteral(" \n\t "), QStringLiteral("Unavailable")},
            {"empty", QString(), QStringLiteral("Unavailable")},
        };
        for (const auto& value : values) {
            SCOPED_TRACE(std::string(field.name) + ", " + value.name);
            ScanReport report = test::sampleReport();
            field.set(report, value.value);
            EXPECT_EQ(field.sent(sent.of(report)), value.expected);
        }
    }
}

TEST(BuildReviewRequest, TitleOfEmojiIsClippedByCharacters) {
    SentBody sent;
    const QString grin = QString::fromUtf8("\xF0\x9F\x98\x80");
    ScanReport report = test::sampleReport();
    report.findings[0].title = grin.repeated(170);
    EXPECT_EQ(sent.of(report)["localFindings"][0]["title"].toString(), grin.repeated(160));
}

TEST(BuildReviewRequest, ItmsKeyIsLeftOutOnlyWhenAbsent) {
    SentBody sent;
    ScanReport report = test::sampleReport();
    report.findings = {test::sampleFinding(0), test::sampleFinding(1)};
    report.findings[1].itms = QStringLiteral("  ");
    const QJsonArray findings = sent.of(report)["localFindings"].toArray();
    EXPECT_FALSE(findings[0].toObject().contains("itms"));
    EXPECT_EQ(findings[1]["itms"].toString(), "Unavailable");
}

TEST(BuildReviewRequest, ConfidenceAndBundleSizeAreClamped) {
    SentBody sent;
    const std::pair<double, double> confidences[] = {
        {1.7, 1.0},
        {-0.2, 0.0},
        {0.0, 0.0},
        {0.35, 0.35},
        {1.0, 1.0},
        {std::numeric_limits<double>::quiet_NaN(), 0.0},
        {std::numeric_limits<double>::infinity(), 1.0},
    };
    for (const auto& [given, expected] : confidences) {
        ScanReport report = test::sampleReport();
        report.findings[0].confidence = given;
        EXPECT_EQ(sent.of(report)["localFindings"][0]["confidence"].toDouble(), expected) << given;
    }
    const std::pair<qint64, qint64> sizes[] = {
        {-5, 0},
        {0, 0},
        {1'000'000'000'000, 1'000'000'000'000},
        {1'000'000'000'001, 1'000'000'000'000},
        {2'000'000'000'000, 1'000'000'000'000},
        {std::numeric_limits<qint64>::max(), 1'000'000'000'000},
    };
    for (const auto& [given, expected] : sizes) {
        ScanReport report = test::sampleReport();
        report.metadata.bundleSize = given;
        EXPECT_EQ(sent.of(report)["app"]["bundleSize"].toInteger(), expected) << given;
    }
}

TEST(BuildReviewRequest, ScanIdentifierIsJoinedIntoThePathUntrimmed) {
    LocalHttpServer server;
    const BerthwatchBackend backend(server.url());
    const std::pair<QString, std::string> cases[] = {
        {QStringLiteral("abc"), "/v1/scans/abc/analyze"},
        {QStringLiteral("1b4e28ba-2fa1-11d2-883f-0016d3cca427"),
         "/v1/scans/1b4e28ba-2fa1-11d2-883f-0016d3cca427/analyze"},
        {QStringLiteral(" id "), "/v1/scans/%20id%20/analyze"},
    };
    for (const auto& [identifier, target] : cases) {
        try {
            backend.reviewBuildEvidence(std::nullopt, identifier, test::sampleReport());
        } catch (const BackendError&) {
            // Unrouted paths answer 404; only the path that arrived matters here.
        }
        EXPECT_EQ(server.requests().back().target, target);
    }
}

} // namespace
} // namespace bw
