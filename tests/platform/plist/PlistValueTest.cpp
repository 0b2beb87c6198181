#include "platform/plist/PlistValue.h"

#include "platform/plist/BinaryPlistReader.h"

#include <QStringEncoder>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace bw::plist;

namespace {

const char* xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>
  <key>flag</key><true/>
  <key>one</key><integer>1</integer>
  <key>negative</key><integer>-5</integer>
  <key>real</key><real>1.5</real>
  <key>text</key><string>Grüße &amp; more</string>
  <key>when</key><date>2024-02-29T12:34:56Z</date>
  <key>bytes</key><data>AAEC/w==</data>
  <key>list</key><array><integer>1</integer><string>2</string></array>
  <key>nested</key><dict><key>empty</key><dict/></dict>
  <key>wide</key><array><date>1900-01-01T00:00:00Z</date><date>2099-02-01T12:00:00Z</date></array>
</dict></plist>)";

QByteArray bigEndian(quint64 value, int size) {
    const quint64 big = qToBigEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&big) + 8 - size, size);
}

// Assembles a binary property list from encoded objects, with four-byte offsets and references
// of `referenceSize` bytes.
QByteArray bplist(const std::vector<QByteArray>& objects, int top = 0, int referenceSize = 1) {
    QByteArray bytes = "bplist00";
    QByteArray table;
    for (const QByteArray& object : objects) {
        table += bigEndian(quint64(bytes.size()), 4);
        bytes += object;
    }
    return bytes + table + QByteArray(6, '\0') + char(4) + char(referenceSize) +
           bigEndian(objects.size(), 8) + bigEndian(quint64(top), 8) +
           bigEndian(quint64(bytes.size()), 8);
}

// A marker whose count follows it as a four-byte integer.
QByteArray counted(int marker, quint64 count) {
    return char(marker | 0x0f) + QByteArray(1, 0x12) + bigEndian(count, 4);
}

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

} // namespace

TEST(PlistValue, ReadsXmlKeepingEveryTypeApartAndWritesItBack) {
    const auto value = PlistValue::parse(xml);
    ASSERT_TRUE(value);
    const PlistDictionary* root = value->dictionary();
    ASSERT_TRUE(root);
    EXPECT_EQ(root->size(), 10u);
    // The binary reader's test compares each scalar with what XML gives.
    EXPECT_FALSE(root->find(u"flag")->integer());
    EXPECT_FALSE(root->find(u"real")->integer());
    EXPECT_EQ(*stringEntry(*root, u"text"), QString::fromUtf8("Grüße & more"));
    // Beyond 32-bit seconds from 2001, which libplist's date calls carry.
    EXPECT_EQ(
        *root->find(u"wide"),
        PlistValue(PlistArray{PlistValue(QDateTime(QDate(1900, 1, 1), QTime(0, 0), Qt::UTC)),
                              PlistValue(QDateTime(QDate(2099, 2, 1), QTime(12, 0), Qt::UTC))}));
    EXPECT_TRUE(root->find(u"nested")->dictionary()->find(u"empty")->dictionary()->empty());
    EXPECT_EQ(stringEntry(*root, u"one"), nullptr);
    const QByteArray binary = value->toBinary();
    EXPECT_TRUE(binary.startsWith("bplist00"));
    EXPECT_EQ(PlistValue::parse(binary), value);
    EXPECT_EQ(PlistValue::parse(value->toXml()), value);
}

TEST(PlistValue, ReadsXmlInEveryUnicodeEncodingThePlatformReads) {
    using Encoding = QStringConverter::Encoding;
    const struct {
        Encoding encoding;
        bool mark;
    } cases[] = {{Encoding::Utf8, true},     {Encoding::Utf16LE, true},  {Encoding::Utf16BE, true},
                 {Encoding::Utf16LE, false}, {Encoding::Utf16BE, false}, {Encoding::Utf32LE, true}};
    const auto expected = PlistValue::parse(xml);
    ASSERT_TRUE(expected);
    for (const auto& c : cases) {
        QStringEncoder encoder(c.encoding, c.mark ? QStringEncoder::Flag::WriteBom
                                                  : QStringEncoder::Flag::Default);
        const QByteArray bytes = encoder(QString::fromUtf8(xml));
        EXPECT_EQ(PlistValue::parse(bytes), expected) << bytes.toHex().left(8).constData();
    }
    EXPECT_FALSE(PlistValue::parse(QByteArray("\xFF\xFE\x00\xD8<", 5))); // a lone surrogate
}

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
    // A uid reads as its number.
    EXPECT_EQ(value, PlistValue::parse(R"(<plist version="1.0"><dict><key>k</key><array>
<true/><integer>1</integer><integer>-1</integer><integer>258</integer><real>1.5</real>
<real>2.5</real><date>2028-05-30T13:46:40Z</date><data>AP8=</data><string>é</string>
<integer>7</integer></array></dict></plist>)"));
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

TEST(PlistValue, RefusesWhatIsNoPropertyListAndCraftedBinaries) {
    const QByteArray cases[] = {
        {},
        "not a plist",
        "<plist><dict><key>a</key>",
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
        EXPECT_FALSE(PlistValue::parse(bytes)) << bytes.toHex().constData();
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
    // Two 900-reference arrays, one inside each place of the other, would be 810,000 values from
    // 2 KB; two of 20 (400 values from 100 bytes) are read.
    const auto squared = [](qsizetype references) {
        return readBinaryPlist(
            bplist({counted(0xa0, references) + QByteArray(references, '\1'),
                    counted(0xa0, references) + QByteArray(references, '\2'), hex("09")}));
    };
    EXPECT_TRUE(squared(20));
    EXPECT_FALSE(squared(900));
    // A 64 KiB text referenced 300 times is read; 2,000 times would be 128 Mi characters.
    const auto shared = [](qsizetype references) {
        return readBinaryPlist(bplist({counted(0xa0, references) + QByteArray(references, '\1'),
                                       counted(0x50, 1 << 16) + QByteArray(1 << 16, 'x')}));
    };
    EXPECT_TRUE(shared(300));
    EXPECT_FALSE(shared(2000));
}

TEST(BinaryPlistReader, LargeDictionariesReadWithTheLastOfRepeatedKeys) {
    // Keys in descending order made every insertion move all entries before it. The largest key
    // comes again at the end, with the value that must win.
    constexpr quint64 keys = 200'000;
    std::vector<QByteArray> objects{hex("09"), hex("1007"), {}};
    QByteArray keyReferences;
    for (quint64 i = 0; i < keys; ++i) {
        keyReferences += bigEndian(objects.size(), 4);
        objects.push_back("\x56" + QByteArray::number(keys - i).rightJustified(6, '0'));
    }
    objects[2] = counted(0xd0, keys + 1) + keyReferences + bigEndian(3, 4) +
                 QByteArray(keys * 4, '\0') + bigEndian(1, 4);
    const auto value = readBinaryPlist(bplist(objects, 2, 4));
    ASSERT_TRUE(value);
    EXPECT_EQ(value->dictionary()->size(), keys);
    EXPECT_EQ(value->dictionary()->begin()->first, u"000001");
    EXPECT_EQ(value->dictionary()->find(u"200000")->integer(), 7);
}
