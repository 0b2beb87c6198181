#include "platform/updater/Appcast.h"

#include <gtest/gtest.h>

namespace bw::updater {
namespace {

QByteArray feed(const QByteArray& items) {
    return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Berthwatch</title>)" +
           items + "</channel></rss>";
}

TEST(Appcast, ReadsVersionsAndLinksFromElementsOrEnclosure) {
    const auto items = parseAppcast(feed(R"(
<item><title>1.2</title><sparkle:version>42</sparkle:version>
  <sparkle:shortVersionString>1.2</sparkle:shortVersionString>
  <link>https://berthwatch.test/download</link></item>
<item><enclosure url="https://berthwatch.test/b.zip" sparkle:version="43"
  sparkle:shortVersionString="1.3" length="1" type="application/octet-stream"/></item>)"));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], (AppcastItem{"42", "1.2", QUrl("https://berthwatch.test/download")}));
    EXPECT_EQ(items[1], (AppcastItem{"43", "1.3", QUrl("https://berthwatch.test/b.zip")}));
    EXPECT_EQ(newestItem(items)->version, "43");
}

TEST(Appcast, RefusesWhatIsNotAnAppcast) {
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"not XML", "{\"version\": 2}"},
        {"truncated", feed("<item><sparkle:version>2</sparkle:version>").left(120)},
        {"no version", feed("<item><link>https://berthwatch.test/</link></item>")},
        {"script link",
         feed("<item><sparkle:version>2</sparkle:version><link>javascript:alert(1)</link></item>")},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_THROW(parseAppcast(bytes), AppcastError) << name;
    }
}

TEST(Appcast, ComparesVersionsPartByPart) {
    const std::vector<std::tuple<QString, QString, int>> cases = {
        {"1.10", "1.9", 1},
        {"2", "2.0", 0},
        {"1.0", "1.0b1", 1},
        {"1.0b2", "1.0b10", -1},
        {"99999999999999999999", "1", 1},
    };
    for (const auto& [a, b, order] : cases) {
        EXPECT_EQ(compareVersions(a, b), order) << a.toStdString() << " vs " << b.toStdString();
        EXPECT_EQ(compareVersions(b, a), -order) << b.toStdString() << " vs " << a.toStdString();
    }
}

} // namespace
} // namespace bw::updater
