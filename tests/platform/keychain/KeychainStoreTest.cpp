#include "platform/keychain/KeychainStore.h"

#include "platform/keychain/KeychainStatus.h"

#include <QProcess>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace bw;

namespace {

// Stores bytes under the account as the README tells a user to, with secret-tool.
void storeWithSecretTool(const QString& account, const QByteArray& bytes) {
    QProcess tool;
    tool.start("secret-tool", {"store", "--label=Berthwatch", "service", "app.berthwatch.mac",
                               "account", account});
    ASSERT_TRUE(tool.waitForStarted());
    tool.write(bytes);
    tool.closeWriteChannel();
    ASSERT_TRUE(tool.waitForFinished());
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
}

// Counts the items of (service, account) the way a user would list them.
int itemCount(const QString& service, const QString& account) {
    QProcess tool;
    tool.start("secret-tool", {"search", "--all", "service", service, "account", account});
    EXPECT_TRUE(tool.waitForFinished());
    int count = 0;
    for (const QByteArray& line : tool.readAllStandardOutput().split('\n')) {
        count += line.startsWith('[') ? 1 : 0;
    }
    return count;
}

// Locks the default collection as the desktop does when the screen locks.
void lockDefaultCollection() {
    QProcess tool;
    tool.start("dbus-send", {"--session", "--print-reply", "--dest=org.freedesktop.secrets",
                             "/org/freedesktop/secrets", "org.freedesktop.Secret.Service.Lock",
                             "array:objpath:/org/freedesktop/secrets/aliases/default"});
    ASSERT_TRUE(tool.waitForFinished());
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
}

qint32 statusOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const KeychainStoreError& error) {
        EXPECT_EQ(error.description(),
                  QStringLiteral("Keychain returned error %1.").arg(error.status()));
        return error.status();
    }
    return keychain_status::success;
}

class KeychainStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Never let these tests reach the keyring of whoever runs them.
        ASSERT_TRUE(qEnvironmentVariableIsSet("BW_TEST_SECRET_SERVICE"))
            << "run through with-secret-service.sh";
    }

    const KeychainStore store{"app.berthwatch.mac"};
};

} // namespace

// Each save replaces the one item of the account, longer or shorter than before.
TEST_F(KeychainStoreTest, SavedTextReadsBackExactlyAndReplacesTheOneItem) {
    const QString values[] = {
        QString(100000, u'x'),
        QStringLiteral("Gr\u00fc\u00dfe \U0001F680 \u65e5\u672c"),
        QString::fromUtf8("a\0b", 3),
        "",
    };
    for (const QString& value : values) {
        store.save(value, "creds");
        EXPECT_EQ(store.read("creds"), value) << value.size();
    }
    EXPECT_EQ(itemCount("app.berthwatch.mac", "creds"), 1);
}

// Data that is not UTF-8 reads as nothing; the key a user stores with secret-tool is found.
TEST_F(KeychainStoreTest, ReadsWhatSecretToolStoresIfItIsUtf8) {
    storeWithSecretTool("bad", "caf\xc3");
    EXPECT_EQ(store.read("bad"), std::nullopt);
    storeWithSecretTool("app-store-connect-credentials", R"({"issuerID":"i","keyID":"k"})");
    EXPECT_EQ(store.read("app-store-connect-credentials"), R"({"issuerID":"i","keyID":"k"})");
}

// The item a user stored with secret-tool is the one item that saving replaces.
TEST_F(KeychainStoreTest, SavingReplacesTheItemSecretToolStored) {
    storeWithSecretTool("app-store-connect-credentials", "old");
    store.save("new", "app-store-connect-credentials");
    EXPECT_EQ(store.read("app-store-connect-credentials"), "new");
    EXPECT_EQ(itemCount("app.berthwatch.mac", "app-store-connect-credentials"), 1);
}

// Text counts as held, data that is not UTF-8 does not (a locked keyring: see below).
TEST_F(KeychainStoreTest, HoldsTextReadsTheItemOfAnUnlockedKeyring) {
    storeWithSecretTool("text", "{}");
    storeWithSecretTool("bytes", "caf\xc3");
    EXPECT_TRUE(store.holdsText("text", std::chrono::seconds(10)));
    EXPECT_FALSE(store.holdsText("bytes", std::chrono::seconds(10)));
    EXPECT_FALSE(store.holdsText("none", std::chrono::seconds(10)));
}

TEST_F(KeychainStoreTest, ServicesNeverSeeEachOthersItems) {
    const KeychainStore other{"app.berthwatch.other"};
    store.save("ours", "shared-account");
    EXPECT_EQ(other.read("shared-account"), std::nullopt);
    other.save("theirs", "shared-account");
    EXPECT_EQ(store.read("shared-account"), "ours");
    EXPECT_EQ(other.read("shared-account"), "theirs");
    EXPECT_EQ(KeychainStore{"app.berthwatch"}.read("shared-account"), std::nullopt);
    EXPECT_EQ(store.read("shared"), std::nullopt);
}

TEST_F(KeychainStoreTest, ALockedKeyringRefusesWithoutPrompting) {
    store.save("kept", "creds");
    storeWithSecretTool("bytes", "caf\xc3");
    lockDefaultCollection();

    EXPECT_EQ(statusOf([&] { store.read("creds"); }), keychain_status::interactionNotAllowed);
    // Whether the item exists needs no unlocking.
    EXPECT_TRUE(store.contains("creds", std::chrono::seconds(10)));
    EXPECT_FALSE(store.contains("other", std::chrono::seconds(10)));
    // Nor does whether it holds text: an item counts unread.
    EXPECT_TRUE(store.holdsText("creds", std::chrono::seconds(10)));
    EXPECT_TRUE(store.holdsText("bytes", std::chrono::seconds(10)));
    EXPECT_FALSE(store.holdsText("other", std::chrono::seconds(10)));
    EXPECT_EQ(statusOf([&] { store.save("new", "creds"); }),
              keychain_status::interactionNotAllowed);
}

TEST(KeychainStoreUnreachable, NoSecretServiceGivesNotAvailable) {
    // A fresh process, so that no bus connection from another test is reused.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
            unsetenv("DISPLAY");
            const KeychainStore store{"app.berthwatch.mac"};
            const bool readRefused =
                statusOf([&] { store.read("creds"); }) == keychain_status::notAvailable;
            const bool saveRefused =
                statusOf([&] { store.save("v", "creds"); }) == keychain_status::notAvailable;
            std::exit(readRefused && saveRefused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(KeychainStoreUnreachable, ABusThatNeverAnswersIsNotWaitedFor) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // A socket that takes connections into its backlog and never answers them.
            const std::string path = "/tmp/bw-silent-bus-" + std::to_string(::getpid());
            const int silent = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
            ::unlink(path.c_str());
            if (::bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
                ::listen(silent, 8) != 0) {
                std::exit(2);
            }
            setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + path).c_str(), 1);
            const KeychainStore store{"app.berthwatch.mac"};
            const auto started = std::chrono::steady_clock::now();
            const bool found = store.contains("creds", std::chrono::milliseconds(500));
            const auto waited = std::chrono::steady_clock::now() - started;
            ::unlink(path.c_str());
            std::exit(!found && waited < std::chrono::seconds(5) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
