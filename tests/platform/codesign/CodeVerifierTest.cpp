#include "platform/codesign/CodeVerifier.h"

#include "platform/codesign/FrameworkRoot.h"
#include "platform/codesign/SignedEntitlements.h"
#include "platform/codesign/VerificationReport.h"
#include "platform/macho/MachOFile.h"
#include "platform/plist/PlistValue.h"
#include "tests/fixtures/signer/BundleSigner.h"
#include "tests/fixtures/signer/Tamper.h"
#include "tests/support/TestFolder.h"

#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace stdfs = std::filesystem;
using namespace bw::codesign;
using bw::signer::BundleSignOptions;

namespace {

const stdfs::path inputs = BW_SIGNER_INPUTS;

const std::string entitlements = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>get-task-allow</key><true/>
<key>keychain-access-groups</key><array><string>ABCDE12345.com.example.shared</string></array>
<key>limits</key><dict><key>offset</key><integer>-300</integer></dict>
</dict></plist>
)";

void writeText(const stdfs::path& path, const std::string& text) {
    stdfs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string info(const std::string& executable) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>CFBundleExecutable</key><string>" +
           executable + "</string></dict></plist>\n";
}

// An iOS application with resources, a localisation, a link and a nested framework.
stdfs::path makeApp(const stdfs::path& folder,
                    const stdfs::path& executable = inputs / "App.universal") {
    stdfs::path app = folder / "App.app";
    stdfs::create_directories(app / "Frameworks/Kit.framework");
    stdfs::copy_file(executable, app / "App");
    stdfs::copy_file(inputs / "Kit", app / "Frameworks/Kit.framework/Kit");
    writeText(app / "Info.plist", info("App"));
    writeText(app / "Frameworks/Kit.framework/Info.plist", info("Kit"));
    writeText(app / "assets/logo.png", "png bytes");
    writeText(app / "en.lproj/Main.strings", "\"a\" = \"b\";");
    stdfs::create_symlink("assets/logo.png", app / "logo-link.png");
    return app;
}

BundleSignOptions withEntitlements() {
    BundleSignOptions options;
    options.code.entitlementsXml = bw::codesign::Bytes(entitlements.begin(), entitlements.end());
    return options;
}

std::vector<std::string> messages(const Verification& result) {
    std::vector<std::string> out;
    for (const auto& p : result.problems) {
        out.push_back(p.path + ": " + p.message);
    }
    return out;
}

Verification verifyStrictDeep(const stdfs::path& path) {
    return verifyCode(path, {true, true, 4});
}

