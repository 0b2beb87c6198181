#include "services/appstoreconnect/ASCDocument.h"

#include "platform/json/JsonReader.h"

#include <gtest/gtest.h>

using namespace bw;

namespace {

ASCResource resource(const QString& id, const QString& type = "apps") {
    return {id, type, std::nullopt};
}

} // namespace

TEST(ASCDocument, DataIsReadLeniently) {
    const std::vector<std::pair<const char*, std::vector<ASCResource>>> cases = {
        {R"({"data":[{"id":"1","type":"apps"},{"id":"2","type":"apps"}]})",
         {resource("1"), resource("2")}},
        {R"({"data":{"id":"9","type":"appStoreReviewDetails"}})",
         {resource("9", "appStoreReviewDetails")}},
        {R"({"data":null})", {}},
        {R"({"data":[{"id":"1","type":"apps"},{"type":"apps"}]})", {}},
        {R"({"data":{"id":"1"}})", {}},
        {R"({"data":[{"id":"1","type":"apps","attributes":"name"}]})", {}},
        {R"({"data":[{"id":"1","type":"apps","attributes":null}]})", {resource("1")}},
    };
    for (const auto& [body, expected] : cases) {
        EXPECT_EQ(ASCDocument::decode(body).data, expected) << body;
    }
}

TEST(ASCDocument, AttributesKeepEveryJsonKind) {
    const ASCDocument document = ASCDocument::decode(R"({"data":{"id":"1","type":"apps",
        "attributes":{"name":"Flight","count":3,"ratio":0.5,"on":true,"off":false,"none":null,
        "nested":{"a":[1,"b",null,{"c":false}]}}}})");
    ASSERT_EQ(document.data.size(), 1u);
    const auto& attributes = *document.data[0].attributes;
    EXPECT_EQ(attributes.at("none").kind(), JSONValue::Kind::null);
    EXPECT_EQ(attributes.at("count"), JSONValue{3.0});
    EXPECT_EQ(attributes.at("on"), JSONValue{true});
    const JSONValue nested{JSONValue::Object{
        {"a", JSONValue{JSONValue::Array{JSONValue{1.0}, JSONValue{QString("b")}, JSONValue{},
                                         JSONValue{JSONValue::Object{{"c", JSONValue{false}}}}}}}}};
    EXPECT_EQ(attributes.at("nested"), nested);
    EXPECT_EQ(document.data[0].stringAttribute("name"), "Flight");
    EXPECT_EQ(document.data[0].stringAttribute("count"), std::nullopt);
    EXPECT_EQ(document.data[0].stringAttribute("missing"), std::nullopt);
}

TEST(ASCDocument, IncludedAndErrorsAreDroppedWhenUnreadable) {
    struct Case {
        const char* body;
        std::optional<std::vector<ASCResource>> included;
        std::optional<std::vector<ASCAPIError>> errors;
    };
    const Case cases[] = {
        {R"({"included":[{"id":"s","type":"appScreenshots"}]})",
         std::vector{resource("s", "appScreenshots")}, std::nullopt},
        {R"({"included":[{"id":"s","type":"appScreenshots"},{"id":"t"}]})", std::nullopt,
         std::nullopt},
        {R"({"errors":[{"status":"401","detail":"Bad key"},{"code":"X"}]})", std::nullopt,
         std::vector<ASCAPIError>{{"Bad key"}, {std::nullopt}}},
        {R"({"errors":[{"detail":401}]})", std::nullopt, std::nullopt},
        {R"({"errors":["denied"]})", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const ASCDocument document = ASCDocument::decode(c.body);
        EXPECT_EQ(document.included, c.included) << c.body;
        EXPECT_EQ(document.errors, c.errors) << c.body;
    }
}

TEST(ASCDocument, BodiesThatAreNotJsonObjectsFail) {
    for (const char* body : {"", "<html><body>Internal Server Error</body></html>", "[]",
                             R"([{"id":"1","type":"apps"}])", "{\"data\":", "null"}) {
        EXPECT_THROW(ASCDocument::decode(body), json::DecodeError) << body;
    }
}
