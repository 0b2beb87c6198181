#include "platform/json/JsonWriter.h"

#include "platform/json/JsonReader.h"

#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <limits>

using namespace bw::json;

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

TEST(JsonWriter, NumbersReadBackExactly) {
    for (const double d : {0.1, 0.91, 1.0 / 3.0, 123456.789, 5e-324}) {
        const QByteArray text = write(QJsonArray{d}, Layout::compact);
        EXPECT_EQ(JsonReader(parseDocument(text)).elements().at(0).number(), d) << text.constData();
    }
}

TEST(JsonWriter, TextsReadBackExactly) {
    // Lone surrogates too, which a binary property list can hand over: UTF-8 cannot carry them.
    const QString texts[] = {QChar(0xDDDC) + QStringLiteral("😀") + QChar(0xD83D),
                             QStringLiteral("é\u0001\"/"), QString(QChar(0xFEFF)) + QChar(0)};
    for (const QString& text : texts) {
        const QByteArray written = write(QJsonArray{text}, Layout::compact);
        EXPECT_EQ(JsonReader(parseDocument(written)).strings().at(0), text) << written.constData();
    }
}

TEST(JsonWriter, RefusesNumbersThatAreNotFinite) {
    EXPECT_THROW(write(QJsonArray{std::numeric_limits<double>::infinity()}, Layout::compact),
                 EncodeError);
}
