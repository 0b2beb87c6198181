#include "platform/codesign/ResourceSeal.h"

#include "platform/codesign/ResourceSealVerifier.h"
#include "tests/fixtures/signer/ResourceSealWriter.h"
#include "tests/support/ReadFile.h"
#include "tests/support/TestFolder.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <openssl/sha.h>

namespace stdfs = std::filesystem;
using namespace bw::codesign;

namespace {

void writeText(const stdfs::path& path, const std::string& text) {
    stdfs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void relink(const stdfs::path& at, const std::string& target) {
    stdfs::remove(at);
    stdfs::create_symlink(target, at);
}

const char* infoPlist = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>CFBundleExecutable</key><string>App</string></dict></plist>
)";

// An iOS-style bundle: resources, a localisation, a link, a nested framework.
stdfs::path makeBundle(const stdfs::path& folder) {
    stdfs::path app = folder / "App.app";
    writeText(app / "Info.plist", infoPlist);
    writeText(app / "App", "\xcf\xfa\xed\xfe main executable");
    writeText(app / "assets" / "logo.png", "png bytes");
    writeText(app / "en.lproj" / "Main.strings", "\"a\" = \"b\";");
    writeText(app / "Frameworks" / "Kit.framework" / "Kit", "\xcf\xfa\xed\xfe kit");
    stdfs::create_symlink("assets/logo.png", app / "logo-link.png");
    return app;
}

const Bytes nestedHash(20, 0xab);

void seal(const stdfs::path& app, const bw::signer::SealOptions& options = {}) {
    BundleLayout layout = bundleLayout(app);
    Bytes xml = bw::signer::writeResourceSeal(layout, options, [](const stdfs::path&) {
        return bw::signer::NestedSeal{nestedHash, "identifier \"com.example.kit\""};
    });
    writeText(layout.codeResources, std::string(xml.begin(), xml.end()));
}

ResourceSealCheck check(const stdfs::path& app, bool strict) {
    BundleLayout layout = bundleLayout(app);
    const Bytes bytes = bw::test::readFile<Bytes>(layout.codeResources);
    static ResourceSeal parsed;
    parsed = parseResourceSeal(bytes).value();
    return verifyResourceSeal(layout, parsed, {strict, 4});
}

// The default rules, a folder left out by a rule naming the folder itself (its files match only
// the catch-all rule, so a walk descending into it would seal them), and a folder left out but
// for the one file a heavier rule keeps.
std::vector<ResourceRule> rulesWithOmittedFolder() {
    std::vector<ResourceRule> rules = defaultResourceRules();
    rules.push_back({"^Extras$", 30, true, false, false});
    rules.push_back({"^cache/", 30, true, false, false});
    rules.push_back({"^cache/kept$", 40, false, false, false});
    return rules;
}

Bytes hashOf(const std::string& text, bool sha1) {
    Bytes out(sha1 ? SHA_DIGEST_LENGTH : SHA256_DIGEST_LENGTH);
    const auto* data = reinterpret_cast<const unsigned char*>(text.data());
    sha1 ? SHA1(data, text.size(), out.data()) : SHA256(data, text.size(), out.data());
    return out;
}

// The seal of makeBundle() with a cache/ folder under rulesWithOmittedFolder(), written out here
// rather than made by the walk that the verifier shares with the test signer: a fault in that walk
// would otherwise change the seal and its check alike.
ResourceSeal expectedSeal() {
    const auto file = [](const std::string& content, bool optional) {
        return SealedItem{hashOf(content, true), hashOf(content, false), {}, {}, {}, optional};
    };
    ResourceSeal seal;
    seal.rules = rulesWithOmittedFolder();
    seal.items["assets/logo.png"] = file("png bytes", false);
    seal.items["en.lproj/Main.strings"] = file("\"a\" = \"b\";", true);
    seal.items["cache/kept"] = file("kept bytes", false);
    seal.items["logo-link.png"] = SealedItem{{}, {}, "assets/logo.png", {}, {}, false};
    seal.items["Frameworks/Kit.framework"] =
        SealedItem{{}, {}, {}, nestedHash, "identifier \"com.example.kit\"", false};
    return seal;
}

stdfs::path makeBundleWithCache(const stdfs::path& folder) {
    const stdfs::path app = makeBundle(folder);
    writeText(app / "cache/kept", "kept bytes");
    writeText(app / "cache/junk", "junk bytes");
    writeText(app / "Extras/notes.txt", "notes");
    return app;
}

struct TamperCase {
    const char* name;
    std::function<void(const stdfs::path&)> tamper;
    bool strict;
    std::vector<Problem> expected; // paths relative to the bundle
};

} // namespace

