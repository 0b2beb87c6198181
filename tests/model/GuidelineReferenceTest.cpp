#include "model/GuidelineReference.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace bw;

namespace {

std::vector<int> rowsIn(FindingCategory category) {
    std::vector<int> rows;
    const auto& all = GuidelineReference::all();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].category == category) {
            rows.push_back(static_cast<int>(i) + 1);
        }
    }
    return rows;
}

} // namespace

TEST(GuidelineReference, TableOrderAndIds) {
    QStringList ids;
    QStringList titles;
    for (const GuidelineReference& reference : GuidelineReference::all()) {
        ids << reference.id;
        titles << reference.title;
        EXPECT_EQ(reference.url, GuidelineReference::guidelinesURL());
    }
    EXPECT_EQ(ids,
              (QStringList{"1.2", "2.1", "2.3", "2.3.3", "2.5", "2.5.1", "2.5.4", "3.1.1", "3.1.2",
                           "4.2", "4.3", "4.8", "5.1.1", "5.1.1(v)", "5.1.2", "5.2"}));
    EXPECT_EQ(titles.first(), "User Generated Content");
    EXPECT_EQ(titles.last(), "Intellectual Property");
    EXPECT_EQ(QSet<QString>(ids.begin(), ids.end()).size(), ids.size());
}

TEST(GuidelineReference, FilteringByCategory) {
    EXPECT_EQ(rowsIn(FindingCategory::manual), (std::vector{1, 10, 12}));
    EXPECT_EQ(rowsIn(FindingCategory::privacy), (std::vector{13, 14, 15}));
    EXPECT_EQ(rowsIn(FindingCategory::binary), (std::vector{5, 6, 7}));
    EXPECT_EQ(rowsIn(FindingCategory::payments), (std::vector{8, 9}));
    EXPECT_EQ(rowsIn(FindingCategory::signing), (std::vector<int>{}));
}

TEST(GuidelineReference, TypographicApostropheAndUrl) {
    const GuidelineReference& purchase = GuidelineReference::all()[7];
    EXPECT_EQ(purchase.summary, QStringLiteral("Digital goods and feature unlocks generally must "
                                               "use Apple\u2019s in app purchase system."));
    const QUrl& url = GuidelineReference::guidelinesURL();
    EXPECT_TRUE(url.isValid());
    EXPECT_EQ(url.scheme(), "https");
    EXPECT_EQ(url.path(), "/app-store/review/guidelines/");
    EXPECT_TRUE(url.fragment().isEmpty());
    EXPECT_EQ(&GuidelineReference::all(), &GuidelineReference::all());
}
