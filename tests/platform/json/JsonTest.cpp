#include "platform/json/JsonReader.h"
#include "platform/json/JsonValues.h"
#include "platform/json/JsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace bw::json;

namespace {

JsonReader readerOf(const char* document) {
    return JsonReader(parseDocument(document));
}

} // namespace

TEST(JsonDates, ParsesOnlyWholeSecondInternetDateTimes) {
    struct Case {
        const char* text;
        const char* expectedUtc; // nullptr: must not parse
    };
    const Case cases[] = {
        {"2026-08-01T11:30:00+02:00", "2026-08-01T09:30:00Z"},
        {"2026-08-01T04:00:00-0530", "2026-08-01T09:30:00Z"},
        {"2026-08-01T09:30:00.5Z", nullptr},
        {"2026-08-01T09:30:00", nullptr},
        {"2026-02-30T09:30:00Z", nullptr},
        {"2026-08-01T09:30:00z", nullptr},
    };
    for (const Case& c : cases) {
        const auto parsed = parseDate(QString::fromUtf8(c.text));
        if (c.expectedUtc == nullptr) {
            EXPECT_FALSE(parsed.has_value()) << c.text;
        } else {
            ASSERT_TRUE(parsed.has_value()) << c.text;
            EXPECT_EQ(formatDate(*parsed), QString::fromUtf8(c.expectedUtc)) << c.text;
        }
    }
}

// The report tests read a lower-case identifier and write it upper-case.
TEST(JsonDates, FormatDropsTheFractionAndWritesUtc) {
    EXPECT_EQ(formatDate(QDateTime::fromMSecsSinceEpoch(1'785'000'000'999, QTimeZone(3600))),
              "2026-07-25T17:20:00Z");
}

TEST(JsonUuids, RefusesAllButTheDashedForm) {
    for (const char* bad : {"{1b4e28ba-2fa1-11d2-883f-0016d3cca427}",
                            "1b4e28ba2fa111d2883f0016d3cca427", "not-a-uuid"}) {
        EXPECT_FALSE(parseUuid(QString::fromUtf8(bad)).has_value()) << bad;
    }
}

TEST(JsonReader, ScalarTypesAreStrict) {
    struct Case {
        const char* document;
        std::function<void(const JsonReader&)> read;
        bool succeeds;
    };
    const auto integer = [](const JsonReader& r) { r.member(u"v").integer(); };
    const auto number = [](const JsonReader& r) { r.member(u"v").number(); };
    const auto boolean = [](const JsonReader& r) { r.member(u"v").boolean(); };
    const auto string = [](const JsonReader& r) { r.member(u"v").string(); };
    const auto data = [](const JsonReader& r) { r.member(u"v").data(); };
    const Case cases[] = {
        {R"({"v": 3})", integer, true},       {R"({"v": -9007199254740993})", integer, true},
        {R"({"v": 3.0})", integer, true},     {R"({"v": "3"})", integer, false},
        {R"({"v": 1e300})", integer, false},  {R"({"v": "0.9"})", number, false},
        {R"({"v": false})", boolean, true},   {R"({"v": 1})", boolean, false},
        {R"({"v": null})", string, false},    {R"({"v": 5})", string, false},
        {R"({"v": 3.5})", integer, false},    {R"({"v": "aGVsbG8="})", data, true},
        {R"({"v": "aGVsbG8"})", data, false}, {R"({"v": "QUJ="})", data, false},
        {R"({"v": "QQ-_"})", data, false},    {R"({"v": "a\/8="})", data, true},
    };
    for (const Case& c : cases) {
        const JsonReader reader = readerOf(c.document);
        if (c.succeeds) {
            EXPECT_NO_THROW(c.read(reader)) << c.document;
        } else {
            EXPECT_THROW(c.read(reader), DecodeError) << c.document;
        }
    }
}

TEST(JsonReader, OptionalMembersTreatNullAsAbsentButRejectWrongTypes) {
    const JsonReader reader = readerOf(R"({"a": null, "b": "x", "c": 4, "v": 9007199254740993})");
    EXPECT_EQ(reader.member(u"v").integer(), 9007199254740993LL); // every digit kept
    EXPECT_FALSE(optionalStringAt(reader, u"a").has_value());
    EXPECT_FALSE(optionalStringAt(reader, u"missing").has_value());
    EXPECT_EQ(optionalStringAt(reader, u"b"), QStringLiteral("x"));
    EXPECT_THROW(optionalStringAt(reader, u"c"), DecodeError);
}

TEST(JsonReader, RejectsDocumentsThatAreNotJson) {
    for (const char* bad : {"", "{", "[1,]", "{\"a\" 1}", "nul", "1", "\"x\"", "[1] x", "[01]",
                            "[+1]", "[1e]", "[1e400]", "[\"\\u12\"]", "[\"\xC0\x80\"]",
                            "[\"\xED\xA0\x80\"]", "[\"open]", "{\"a\":1,}", "[\f1]"}) {
        EXPECT_THROW(parseDocument(bad), DecodeError) << bad;
    }
}

TEST(JsonReader, ReadsTextsNumbersAndKeysAsItAlwaysHas) {
    struct Case {
        const char* document;
        QJsonValue expected; // the first element
    };
    const Case cases[] = {
        {R"(["a\"b\\c\/d\b\f\n\r\t"])", "a\"b\\c/d\b\f\n\r\t"},
        {R"(["\u00e9\ud83d\ude00 é"])", QStringLiteral("é😀 é")},
        {R"(["\x"])", "x"},
        {"[\"tab\tin\"]", "tab\tin"},
        {"\xEF\xBB\xBF [ 7 ]\n", 7},
        {"[1.0]", qint64(1)},
        {"[.5]", 0.5},
        {"[9223372036854775807]", qint64(9223372036854775807)},
        {"[9223372036854775808]", 9223372036854775808.0},
        {R"([{"k": 1, "k": 2}])", QJsonObject{{"k", 2}}},
    };
    for (const Case& c : cases) {
        const QJsonValue first = parseDocument(c.document).root().toQJsonValue().toArray().at(0);
        EXPECT_EQ(first, c.expected) << c.document;
        EXPECT_EQ(first.toVariant().typeId(), c.expected.toVariant().typeId()) << c.document;
    }
}

