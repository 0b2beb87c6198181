#include "inspection/checks/BinaryChecks.h"

#include "tests/inspection/checks/CheckResults.h"

#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

namespace {

using Names = std::vector<QString>;

CheckResults binary(const std::vector<QString>& architectures, const QString& libraries = {},
                    const std::vector<QString>& files = {}, const PlistDictionary& info = iosInfo(),
                    const std::optional<QString>& executable = QStringLiteral("/b/App.app/App")) {
    CheckResults results;
    checks::inspectBinary(info, "/b/App.app", executable, architectures, libraries, files,
                          results.findings, results.passed);
    return results;
}

} // namespace

TEST(BinaryChecks, Rules) {
    const QString listing =
        QStringLiteral("/Users/me/App.app/App:\n"
                       "\t/usr/lib/libSystem.B.dylib (compatibility version 1.0.0)\n");
    const struct {
        const char* name;
        CheckResults results;
        QStringList ids;
        qsizetype passed; // of the architecture and debug library checks
    } cases[] = {
        {"unreadable", binary({}), QStringList({"binary.architectures"}), 1},
        {"debug libraries",
         binary(Names({"arm64"}), {},
                {"/b/App.app/MyApp.debug.dylib", "/b/App.app/__preview.dylib",
                 "/b/App.app/preview.dylib", "/b/App.app/Frameworks/X.DEBUG.DYLIB"}),
         QStringList({"binary.debug-artifacts"}), 1},
        {"no executable", binary(Names({"x86_64"}), listing, {}, iosInfo(), std::nullopt),
         QStringList({"binary.missing"}), 0},
        // The header line names the executable itself: a build kept under /usr/local is no link.
        {"build under /usr/local",
         binary(Names({"arm64"}), "/usr/local/builds/App.app/App:\n\t/usr/lib/libSystem.B.dylib"),
         {},
         2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.results.ids(), c.ids) << c.name;
        EXPECT_EQ(c.results.passedList().size(), c.passed) << c.name;
    }
}
