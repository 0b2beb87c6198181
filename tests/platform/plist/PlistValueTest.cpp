#include "platform/plist/PlistValue.h"

#include <QStringEncoder>
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
</dict></plist>)";

} // namespace

TEST(PlistValue, ReadsXmlKeepingEveryTypeApart) {
    const auto value = PlistValue::parse(xml);
    ASSERT_TRUE(value);
    const PlistDictionary* root = value->dictionary();
    ASSERT_TRUE(root);
    EXPECT_EQ(root->size(), 9u);
    EXPECT_EQ(root->find(u"flag")->boolean(), true);
    EXPECT_FALSE(root->find(u"flag")->integer());
    EXPECT_EQ(root->find(u"one")->integer(), 1);
    EXPECT_FALSE(root->find(u"one")->boolean());
    EXPECT_EQ(root->find(u"negative")->integer(), -5);
    EXPECT_EQ(root->find(u"real")->real(), 1.5);
    EXPECT_FALSE(root->find(u"real")->integer());
    EXPECT_EQ(*stringEntry(*root, u"text"), QString::fromUtf8("Grüße & more"));
    EXPECT_EQ(*root->find(u"when")->date(),
              QDateTime(QDate(2024, 2, 29), QTime(12, 34, 56), Qt::UTC));
    EXPECT_EQ(*root->find(u"bytes")->data(), QByteArray::fromHex("000102ff"));
    EXPECT_EQ(root->find(u"list")->array()->size(), 2u);
    EXPECT_TRUE(root->find(u"nested")->dictionary()->find(u"empty")->dictionary()->empty());
    EXPECT_EQ(root->find(u"missing"), nullptr);
    EXPECT_EQ(stringEntry(*root, u"one"), nullptr);
}

TEST(PlistValue, BinaryAndXmlFormsReadBackEqual) {
    const auto value = PlistValue::parse(xml);
    ASSERT_TRUE(value);
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

TEST(PlistValue, RefusesWhatIsNoPropertyList) {
    const QByteArray cases[] = {
        {},
        "not a plist",
        "<plist><dict><key>a</key>",
        QByteArray("bplist00", 8) + QByteArray(40, '\xff'),
    };
    for (const QByteArray& bytes : cases) {
        EXPECT_FALSE(PlistValue::parse(bytes)) << bytes.constData();
    }
}

TEST(PlistValue, DatesOutsideThirtyTwoBitSecondsReadWhole) {
    const auto value = PlistValue::parse(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><array>
  <date>2099-02-01T12:00:00Z</date><date>1900-01-01T00:00:00Z</date><date>2069-01-01T00:00:00Z</date>
</array></plist>)");
    ASSERT_TRUE(value);
    const PlistArray& dates = *value->array();
    ASSERT_EQ(dates.size(), 3u);
    EXPECT_EQ(*dates[0].date(), QDateTime(QDate(2099, 2, 1), QTime(12, 0), Qt::UTC));
    EXPECT_EQ(*dates[1].date(), QDateTime(QDate(1900, 1, 1), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(*dates[2].date(), QDateTime(QDate(2069, 1, 1), QTime(0, 0), Qt::UTC));
}
