#include "model/GuidelineReference.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace bw;

// The table's wording is the guidelines screen's own; what can break is an id given twice, a
// blank row, or a link the browser cannot open.
TEST(GuidelineReference, RowsAreUniqueCompleteAndLinked) {
    const auto& all = GuidelineReference::all();
    ASSERT_FALSE(all.empty());
    QSet<QString> ids;
    for (const GuidelineReference& reference : all) {
        EXPECT_FALSE(ids.contains(reference.id)) << reference.id.toStdString();
        ids.insert(reference.id);
        EXPECT_FALSE(reference.title.isEmpty() || reference.summary.isEmpty());
        EXPECT_EQ(reference.url, GuidelineReference::guidelinesURL());
    }
    const QUrl& url = GuidelineReference::guidelinesURL();
    EXPECT_TRUE(url.isValid());
    EXPECT_EQ(url.scheme(), "https");
}