TEST(ResourceSealTest, TamperedBundlesFailNamingTheItem) {
    const std::vector<TamperCase> cases = {
        {"optional, omitted and unsealed items changed",
         [](const stdfs::path& app) {
             stdfs::remove(app / "en.lproj/Main.strings");
             writeText(app / "assets/.DS_Store", "x");
             writeText(app / "Info.plist", std::string(infoPlist) + " "); // left to the signature
             writeText(app / "App", "changed");
             writeText(app / "_CodeSignature/Other", "x");
         },
         true,
         {}},
        {"retargeted link",
         [](const stdfs::path& app) { relink(app / "logo-link.png", "en.lproj/Main.strings"); },
         false,
         {{"logo-link.png", resourceReason, ResourceChange::modified}}},
        {"file replaced by a link",
         [](const stdfs::path& app) {
             relink(app / "assets/logo.png", "../en.lproj/Main.strings");
         },
         false,
         {{"assets/logo.png", resourceReason, ResourceChange::modified}}},
        {"link out of the bundle, strict",
         [](const stdfs::path& app) { relink(app / "logo-link.png", "../../etc/passwd"); },
         true,
         {{"logo-link.png", "invalid destination for symbolic link in bundle"},
          {"logo-link.png", resourceReason, ResourceChange::modified}}},
        {"link out of the bundle, not strict",
         [](const stdfs::path& app) { relink(app / "logo-link.png", "/etc/passwd"); },
         false,
         {{"logo-link.png", resourceReason, ResourceChange::modified}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bw::test::TestFolder dir;
        stdfs::path app = makeBundle(dir.fsPath());
        seal(app);
        c.tamper(app);
        ResourceSealCheck result = check(app, c.strict);
        std::vector<Problem> expected;
        for (const auto& p : c.expected) {
            expected.push_back({(app / p.path).string(), p.message, p.change});
        }
        EXPECT_EQ(result.problems, expected);
        ASSERT_EQ(result.nested.size(), 1u);
        EXPECT_EQ(result.nested[0].relativePath, "Frameworks/Kit.framework");
        ASSERT_NE(result.nested[0].sealed, nullptr);
        EXPECT_EQ(result.nested[0].sealed->cdhash, nestedHash);
    }
}

// Inside omitted folders only the file a heavier rule keeps is sealed, by the signer and by the
// check: changing the others is no change, changing that one is.
TEST(ResourceSealTest, OmittedFoldersAreSealedOnlyWhereAHeavierRuleKeeps) {
    bw::test::TestFolder dir;
    const stdfs::path app = makeBundleWithCache(dir.fsPath());
    seal(app, {rulesWithOmittedFolder()});
    const Bytes bytes = bw::test::readFile<Bytes>(bundleLayout(app).codeResources);
    EXPECT_EQ(parseResourceSeal(bytes)->items, expectedSeal().items);
    const auto problems = [&] {
        return verifyResourceSeal(bundleLayout(app), expectedSeal(), {true, 4}).problems;
    };
    writeText(app / "cache/junk", "changed");
    writeText(app / "cache/new", "added");
    writeText(app / "Extras/notes.txt", "changed");
    EXPECT_EQ(problems(), std::vector<Problem>{});
    writeText(app / "cache/kept", "changed");
    EXPECT_EQ(problems(), (std::vector<Problem>{{(app / "cache/kept").string(), resourceReason,
                                                 ResourceChange::modified}}));
}

TEST(ResourceSealTest, LinkContainment) {
    struct Case {
        const char* link;
        const char* target;
        bool inside;
    };
    const Case cases[] = {
        {"a/b", "c", true},   {"a/b", "../c", true},          {"a/b", "../../c", false},
        {"a", "/abs", false}, {"a/b", "./../x/../..", false}, {"a/b/c", "../../d/e", true},
        {"x", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(symlinkStaysInside(c.link, c.target), c.inside) << c.link << " -> " << c.target;
    }
}

TEST(ResourceSealTest, HeaviestRuleDecides) {
    const auto rules = ResourceRules::compile({{"^.*", 1, false, false, false},
                                               {"^a/", 10, true, false, false},
                                               {"^a/keep", 20, false, true, false}});
    EXPECT_FALSE(rules->match("b")->omit);
    EXPECT_TRUE(rules->match("a/x")->omit);
    EXPECT_TRUE(rules->match("a/keep")->optional);
    // Of equally heavy rules the omitting one wins, whatever the patterns (Xcode's iOS seals).
    const auto xcode = ResourceRules::compile(
        {{"^", 20, false, false, false}, {"^Info\\.plist$", 20, true, false, false}});
    EXPECT_TRUE(xcode->match("Info.plist")->omit);
    EXPECT_FALSE(xcode->match("Assets.car")->omit);
    const auto none = ResourceRules::compile({{"^only$", 1, false, false, false}});
    EXPECT_EQ(none->match("other"), nullptr);
    EXPECT_EQ(ResourceRules::compile({{"(", 1, false, false, false}}).error().kind,
              SealError::Kind::invalidRule);
}

TEST(ResourceSealTest, RulesTooCostlyToCompileAreRefused) {
    // regcomp copies what an interval repeats, in memory quadratic in the copies; back references
    // make matching exponential; repetitions of repetitions make compiling exponential. Each case
    // is one seal's rules.
    const std::string thousand = "^x{1000}$";
    const std::vector<std::pair<std::vector<std::string>, bool>> cases = {
        {{"(a{0,100}){0,100}"}, false},
        {{"^(b+){0,40}{0,40}"}, false},
        {{std::string(3000, 'a')}, false},
        {{"^(.*)/\\1$"}, false},
        {{thousand, thousand, thousand}, false},
        {{thousand, thousand}, true},
        {{"^[[:alpha:]{}]{1,100}(/|$)", "^(.*/)?\\.DS_Store$", "^a{2}|b{,3}|c{4,}$"}, true},
    };
    for (const auto& [patterns, compiles] : cases) {
        std::vector<ResourceRule> rules;
        for (const std::string& pattern : patterns) {
            rules.push_back({pattern, 1, false, false, false});
        }
        EXPECT_EQ(bool(ResourceRules::compile(rules)), compiles) << patterns.front();
    }
}

TEST(ResourceSealTest, MalformedSealsAreRejected) {
    struct Case {
        const char* name;
        std::string xml;
        const char* reason;
    };
    auto wrap = [](const std::string& body) {
        return "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>" + body + "</dict></plist>";
    };
    const std::vector<Case> cases = {
        {"not a plist", "garbage", "the resource seal is not a property list dictionary"},
        {"version 1 only", wrap("<key>files</key><dict/><key>rules</key><dict/>"),
         "resource envelope is obsolete (version 1 signature)"},
        {"entry without hash",
         wrap("<key>files2</key><dict><key>a</key><dict><key>optional</key><true/></dict></dict>"
              "<key>rules2</key><dict/>"),
         "sealed resource a records no hash"},
        {"rule of the wrong type",
         wrap("<key>files2</key><dict/><key>rules2</key><dict><key>^a</key><string>x</string>"
              "</dict>"),
         "resource rule ^a is neither a flag nor a dictionary"},
        {"weight that is not a number",
         wrap("<key>files2</key><dict/><key>rules2</key><dict><key>^a</key><dict><key>weight"
              "</key><real>nan</real></dict></dict>"),
         "resource rule ^a has a weight that is not a number"},
    };
    for (const auto& c : cases) {
        Bytes bytes(c.xml.begin(), c.xml.end());
        const SealResult<ResourceSeal> seal = parseResourceSeal(bytes);
        ASSERT_FALSE(seal) << c.name << " was accepted";
        EXPECT_EQ(seal.error().reason, c.reason) << c.name;
    }
}

TEST(ResourceSealTest, SealedPathLeavingTheBundleIsReported) {
    bw::test::TestFolder dir;
    stdfs::path app = makeBundle(dir.fsPath());
    BundleLayout layout = bundleLayout(app);
    ResourceSeal seal;
    seal.rules = {{"^nothing$", 1, false, false, false}};
    seal.items["../outside"] = SealedItem{Bytes(20, 1), {}, {}, {}, {}, false};
    auto result = verifyResourceSeal(layout, seal, {true, 1});
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_EQ(result.problems[0].message, "the sealed resource directory is invalid");
}
