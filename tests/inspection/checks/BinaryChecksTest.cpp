#include "inspection/checks/BinaryChecks.h"

#include "tests/inspection/checks/CheckResults.h"

#include <gtest/gtest.h>

using namespace bw;
using namespace bw::test;

namespace {

PlistDictionary macInfo() {
    return dictionary({{"DTPlatformName", text("macosx")}});
}

CheckResults binary(const std::vector<QString>& architectures, const QString& libraries = {},
                    const std::vector<QString>& files = {}, const PlistDictionary& info = iosInfo(),
                    const std::optional<QString>& executable = QStringLiteral("/b/App.app/App")) {
    CheckResults results;
    checks::inspectBinary(info, QStringLiteral("/b/App.app"), executable, architectures, libraries,
                          files, results.findings, results.passed);
    return results;
}

std::vector<QString> names(std::initializer_list<const char*> texts) {
    std::vector<QString> result;
    for (const char* text : texts) {
        result.push_back(QString::fromUtf8(text));
    }
    return result;
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
        QStringList passed;
    } cases[] = {
        {"device build",
         binary(names({"arm64"}), listing),
         {},
         list({"Mach O architectures: arm64", "No SwiftUI preview/debug dylibs found"})},
        {"simulator slice", binary(names({"x86_64", "arm64"})),
         list({"binary.simulator-architecture"}),
         list({"Mach O architectures: x86_64, arm64", "No SwiftUI preview/debug dylibs found"})},
        // x86_64 is a real Mac architecture.
        {"universal Mac app",
         binary(names({"x86_64", "arm64"}), {}, {}, macInfo()),
         {},
         list({"Mach O architectures: x86_64, arm64", "No SwiftUI preview/debug dylibs found"})},
        {"unreadable", binary({}), list({"binary.architectures"}),
         list({"No SwiftUI preview/debug dylibs found"})},
        {"debug libraries",
         binary(names({"arm64"}), {},
                {"/b/App.app/MyApp.debug.dylib", "/b/App.app/__preview.dylib",
                 "/b/App.app/preview.dylib", "/b/App.app/Frameworks/X.DEBUG.DYLIB"}),
         list({"binary.debug-artifacts"}), list({"Mach O architectures: arm64"})},
        {"no executable",
         binary(names({"x86_64"}), listing, {}, iosInfo(), std::nullopt),
         list({"binary.missing"}),
         {}},
        {"homebrew library",
         binary(names({"arm64"}), "/b/App:\n\t/opt/homebrew/lib/libfoo.1.dylib (compatibility "
                                  "version 1.0.0, current version 1.2.0)"),
         list({"binary.local-link"}),
         list({"Mach O architectures: arm64", "No SwiftUI preview/debug dylibs found"})},
        // The header line names the executable itself: a build kept under /usr/local is no link.
        {"build under /usr/local",
         binary(names({"arm64"}), "/usr/local/builds/App.app/App:\n\t/usr/lib/libSystem.B.dylib"),
         {},
         list({"Mach O architectures: arm64", "No SwiftUI preview/debug dylibs found"})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.results.ids(), c.ids) << c.name;
        EXPECT_EQ(c.results.passedList(), c.passed) << c.name;
    }
}
