#include "platform/plist/BinaryPlistReader.h"

#include <gtest/gtest.h>

using namespace bw::plist;

namespace {

// Assembles a binary property list from encoded objects, with one-byte offsets and references.
QByteArray bplist(const std::vector<QByteArray>& objects, int top = 0) {
    QByteArray bytes = "bplist00";
    QByteArray table;
    for (const QByteArray& object : objects) {
        table += char(bytes.size());
        bytes += object;
    }
    const qsizetype tableOffset = bytes.size();
    bytes += table;
    QByteArray trailer(32, '\0');
    trailer[6] = 1;
    trailer[7] = 1;
    trailer[15] = char(objects.size());
    trailer[23] = char(top);
    trailer[31] = char(tableOffset);
    return bytes + trailer;
}

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

} // namespace

TEST(BinaryPlistReader, ReadsEveryValueType) {
    // {"k": [true, 1, -1 (8 bytes), 258 (16 bytes), 1.5f, 2.5, date, data, "é" (UTF-16), uid]}
    const auto value = readBinaryPlist(bplist({
        hex("d10102"), // dictionary: key 1, value 2
        hex("516b"),   // "k"
        hex("aa030405060708090a0b0c"),
        hex("09"),
        hex("1001"),
        hex("13ffffffffffffffff"),
        hex("140000000000000000"
            "0000000000000102"),
        hex("223fc00000"),
        hex("234004000000000000"),
        hex("3341c9c76d20000000"), // 2001-01-01 + 865,000,000 s
        hex("4200ff"),
        hex("6100e9"),
        hex("8007"),
    }));
    ASSERT_TRUE(value);
    const PlistArray& list = *value->dictionary()->find(u"k")->array();
    ASSERT_EQ(list.size(), 10u);
    EXPECT_EQ(list[0].boolean(), true);
    EXPECT_EQ(list[1].integer(), 1);
    EXPECT_EQ(list[2].integer(), -1);
    EXPECT_EQ(list[3].integer(), 258);
    EXPECT_EQ(list[4].real(), 1.5);
    EXPECT_EQ(list[5].real(), 2.5);
    EXPECT_EQ(*list[6].date(),
              QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).addSecs(865000000));
    EXPECT_EQ(*list[7].data(), hex("00ff"));
    EXPECT_EQ(*list[8].string(), QString::fromUtf8("é"));
    EXPECT_EQ(list[9].integer(), 7);
}

TEST(BinaryPlistReader, KeepsTextsWithNulAndLongCounts) {
    // A key holding a NUL made an earlier reader abort; a count above 14 follows the marker.
    const auto value = readBinaryPlist(bplist({hex("d10102"),
                                               hex("5261"
                                                   "00"),
                                               hex("5f1010") + QByteArray(16, 'x')}));
    ASSERT_TRUE(value);
    EXPECT_EQ(*stringEntry(*value->dictionary(), QString::fromLatin1("a\0", 2)), QString(16, 'x'));
}

TEST(BinaryPlistReader, RefusesCrafted) {
    const QByteArray cases[] = {
        bplist({hex("a100")}),                // an array that contains itself
        bplist({hex("a101"), hex("a100")}),   // a cycle through two arrays
        bplist({hex("a105")}),                // a reference past the last object
        bplist({hex("5f13ffffffff")}),        // a length far beyond the file
        bplist({hex("d10100"), hex("1001")}), // a key that is no text
        bplist({hex("1001")}, 3),             // a top object that does not exist
        bplist({hex("70")}),                  // an unknown marker
        bplist({hex("13ff")}),                // an integer cut short
        QByteArray("bplist00"),
        QByteArray("bplist00") + QByteArray(32, '\xff'),
    };
    for (const QByteArray& bytes : cases) {
        EXPECT_FALSE(readBinaryPlist(bytes)) << bytes.toHex().constData();
    }
}

TEST(BinaryPlistReader, SharedObjectsCannotExpandWithoutBound) {
    // Ten levels of arrays, each referencing the next fourteen times: 14^10 values if expanded.
    std::vector<QByteArray> objects;
    for (int level = 0; level < 10; ++level) {
        objects.push_back(hex("ae") + QByteArray(14, char(level + 1)));
    }
    objects.push_back(hex("09"));
    EXPECT_FALSE(readBinaryPlist(bplist(objects)));
}