// A long array at the top of a document is parsed in parts on several threads: elements whose
// strings hold separators, brackets and escaped quotes read as QJsonDocument reads them, and a
// defect anywhere fails at its own offset, as parsing in one go does.
TEST(JsonReader, LongArraysReadTheSameInPartsAndFailAtTheirDefect) {
    QByteArray elements;
    for (int i = 0; i < 5000; ++i) {
        elements += R"({"a": [1, "x,]}", {"q": "\\"}],)"
                    "\n                  "
                    R"("b": "say \"[{,\" \\\" ok"},)";
    }
    elements += "[true, null, -2.5]          ";
    for (const QByteArray& document :
         {"[" + elements + "]", R"({"version": 1, "reports": [)" + elements + "]}"}) {
        ASSERT_GT(document.size(), 256 * 1024);
        EXPECT_EQ(parseDocument(document).root().toQJsonValue(),
                  QJsonDocument::fromJson(document).isArray()
                      ? QJsonValue(QJsonDocument::fromJson(document).array())
                      : QJsonValue(QJsonDocument::fromJson(document).object()));
    }
    const qsizetype middle = elements.indexOf("{", elements.size() / 2);
    for (const char* defect : {"{\"a\" 1},", "[1,,2],", "tru,", "{]},", "1 2,"}) {
        QByteArray bad = "[" + elements + "]";
        bad.insert(middle + 1, defect);
        try {
            parseDocument(bad);
            ADD_FAILURE() << defect;
        } catch (const DecodeError& error) {
            const qsizetype offset =
                error.reason().section(QStringLiteral("offset "), 1).chopped(2).toLongLong();
            EXPECT_GE(offset, middle + 1) << defect;
            EXPECT_LE(offset, middle + 1 + qsizetype(std::strlen(defect))) << defect;
        }
    }
}

// Strings view the parsed bytes: bytes the caller only lends are copied first.
TEST(JsonReader, ReadersOutliveBorrowedBytes) {
    QByteArray buffer = R"(["text", "a\/b"])";
    const JsonReader reader(
        parseDocument(QByteArray::fromRawData(buffer.constData(), buffer.size())));
    buffer.fill('x');
    EXPECT_EQ(reader.strings(), (std::vector<QString>{"text", "a/b"}));
}

TEST(JsonReader, NestsAsDeepAsAThousandAndTwentyFourLevels) {
    const auto nested = [](int depth) { return QByteArray(depth, '[') + QByteArray(depth, ']'); };
    EXPECT_NO_THROW(parseDocument(nested(1024)));
    EXPECT_THROW(parseDocument(nested(1025)), DecodeError);
}

TEST(JsonWriter, PrettyOutputSortsKeysEverywhereAndIndentsByTwo) {
    const QJsonObject value{
        {"zeta", 1},
        {"alpha", QJsonArray{QJsonObject{{"b", true}, {"a", QJsonValue::Null}}, QJsonArray{}}},
        {"mid", QJsonObject{}},
    };
    const QByteArray expected = "{\n"
                                "  \"alpha\" : [\n"
                                "    {\n"
                                "      \"a\" : null,\n"
                                "      \"b\" : true\n"
                                "    },\n"
                                "    []\n"
                                "  ],\n"
                                "  \"mid\" : {},\n"
                                "  \"zeta\" : 1\n"
                                "}";
    EXPECT_EQ(write(value, Layout::pretty), expected);
}

TEST(JsonWriter, CompactOutputAndEscapes) {
    struct Case {
        QJsonValue value;
        QByteArray expected;
    };
    const Case cases[] = {
        {QJsonObject{{"b", "x/y"}, {"a", 2}}, R"({"a":2,"b":"x\/y"})"},
        {QJsonArray{"quote\" back\\ tab\t nl\n cr\r"}, R"(["quote\" back\\ tab\t nl\n cr\r"])"},
        {QJsonArray{QString(QChar(0x01)) + QChar(0x1f)}, R"(["\u0001\u001f"])"},
        {QJsonArray{QStringLiteral("é ✓ 😀")}, "[\"é ✓ 😀\"]"},
        {QJsonArray{0.9, 1.0, -0.5, 1e-7}, "[0.9,1,-0.5,1e-07]"},
        {QJsonArray{QJsonValue(qint64(9007199254740993))}, "[9007199254740993]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(write(c.value, Layout::compact), c.expected);
    }
}

TEST(JsonWriter, NumbersAndTextsReadBackExactly) {
    for (const double d : {0.1, 1.0 / 3.0, 5e-324}) {
        const QByteArray text = write(QJsonArray{d}, Layout::compact);
        EXPECT_EQ(JsonReader(parseDocument(text)).elements().at(0).number(), d) << text.constData();
    }
    // Lone surrogates too, which a binary property list can hand over: UTF-8 cannot carry them.
    const QString texts[] = {QChar(0xDDDC) + QStringLiteral("😀") + QChar(0xD83D),
                             QStringLiteral("é\u0001\"/"), QString(QChar(0xFEFF)) + QChar(0)};
    for (const QString& text : texts) {
        const QByteArray written = write(QJsonArray{text}, Layout::compact);
        EXPECT_EQ(JsonReader(parseDocument(written)).strings().at(0), text) << written.constData();
    }
}
