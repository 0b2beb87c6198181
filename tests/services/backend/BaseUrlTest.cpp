#include "services/backend/BerthwatchBackend.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

QByteArray infoList(const QByteArray& entries) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>)" +
           entries + "</dict></plist>";
}

TEST(BaseUrl, ConfiguredValueIsUsedOnlyWhenItIsAUsableUrl) {
    const QUrl fallback = BerthwatchBackend::defaultBaseURL();
    const struct {
        const char* name;
        QByteArray entries;
        QUrl expected;
    } cases[] = {
        {"missing", "<key>CFBundleVersion</key><string>7</string>", fallback},
        {"leading space", "<key>BerthwatchBackendURL</key><string> https://a.test</string>",
         fallback},
        {"relative", "<key>BerthwatchBackendURL</key><string>service/api</string>", fallback},
        {"other scheme", "<key>BerthwatchBackendURL</key><string>ftp://a.test</string>", fallback},
        {"path kept", "<key>BerthwatchBackendURL</key><string>https://a.test/api/v2</string>",
         QUrl("https://a.test/api/v2")},
        {"local http", "<key>BerthwatchBackendURL</key><string>http://127.0.0.1:8080</string>",
         QUrl("http://127.0.0.1:8080")},
    };
    for (const auto& c : cases) {
        const ApplicationInfo info = ApplicationInfo::fromPropertyList(infoList(c.entries));
        EXPECT_EQ(BerthwatchBackend::resolveBaseURL(info), c.expected) << c.name;
    }
}

TEST(BaseUrl, UnreadableInformationFallsBackToTheDefault) {
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("not a property list"), QByteArray("<plist><array/></plist>")}) {
        EXPECT_EQ(BerthwatchBackend::resolveBaseURL(ApplicationInfo::fromPropertyList(bytes)),
                  BerthwatchBackend::defaultBaseURL());
    }
}

TEST(BaseUrl, CompiledInInformationNamesTheBuild) {
    const ApplicationInfo& info = ApplicationInfo::main();
    EXPECT_EQ(info.string(QStringLiteral("CFBundleName")), QStringLiteral("Berthwatch"));
    EXPECT_EQ(info.string(QStringLiteral("CFBundleShortVersionString")),
              QStringLiteral(BW_PROJECT_VERSION));
    EXPECT_EQ(info.string(QStringLiteral("CFBundleVersion")), QStringLiteral(BW_BUILD_NUMBER));
    // The test build names no service: the built-in address applies.
    EXPECT_EQ(info.string(QStringLiteral("BerthwatchBackendURL")), std::nullopt);
    EXPECT_EQ(BerthwatchBackend::resolveBaseURL(), BerthwatchBackend::defaultBaseURL());
}

TEST(BaseUrl, PathIsAppendedAfterExactlyOneSlash) {
    const struct {
        const char* base;
        QString path;
        const char* expected;
    } cases[] = {
        {"https://a.test", "v1/scans/abc/analyze", "https://a.test/v1/scans/abc/analyze"},
        {"https://a.test/api/", "v1/x", "https://a.test/api/v1/x"},
        {"http://127.0.0.1:9/a%20b", "v1/x", "http://127.0.0.1:9/a%20b/v1/x"},
        {"https://a.test", "v1/scans/a b?c#d%/analyze",
         "https://a.test/v1/scans/a%20b%3Fc%23d%25/analyze"},
    };
    for (const auto& c : cases) {
        const BerthwatchBackend backend{QUrl(c.base)};
        EXPECT_EQ(backend.endpoint(c.path).toString(QUrl::FullyEncoded), c.expected) << c.base;
    }
}

} // namespace
} // namespace bw
