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

TEST(GuidelineReference, EveryRowWordForWord) {
    using namespace Qt::Literals::StringLiterals;
    using enum FindingCategory;
    struct Row {
        const char* id;
        const char* title;
        FindingCategory category;
        QString summary;
    };
    const Row rows[] = {
        {"1.2", "User Generated Content", manual,
         u"Provide filtering, reporting, blocking, and reachable contact information wherever users create content."_s},
        {"2.1", "App Completeness", package,
         u"Final, stable builds; working URLs, backends, purchases, and reviewer access."_s},
        {"2.3", "Accurate Metadata", metadata,
         u"Descriptions, screenshots, privacy details, and actual functionality must agree."_s},
        {"2.3.3", "Accurate Screenshots", screenshots,
         u"Product page images must show the app in use and accurately represent its current experience."_s},
        {"2.5", "Software Requirements", binary,
         u"Use public APIs, valid bundles, supported architectures, and platform rules."_s},
        {"2.5.1", "Public APIs", binary,
         u"Use only public APIs for their intended purpose and remain compatible with the currently shipping OS."_s},
        {"2.5.4", "Background Services", binary,
         u"Background modes must support their declared task instead of keeping unrelated work alive."_s},
        {"3.1.1", "In App Purchase", payments,
         u"Digital goods and feature unlocks generally must use Apple\u2019s in app purchase system."_s},
        {"3.1.2", "Subscriptions", payments,
         u"Clearly disclose price, duration, renewal terms, ongoing value, and a way to restore purchases."_s},
        {"4.2", "Minimum Functionality", manual,
         u"The app must provide lasting utility beyond a thin or repackaged experience."_s},
        {"4.3", "Spam", metadata,
         u"Avoid duplicate bundle IDs, template variants, misleading clones, and already saturated concepts."_s},
        {"4.8", "Login Services", manual,
         u"External login choices and equivalent login requirements that preserve privacy."_s},
        {"5.1.1", "Data Collection and Storage", privacy,
         u"Privacy policy, purpose strings, data minimization, consent, and account deletion."_s},
        {"5.1.1(v)", "Account Deletion", privacy,
         u"Apps that support account creation must also provide an accessible way to initiate deletion."_s},
        {"5.1.2", "Data Use and Sharing", privacy,
         u"Disclose where data goes, including external AI services, and obtain required permission."_s},
        {"5.2", "Intellectual Property", resources,
         u"Use third party content, services, names, and trademarks only when you have the necessary rights."_s},
    };
    const auto& all = GuidelineReference::all();
    ASSERT_EQ(all.size(), std::size(rows));
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i],
                  (GuidelineReference{rows[i].id, rows[i].title, rows[i].summary,
                                      GuidelineReference::guidelinesURL(), rows[i].category}))
            << i + 1;
    }
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