// What `codesign --verify --deep --strict -vv` prints about a failure, without the lines of
// nested code prepared and validated on the way.
std::vector<std::string> failureReport(const stdfs::path& path) {
    std::vector<std::string> lines;
    for (std::string& line : verificationReport(path.string(), verifyStrictDeep(path), 2)) {
        if (!line.starts_with("--")) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

// `lines` with "APP" standing for the bundle's path.
std::vector<std::string> inApp(std::vector<std::string> lines, const stdfs::path& app) {
    for (std::string& line : lines) {
        for (std::size_t at; (at = line.find("APP")) != std::string::npos;) {
            line.replace(at, 3, app.string());
        }
    }
    return lines;
}

// Binds a seal of the given property-list entries to the bundle's executable, as a signer that
// wrote such a seal would.
void resealWith(const stdfs::path& app, const std::string& entries) {
    const std::string seal =
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>" + entries + "</dict></plist>";
    writeText(app / "_CodeSignature/CodeResources", seal);
    const std::string plist = info("App");
    bw::signer::SignOptions code;
    code.identifier = "com.example.App";
    code.infoPlist = bw::codesign::Bytes(plist.begin(), plist.end());
    code.codeResources = bw::codesign::Bytes(seal.begin(), seal.end());
    bw::signer::signMachOFile(app / "App", code);
}

// The last 4 KiB page the code directory hashes, the one that ends where the signature starts.
std::uint64_t lastCodePage(const stdfs::path& executable) {
    const auto opened = bw::macho::openMachOFile(executable.string());
    return (opened->file.slices.at(0).image.codeSignature->dataOffset - 1) / 4096;
}

} // namespace

TEST(CodeVerifierTest, LinkerSignaturesOfLldPass) {
    for (const char* name : {"App", "App.universal", "Kit"}) {
        Verification result = verifyStrictDeep(inputs / name);
        EXPECT_TRUE(result.valid()) << name << ": " << testing::PrintToString(messages(result));
    }
}

// CMS, SHA-1 directories and 16 KiB pages: see the universal file signed differently per slice.
TEST(CodeVerifierTest, WellSignedVariantsPass) {
    struct Case {
        const char* name;
        std::function<void(BundleSignOptions&)> configure;
    };
    const std::vector<Case> cases = {
        {"one page", [](BundleSignOptions& o) { o.code.pageSizeLog2 = 0; }},
        {"XML entitlements only", [](BundleSignOptions& o) { o.code.derEntitlements = false; }},
        {"SHA-256 resources only", [](BundleSignOptions& o) { o.seal.sha1 = false; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bw::test::TestFolder dir;
        stdfs::path app = makeApp(dir.fsPath());
        BundleSignOptions options = withEntitlements();
        c.configure(options);
        bw::signer::signBundle(app, options);
        Verification result = verifyStrictDeep(app);
        EXPECT_TRUE(result.valid()) << testing::PrintToString(messages(result));
        const stdfs::path kit = app / "Frameworks/Kit.framework";
        EXPECT_EQ(result.nested, (std::vector<NestedStep>{{kit, false}, {kit, true}}));
    }
}

// Every kind of failure, reported as Apple's tool reports it. "APP" stands for the bundle.
TEST(CodeVerifierTest, TamperedBundlesFailInApplesWords) {
    using namespace bw::signer::tamper;
    struct Case {
        const char* name;
        std::function<void(const stdfs::path&)> tamper;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"changed code page",
         [](const stdfs::path& app) { changeCodePage(app / "App", 1); },
         {"APP: invalid signature (code or signature have been modified)",
          "In architecture: arm64"}},
        {"changed last code page",
         [](const stdfs::path& app) { changeCodePage(app / "App", lastCodePage(app / "App")); },
         {"APP: invalid signature (code or signature have been modified)",
          "In architecture: arm64"}},
        {"changed, added and removed resources",
         [](const stdfs::path& app) {
             writeText(app / "assets/logo.png", "x");
             writeText(app / "new.txt", "x");
             stdfs::remove(app / "en.lproj/Main.strings"); // optional: no problem
             stdfs::remove(app / "logo-link.png");
         },
         {"APP: a sealed resource is missing or invalid", "file added: APP/new.txt",
          "file modified: APP/assets/logo.png", "file missing: APP/logo-link.png"}},
        {"unsigned nested framework",
         [](const stdfs::path& app) {
             stdfs::copy_file(inputs / "App.unsigned", app / "Frameworks/Kit.framework/Kit",
                              stdfs::copy_options::overwrite_existing);
         },
         {"APP: code object is not signed at all",
          "In subcomponent: APP/Frameworks/Kit.framework"}},
        {"nested framework signed again",
         [](const stdfs::path& app) {
             BundleSignOptions other;
             other.code.identifier = "com.example.other";
             bw::signer::signBundle(app / "Frameworks/Kit.framework", other);
         },
         {"APP: nested code is modified or invalid",
          "file modified: APP/Frameworks/Kit.framework"}},
        {"nested Info.plist that is a folder",
         [](const stdfs::path& app) {
             stdfs::remove(app / "Frameworks/Kit.framework/Info.plist");
             stdfs::create_directory(app / "Frameworks/Kit.framework/Info.plist");
         },
         {"APP: invalid Info.plist (plist or signature have been modified)",
          "In architecture: arm64", "In subcomponent: APP/Frameworks/Kit.framework"}},
        {"wrong Info.plist",
         [](const stdfs::path& app) { writeText(app / "Info.plist", info("App") + " "); },
         {"APP: invalid Info.plist (plist or signature have been modified)",
          "In architecture: arm64"}},
        {"changed seal",
         [](const stdfs::path& app) {
             std::ofstream(app / "_CodeSignature/CodeResources", std::ios::app) << " ";
         },
         {"APP: invalid resource directory (directory or signature have been modified)"}},
        {"removed seal",
         [](const stdfs::path& app) { stdfs::remove(app / "_CodeSignature/CodeResources"); },
         {"APP: code has no resources but signature indicates they must be present"}},
        {"broken seal",
         [](const stdfs::path& app) {
             resealWith(app, "<key>files2</key><dict/><key>rules2</key><dict><key>(</key><true/>"
                             "</dict>");
         },
         {"APP: invalid resource rules in the seal"}},
        {"executable cut short",
         [](const stdfs::path& app) { stdfs::resize_file(app / "App", 100); },
         {"APP: main executable failed strict validation"}},
        {"removed executable",
         [](const stdfs::path& app) { stdfs::remove(app / "App"); },
         {"APP: bundle format unrecognized, invalid, or unsuitable"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bw::test::TestFolder dir;
        stdfs::path app = makeApp(dir.fsPath(), inputs / "App");
        bw::signer::signBundle(app, withEntitlements());
        c.tamper(app);
        EXPECT_EQ(failureReport(app), inApp(c.expected, app));
    }
}

// Xcode seals iOS apps with "^" at weight 20, tied with the rules that leave out Info.plist and
// PkgInfo: such an app verifies with PkgInfo changed, and not with a nested framework's file
// changed (then the framework itself is not validated).
TEST(CodeVerifierTest, XcodeSealedIosAppVerifiesUntilAFileChanges) {
    for (const bool changeFramework : {false, true}) {
        bw::test::TestFolder dir;
        stdfs::path app = makeApp(dir.fsPath(), inputs / "App");
        writeText(app / "PkgInfo", "APPL????");
        BundleSignOptions options = withEntitlements();
        options.seal.xcodeIos = true;
        bw::signer::signBundle(app, options);
        writeText(app / "PkgInfo", "APPLxxxx");
        const std::string kit = (app / "Frameworks/Kit.framework").string();
        std::vector<std::string> expected = {"--prepared:" + kit, "--validated:" + kit,
                                             "APP: valid on disk",
                                             "APP: the designated requirement was not evaluated"};
        if (changeFramework) {
            writeText(app / "Frameworks/Kit.framework/Info.plist", "x");
            expected = {"--prepared:" + kit, "APP: a sealed resource is missing or invalid",
                        "file modified: APP/Frameworks/Kit.framework/Info.plist"};
        }
        EXPECT_EQ(verificationReport(app.string(), verifyStrictDeep(app), 2), inApp(expected, app));
    }
}

// Nested code is found wherever the nested rules point, not only in Frameworks/. Under Xcode's
// iOS rules an extension inside a Watch app is verified once, by the Watch app.
TEST(CodeVerifierTest, CodeInsideNestedCodeIsVerifiedOnce) {
    bw::test::TestFolder dir;
    stdfs::path app = makeApp(dir.fsPath(), inputs / "App");
    const stdfs::path extension = app / "Watch/Watch.app/PlugIns/Ext.appex";
    for (const auto& [folder, name] :
         {std::pair{app / "Watch/Watch.app", "Watch"}, std::pair{extension, "Ext"}}) {
        stdfs::create_directories(folder);
        stdfs::copy_file(inputs / "Kit", folder / name);
        writeText(folder / "Info.plist", info(name));
    }
    BundleSignOptions options = withEntitlements();
    options.seal.xcodeIos = true;
    bw::signer::signBundle(app, options);
    const Verification result = verifyStrictDeep(app);
    EXPECT_TRUE(result.valid());
    EXPECT_EQ(std::ranges::count(result.nested, extension, &NestedStep::path), 2);
}

// A Mac app as real ones come: a versioned framework reached through its links, an XPC
// service, resource names with spaces, a decomposed accent and a localisation. It verifies,
// and the framework is named as Apple's tool names it. Only Contents/ is sealed, and not the Mac
// App Store's receipt in it.
TEST(CodeVerifierTest, MacAppWithVersionedFrameworkVerifies) {
    bw::test::TestFolder dir;
    const stdfs::path app = stdfs::path(dir.fsPath()) / "Mac.app";
    const stdfs::path kit = app / "Contents/Frameworks/Kit.framework";
    const stdfs::path helper = app / "Contents/XPCServices/Helper.xpc/Contents";
    for (const auto& [from, to] :
         {std::pair{"App", app / "Contents/MacOS/App"}, std::pair{"Kit", kit / "Versions/A/Kit"},
          std::pair{"App", helper / "MacOS/Helper"}}) {
        stdfs::create_directories(to.parent_path());
        stdfs::copy_file(inputs / from, to);
    }
    writeText(app / "Contents/Info.plist", info("App"));
    writeText(kit / "Versions/A/Resources/Info.plist", info("Kit"));
    writeText(helper / "Info.plist", info("Helper"));
    writeText(app / "Contents/Resources/My Icon (1).png", "x");
    writeText(app / "Contents/Resources/Cafe\xcc\x81 menu.txt", "x");
    writeText(app / "Contents/Resources/fr.lproj/Main.strings", "x");
    stdfs::create_symlink("A", kit / "Versions/Current");
    stdfs::create_symlink("Versions/Current/Kit", kit / "Kit");
    stdfs::create_symlink("Versions/Current/Resources", kit / "Resources");
    bw::signer::signBundle(app, withEntitlements());
    Verification result = verifyStrictDeep(app);
    EXPECT_TRUE(result.valid()) << testing::PrintToString(messages(result));
    EXPECT_NE(std::ranges::find(result.nested, NestedStep{kit / "Versions/Current/.", true}),
              result.nested.end());
    writeText(app / "Contents/_MASReceipt/receipt", "the store adds this after signing");
    EXPECT_TRUE(verifyStrictDeep(app).valid());
    writeText(app / "extra.txt", "x");
    EXPECT_EQ(failureReport(app),
              inApp({"APP: unsealed contents present in the bundle root"}, app));
    stdfs::remove(app / "extra.txt");
    // The framework's root lies outside every seal: strictly, only its standard shape passes.
    for (const auto& extra :
         {std::function<void()>([&] { writeText(kit / "LICENSE", "x"); }),
          std::function<void()>([&] { stdfs::create_symlink("../..", kit / "Frameworks"); })}) {
        extra();
        EXPECT_EQ(failureReport(app),
                  (std::vector<std::string>{app.string() + ": " + unsealedFrameworkRootReason,
                                            "In subcomponent: " + kit.string()}));
        EXPECT_TRUE(verifyCode(app, {true, false, 1}).valid());
        stdfs::remove(kit / "LICENSE");
    }
}

TEST(CodeVerifierTest, UnsignedNestedCodeFailsOnlyWhenStrictOrDeep) {
    bw::test::TestFolder dir;
    stdfs::path app = makeApp(dir.fsPath(), inputs / "App");
    stdfs::create_directories(app / "PlugIns");
    bw::signer::signBundle(app, {});
    // A plain Mach-O file in a folder no nested rule covers is a resource; sealed by hash.
    EXPECT_TRUE(verifyCode(app, {false, false, 1}).valid());
    bw::signer::tamper::changeCodePage(app / "Frameworks/Kit.framework/Kit", 0);
    EXPECT_TRUE(verifyCode(app, {false, false, 1}).valid()) << "page changes need --deep";
    EXPECT_FALSE(verifyCode(app, {true, false, 1}).valid());
}

TEST(CodeVerifierTest, UniversalSlicesSignedDifferently) {
    bw::test::TestFolder dir;
    stdfs::path folder = dir.fsPath();
    stdfs::copy_file(inputs / "App", folder / "arm64");
    stdfs::copy_file(inputs / "App.x86_64", folder / "x86_64");
    BundleSignOptions cms;
    // The certificate the build makes beside the signer's inputs, with a chain certificate.
    const stdfs::path identity = inputs.parent_path() / "test-identity";
    cms.code.cms = bw::signer::CmsIdentity{identity / "cert.pem", identity / "key.pem"};
    cms.code.cms->chain = {identity / "chain.pem"};
    cms.code.identifier = "com.example.arm";
    bw::signer::signCode(folder / "arm64", cms);
    BundleSignOptions adhoc;
    adhoc.code.hashTypes = {HashType::sha1, HashType::sha256};
    adhoc.code.pageSizeLog2 = 14;
    adhoc.code.identifier = "com.example.intel";
    bw::signer::signCode(folder / "x86_64", adhoc);
    std::string lipo = "llvm-lipo-14 -create " + (folder / "arm64").string() + " " +
                       (folder / "x86_64").string() + " -output " + (folder / "fat").string();
    ASSERT_EQ(std::system(lipo.c_str()), 0);
    EXPECT_EQ(
        verificationReport((folder / "fat").string(), verifyStrictDeep(folder / "fat"), 1),
        inApp({"APP: valid on disk", "APP: the trust chain of /CN=Test Signer was not evaluated",
               "APP: the designated requirement was not evaluated"},
              folder / "fat"));

    bw::signer::tamper::changeCodePage(folder / "fat", 0, "x86_64");
    EXPECT_EQ(failureReport(folder / "fat"),
              inApp({"APP: invalid signature (code or signature have been modified)",
                     "In architecture: x86_64"},
                    folder / "fat"));
}

TEST(CodeVerifierTest, EntitlementsReadBackExactlyAsSigned) {
    bw::test::TestFolder dir;
    stdfs::path app = makeApp(dir.fsPath());
    bw::signer::signBundle(app, withEntitlements());
    SignedEntitlements read = readSignedEntitlements(app);
    EXPECT_EQ(read.error, "");
    EXPECT_EQ(read.executable, app / "App");
    ASSERT_TRUE(read.xml.has_value());
    EXPECT_EQ(std::string(read.xml->begin(), read.xml->end()), entitlements);
    BundleSignOptions derOnly = withEntitlements();
    derOnly.code.xmlEntitlements = false;
    bw::signer::signBundle(app, derOnly);
    const std::optional<bw::codesign::Bytes> fromDer = readSignedEntitlements(app).xml;
    ASSERT_TRUE(fromDer.has_value());
    const auto plist = [](const auto& bytes) {
        return bw::plist::PlistValue::parse(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                       static_cast<qsizetype>(bytes.size())));
    };
    EXPECT_EQ(plist(*fromDer), plist(entitlements)) << "the DER form alone reads back as XML";
    bw::signer::signBundle(app, {});
    EXPECT_FALSE(readSignedEntitlements(app).xml.has_value());
    EXPECT_EQ(readSignedEntitlements(inputs / "App.unsigned").error,
              "code object is not signed at all");
}

// The parser's own tests cover each malformed field; here one fault in the code directory shows
// that a broken signature becomes a problem, not a crash.
TEST(CodeVerifierTest, MalformedSignaturesFailCleanly) {
    bw::test::TestFolder dir;
    stdfs::path file = stdfs::path(dir.fsPath()) / "App";
    stdfs::copy_file(inputs / "App", file);
    bw::signer::signCode(file, withEntitlements());
    bw::signer::tamper::patchCodeDirectory(file, 28, 0x00ffffff); // code slot count overruns
    Verification result = verifyStrictDeep(file);
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_TRUE(
        result.problems[0].message.starts_with("invalid or unsupported format for signature"))
        << result.problems[0].message;
}
