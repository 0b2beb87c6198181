#include "inspection/checks/ProvisioningProfileChecks.h"

#include "platform/locale/DateFormatting.h"
#include "tests/inspection/checks/CheckResults.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

namespace {

using Profiles = std::vector<std::pair<const char*, const char*>>;

class ProvisioningProfileTest : public ::testing::Test {
protected:
    // A bundle holding copies of `profiles` (fixture name → place in the bundle).
    QString bundle(const Profiles& profiles) {
        const QString app = folder.makeFolder(QStringLiteral("P%1.app").arg(++count));
        for (const auto& [fixture, place] : profiles) {
            const QString target = app + u'/' + QString::fromUtf8(place);
            QDir().mkpath(QFileInfo(target).absolutePath());
            EXPECT_TRUE(QFile::copy(profileFixture(fixture), target)) << fixture;
        }
        return app;
    }

    CheckResults check(const QString& app, const char* bundleIdentifier,
                       const QString& tools = toolDirectory()) {
        CheckResults results;
        checks::inspectProvisioningProfile(
            tools, app, dictionary({{"CFBundleIdentifier", text(bundleIdentifier)}}),
            results.findings, results.passed);
        return results;
    }

    TestFolder folder;
    int count = 0;
};

// A security stand-in that prints `plist` on standard output and exits with `status`.
QByteArray printing(const QByteArray& plist, int status = 0, const char* stream = "") {
    return "cat " + QByteArray(stream) + " <<'END'\n" + plist + "\nEND\nexit " +
           QByteArray::number(status);
}

QByteArray profileWith(const QByteArray& entries) {
    return "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>" + entries + "</dict></plist>";
}

QByteArray expiring(const QDateTime& date) {
    return profileWith("<key>ExpirationDate</key><date>" +
                       date.toUTC().toString(Qt::ISODate).toUtf8() + "</date>");
}

} // namespace

TEST_F(ProvisioningProfileTest, SignedProfileFixtures) {
    const char* const ios = "embedded.mobileprovision";
    const char* const mac = "Contents/embedded.provisionprofile";
    const char* const berthwatch = "com.example.berthwatch";
    const char* const berthwatchMac = "com.example.berthwatch.mac";
    const char* const mismatch = "signing.profile-bundle-mismatch";
    const char* const expired = "signing.profile-expired";
    const char* const invalid = "signing.profile-invalid";
    const struct {
        const char* name;
        Profiles profiles;
        const char* bundleIdentifier;
        const char* finding; // the only one raised, if any
        bool current;        // the profile passed as current
    } cases[] = {
        {"App Store profile", Profiles{{"appstore.mobileprovision", ios}}, berthwatch, nullptr,
         true},
        {"expired", Profiles{{"expired.mobileprovision", ios}}, berthwatch, expired, false},
        {"wildcard", Profiles{{"wildcard.mobileprovision", ios}}, berthwatch, mismatch, true},
        {"mere suffix", Profiles{{"lookalike.mobileprovision", ios}}, "example.app", mismatch,
         true},
        {"exact id", Profiles{{"lookalike.mobileprovision", ios}}, "com.myexample.app", nullptr,
         true},
        // macOS profiles name the application identifier com.apple.application-identifier.
        {"mac, other app", Profiles{{"mac.provisionprofile", mac}}, berthwatch, mismatch, true},
        {"mac, this app", Profiles{{"mac.provisionprofile", mac}}, berthwatchMac, nullptr, true},
        {"iOS first",
         Profiles{{"appstore.mobileprovision", ios}, {"detached.mobileprovision", mac}}, berthwatch,
         nullptr, true},
        {"no content", Profiles{{"detached.mobileprovision", ios}}, berthwatch, invalid, false},
        {"none", Profiles(), berthwatch, "signing.profile-manual", false},
    };
    for (const auto& c : cases) {
        const CheckResults results = check(bundle(c.profiles), c.bundleIdentifier);
        EXPECT_EQ(results.ids(), c.finding ? QStringList({c.finding}) : QStringList()) << c.name;
        EXPECT_EQ(results.passedList().contains("Provisioning profile is current"), c.current)
            << c.name;
    }
}

// The expiry date is shown in the user's locale and time zone.
TEST_F(ProvisioningProfileTest, ExpiryIsWrittenInTheUsersLocale) {
    qputenv("TZ", "UTC");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const CheckResults expired =
        check(bundle({{"expired.mobileprovision", "embedded.mobileprovision"}}), "x.y");
    EXPECT_EQ(expired.findings.at(0).evidence, "ExpirationDate = Jan 1, 2021, 12:00\u202FAM");
    EXPECT_EQ(expired.findings.at(1).evidence,
              "Profile: ABCDE12345.com.example.berthwatch; bundle: x.y");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(locale::abbreviatedDateShortTime(QDateTime(QDate(2021, 1, 1), QTime(0, 0), Qt::UTC)),
              "01.01.2021, 00:00");
}

TEST_F(ProvisioningProfileTest, DecodedContentRules) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QByteArray matching =
        profileWith("<key>Entitlements</key><dict><key>application-identifier</key>"
                    "<string>ABCDE12345.com.example.berthwatch</string></dict>");
    const char* const invalid = "signing.profile-invalid";
    const struct {
        const char* name;
        QByteArray security;
        const char* finding; // the only one raised, if any
        bool current;        // the profile passed as current
    } cases[] = {
        {"no expiry, matching identifier", printing(matching), nullptr, false},
        {"a second ago", printing(expiring(now.addSecs(-1))), "signing.profile-expired", false},
        {"an hour ahead", printing(expiring(now.addSecs(3600))), nullptr, true},
        {"non-zero exit", printing(matching, 1), invalid, false},
        {"only on standard error", printing(matching, 0, ">&2"), invalid, false},
        {"array", printing("<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>"),
         invalid, false},
    };
    const QString app = bundle({{"appstore.mobileprovision", "embedded.mobileprovision"}});
    for (const auto& c : cases) {
        const QString tools = folder.tools({{"security", c.security}});
        const CheckResults results = check(app, "com.example.berthwatch", tools);
        EXPECT_EQ(results.ids(), c.finding ? QStringList({c.finding}) : QStringList()) << c.name;
        EXPECT_EQ(results.passedList().contains("Provisioning profile is current"), c.current)
            << c.name;
        QDir(tools).removeRecursively();
    }
}
