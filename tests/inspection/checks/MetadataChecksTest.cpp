#include "inspection/checks/MetadataChecks.h"

#include "tests/inspection/checks/CheckResults.h"

#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

namespace {

CheckResults metadata(const PlistDictionary& info) {
    CheckResults results;
    checks::inspectMetadata(info, results.findings, results.passed);
    return results;
}

PlistDictionary withEntry(const char* key, PlistValue value) {
    PlistDictionary info = iosInfo();
    info.insert(QString::fromUtf8(key), std::move(value));
    return info;
}

} // namespace

TEST(MetadataChecks, RulesOnSingleValues) {
    const struct {
        const char* name;
        PlistDictionary info;
        QStringList ids;
        QString evidence; // of the last finding, when there is one
    } cases[] = {
        {"complete", iosInfo(), {}, {}},
        {"build number as a number", withEntry("CFBundleVersion", number(42)),
         QStringList({"metadata.CFBundleVersion"}),
         "Info.plist: CFBundleVersion is absent or empty"},
        {"blank identifier", withEntry("CFBundleIdentifier", text(" \n\t")),
         QStringList({"metadata.CFBundleIdentifier", "metadata.invalid-bundle-id"}),
         "CFBundleIdentifier =  \n\t"},
        {"blank between words", withEntry("CFBundleIdentifier", text("com.example my")),
         QStringList({"metadata.invalid-bundle-id"}), "CFBundleIdentifier = com.example my"},
        {"trailing tab", withEntry("CFBundleIdentifier", text("com.example.demo\t")), {}, {}},
        {"four parts", withEntry("CFBundleShortVersionString", text("1.0.0.1")),
         QStringList({"metadata.version-format"}), "CFBundleShortVersionString = 1.0.0.1"},
        {"trailing dot", withEntry("CFBundleShortVersionString", text("1.")),
         QStringList({"metadata.version-format"}), "CFBundleShortVersionString = 1."},
        {"2.10.3", withEntry("CFBundleShortVersionString", text("2.10.3")), {}, {}},
        // The platform's engine lets $ match before one final line terminator, and \d take
        // any decimal digit.
        {"final line feed", withEntry("CFBundleShortVersionString", text("1.0\n")), {}, {}},
        {"two final line feeds", withEntry("CFBundleShortVersionString", text("1.0\n\n")),
         QStringList({"metadata.version-format"}), "CFBundleShortVersionString = 1.0\n\n"},
        {"Arabic-Indic digits",
         withEntry("CFBundleShortVersionString", text("\xD9\xA1.\xD9\xA2")),
         {},
         {}},
    };
    for (const auto& c : cases) {
        const CheckResults results = metadata(c.info);
        EXPECT_EQ(results.ids(), c.ids) << c.name;
        if (!c.ids.isEmpty() && !results.findings.empty()) {
            EXPECT_EQ(results.findings.back().evidence, c.evidence) << c.name;
        }
    }
}
