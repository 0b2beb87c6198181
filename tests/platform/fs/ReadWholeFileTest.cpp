#include "platform/fs/ReadWholeFile.h"

#include "platform/fs/FileIoError.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestFolder.h"
#include "tests/support/Thrown.h"

#include <QDir>
#include <QRandomGenerator>
#include <cerrno>
#include <gtest/gtest.h>

using namespace bw;

TEST(ReadWholeFile, ReadsEveryByte) {
    bw::test::TestFolder dir;
    // Larger than one read, and not a multiple of it.
    QByteArray big(300 * 1024 + 7, '\0');
    QRandomGenerator generator(7);
    for (char& byte : big) {
        byte = char(generator.bounded(256));
    }
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", {}}, {"small", "{}\n"}, {"big", big}};
    for (const auto& [name, bytes] : cases) {
        bw::test::writeFile(dir.filePath(name), bytes);
        EXPECT_EQ(fs::readWholeFile(dir.filePath(name)), bytes) << name;
    }
}

TEST(ReadWholeFile, FailsWithTheSystemReason) {
    bw::test::TestFolder dir;
    QDir(dir.path()).mkdir("folder");
    const std::pair<const char*, int> cases[] = {{"missing", ENOENT}, {"folder", EISDIR}};
    for (const auto& [name, errorNumber] : cases) {
        const auto error =
            bw::test::thrown<fs::FileIoError>([&] { fs::readWholeFile(dir.filePath(name)); });
        ASSERT_TRUE(error) << name;
        EXPECT_EQ(error->errorNumber(), errorNumber) << name;
        EXPECT_EQ(error->operation(), fs::FileIoError::Operation::read) << name;
    }
}
