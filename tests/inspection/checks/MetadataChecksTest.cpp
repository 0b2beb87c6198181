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

// Each case: the findings raised, and after a bar the evidence of the last one.
TEST(MetadataChecks, RulesOnSingleValues) {
    const auto identifier = [](const char* value) {
        return withEntry("CFBundleIdentifier", text(value));
    };
    const auto version = [](const char* value) {
        return withEntry("CFBundleShortVersionString", text(value));
    };
    const QString versionFormat = "metadata.version-format | CFBundleShortVersionString = ";
    const struct {
        const char* name;
        PlistDictionary info;
        QString outcome;
    } cases[] = {
        {"complete", iosInfo(), ""},
        {"build number as a number", withEntry("CFBundleVersion", number(42)),
         "metadata.CFBundleVersion | Info.plist: CFBundleVersion is absent or empty"},
        {"blank identifier", identifier(" \n\t"),
         "metadata.CFBundleIdentifier, metadata.invalid-bundle-id | CFBundleIdentifier =  \n\t"},
        {"blank between words", identifier("com.example my"),
         "metadata.invalid-bundle-id | CFBundleIdentifier = com.example my"},
        {"trailing tab", identifier("com.example.demo\t"), ""},
        {"four parts", version("1.0.0.1"), versionFormat + "1.0.0.1"},
        {"trailing dot", version("1."), versionFormat + "1."},
        {"2.10.3", version("2.10.3"), ""},
        // The platform's engine lets $ match before one final line terminator, and \d take
        // any decimal digit.
        {"final line feed", version("1.0\n"), ""},
        {"two final line feeds", version("1.0\n\n"), versionFormat + "1.0\n\n"},
        {"Arabic-Indic digits", version("\xD9\xA1.\xD9\xA2"), ""},
    };
    for (const auto& c : cases) {
        const CheckResults results = metadata(c.info);
        const QString outcome = results.findings.empty() ? QString()
                                                         : results.ids().join(", ") + " | " +
                                                               results.findings.back().evidence;
        EXPECT_EQ(outcome, c.outcome) << c.name;
    }
}
