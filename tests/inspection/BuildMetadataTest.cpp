#include "inspection/BuildScanner.h"
#include "inspection/BuildScannerError.h"
#include "platform/core/Cancelled.h"
#include "tests/inspection/BundleFixtures.h"
#include "tests/support/Thrown.h"

#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

TEST(BuildMetadata, TextsFallBackWhenEntriesAreMissingOrNotText) {
    TestFolder folder;
    const QString app = folder.makeFolder("Demo.app");
    const struct {
        PlistDictionary info;
        QString appName;
        QString identifier;
        QString version;
        QString build;
        QString minimum;
    } cases[] = {
        {dictionary({{"CFBundleName", text("Demo Name")}}), "Demo Name", "Unknown", "Unavailable",
         "Unavailable", "Unavailable"},
        {dictionary({{"CFBundleDisplayName", text("Shown")}, {"CFBundleName", text("Name")}}),
         "Shown", "Unknown", "Unavailable", "Unavailable", "Unavailable"},
        {dictionary({{"CFBundleDisplayName", number(3)},
                     {"CFBundleIdentifier", text("")},
                     {"LSMinimumSystemVersion", text("13.0")}}),
         "Demo", "", "Unavailable", "Unavailable", "13.0"},
        {dictionary({{"CFBundleShortVersionString", text("2.0")},
                     {"CFBundleVersion", text("7")},
                     {"MinimumOSVersion", text("17.0")},
                     {"LSMinimumSystemVersion", text("13.0")}}),
         "Demo", "Unknown", "2.0", "7", "17.0"},
    };
    for (const auto& c : cases) {
        const BuildMetadata metadata =
            BuildScanner::makeBuildMetadata(c.info, app, {}, {"arm64", "x86_64", "arm64"});
        EXPECT_EQ(metadata.appName, c.appName);
        EXPECT_EQ(metadata.bundleIdentifier, c.identifier);
        EXPECT_EQ(metadata.version, c.version);
        EXPECT_EQ(metadata.buildNumber, c.build);
        EXPECT_EQ(metadata.minimumOS, c.minimum);
        EXPECT_EQ(metadata.architectures, (std::vector<QString>{"arm64", "x86_64", "arm64"}));
    }
}

TEST(BuildMetadata, EmbeddedFrameworksSortedAndUnique) {
    TestFolder folder;
    const QString app = folder.makeFolder("Demo.app");
    folder.makeFolder("Demo.app/Frameworks/Zeta.framework");
    folder.makeFolder("Demo.app/Frameworks/alpha.framework");
    folder.makeFolder("Demo.app/Frameworks/_Private.framework");
    folder.makeFolder("Demo.app/PlugIns/Ext.appex/Frameworks/Zeta.framework");
    folder.makeFolder("Demo.app/Frameworks/Nested.FRAMEWORK/Frameworks/Inner.framework");
    folder.write("Demo.app/a.txt", QByteArray(12, 'x'));
    const BuildMetadata metadata =
        BuildScanner::makeBuildMetadata(iosInfo(), app, BuildScanner::bundleFiles(app), {});
    EXPECT_EQ(metadata.sdkNames, (std::vector<QString>{"Inner", "Nested", "Zeta", "alpha"}));
    EXPECT_EQ(metadata.bundleSize, 12);
    EXPECT_EQ(metadata.platform, "iOS");
    EXPECT_FALSE(metadata.iconPNG);
}

TEST(BuildPreview, DescribesTheBundleWithoutAScan) {
    TestFolder folder;
    writeIosBundle(folder, "Demo.app");
    const BuildScanner scanner(folder.path());
    const StagedBuildPreview preview = scanner.preview(folder.path() + "/Demo.app");
    EXPECT_EQ(preview.appName, "Demo");
    EXPECT_EQ(preview.targetDevices, "iPhone, iPad");
    EXPECT_EQ(preview.bundleSize, BuildScanner::bundleSize(folder.path() + "/Demo.app"));
    EXPECT_FALSE(preview.iconPNG);
    EXPECT_TRUE(folder.leftovers().isEmpty());
}

TEST(BuildPreview, MissingInfoPlistLeavesNoFolderBehind) {
    TestFolder folder;
    folder.makeFolder("Empty.app");
    const BuildScanner scanner(folder.path());
    EXPECT_EQ(thrownKind<BuildScannerError>([&] { scanner.preview(folder.path() + "/Empty.app"); }),
              BuildScannerError::Kind::infoPlistMissing);
    std::stop_source source;
    source.request_stop();
    EXPECT_THROW(scanner.preview(folder.path() + "/Empty.app", source.get_token()), Cancelled);
    EXPECT_TRUE(folder.leftovers().isEmpty());
}
