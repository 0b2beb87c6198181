#include "model/ResolutionGuidance.h"

#include "model/GuidelineReference.h"
#include "model/ResolutionPrompt.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace bw;
using namespace bw::resolution_guidance;

namespace {

using enum FindingCategory;

Finding findingWith(FindingSeverity severity, FindingCategory category, EvidenceSource source) {
    return {"rule",     severity,     category,    "2.1", std::nullopt, "Title",     "Detail",
            "Evidence", std::nullopt, " Fix it. ", 0.9,   source,       std::nullopt};
}

BuildMetadata buildMetadata() {
    return {"App", "com.example.app", "1.0", "1", "iOS", "17.0", {}, {}, 0, std::nullopt};
}

FindingResolution serviceResolution(std::vector<ResolutionStep> steps, QString summary = "S",
                                    QString verification = "V") {
    return {summary, std::move(steps), verification, "service prompt"};
}

} // namespace

// The wording of the defaults is the guidance's own; what can break is which default a finding
// gets: corrections for blockers and risks, reviews for manual findings, the follow-up by source.
TEST(ResolutionGuidance, DefaultsFollowSeverityCategoryAndSource) {
    for (const FindingCategory category : allCases<FindingCategory>()) {
        for (const EvidenceSource source : allCases<EvidenceSource>()) {
            SCOPED_TRACE(rawValue(category).toStdString() + " " + rawValue(source).toStdString());
            const Finding blocker = findingWith(FindingSeverity::blocker, category, source);
            const Finding risk = findingWith(FindingSeverity::risk, category, source);
            const Finding review = findingWith(FindingSeverity::manual, category, source);
            EXPECT_EQ(defaultPrimaryStep(blocker), defaultPrimaryStep(risk));
            EXPECT_EQ(defaultSummary(blocker), defaultSummary(risk));
            EXPECT_EQ(defaultPrimaryStep(blocker).instruction, " Fix it. ");
            EXPECT_NE(defaultPrimaryStep(review).title, defaultPrimaryStep(blocker).title);
            EXPECT_EQ(defaultFollowUpStep(blocker),
                      defaultFollowUpStep(findingWith(FindingSeverity::risk, manual, source)));
            EXPECT_EQ(defaultVerification(blocker),
                      defaultVerification(findingWith(FindingSeverity::blocker, privacy, source)));
        }
    }
}

TEST(ResolutionGuidance, WithoutServiceResolutionEverythingIsDefault) {
    const Finding finding = findingWith(FindingSeverity::blocker, manual, EvidenceSource::build);
    const FindingResolution result = resolution(finding, buildMetadata());
    EXPECT_EQ(result.summary, "Fix it.");
    ASSERT_EQ(result.steps.size(), 2u);
    EXPECT_EQ(result.steps[0], (ResolutionStep{"Complete the required correction", " Fix it. "}));
    EXPECT_EQ(result.steps[1], defaultFollowUpStep(finding));
    EXPECT_EQ(result.verification, defaultVerification(finding));
    EXPECT_EQ(result.solutionPrompt, solutionPrompt(finding, buildMetadata(), result.summary,
                                                    result.steps, result.verification));
}

TEST(ResolutionGuidance, ValidatedSteps) {
    const ResolutionStep a{" A ", " do a\n"};
    const ResolutionStep b{"B", "do b"};
    const ResolutionStep blankTitle{"   ", "do c"};
    const ResolutionStep blankInstruction{"D", "\u2029\t"};
    using Steps = std::vector<ResolutionStep>;
    const std::pair<std::optional<Steps>, std::optional<Steps>> cases[] = {
        {std::nullopt, std::nullopt},
        {Steps{a}, std::nullopt},
        {Steps{a, blankTitle, b}, Steps{{"A", "do a"}, b}},
        {Steps{blankInstruction, a, b, b, b}, Steps{{"A", "do a"}, b, b, b}},
        {Steps{a, b, b, b, b}, std::nullopt},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(validatedSteps(cases[i].first), cases[i].second) << "case " << i;
    }
}

TEST(ResolutionGuidance, UsableServiceTextsAreKeptTrimmed) {
    Finding finding = findingWith(FindingSeverity::risk, signing, EvidenceSource::build);
    finding.resolution =
        serviceResolution({{"One", "First"}, {"   ", "ignored"}, {" Two ", " Second "}},
                          "  Service summary\n", "\tService check ");
    const FindingResolution result = resolution(finding, buildMetadata());
    EXPECT_EQ(result.summary, "Service summary");
    EXPECT_EQ(result.steps, (std::vector<ResolutionStep>{{"One", "First"}, {"Two", "Second"}}));
    EXPECT_EQ(result.verification, "Service check");
    EXPECT_NE(result.solutionPrompt, "service prompt");
}

TEST(ResolutionGuidance, UnusableServiceTextsFallBackOneByOne) {
    Finding finding = findingWith(FindingSeverity::risk, signing, EvidenceSource::build);
    const std::vector<ResolutionStep> five(5, ResolutionStep{"Step", "Do"});
    finding.resolution = serviceResolution(five, " \n ", "Keep this");
    FindingResolution result = resolution(finding, buildMetadata());
    EXPECT_EQ(result.summary, "Prepare a correctly signed App Store distribution artifact.");
    EXPECT_EQ(result.steps,
              (std::vector{defaultPrimaryStep(finding), defaultFollowUpStep(finding)}));
    EXPECT_EQ(result.verification, "Keep this");

    finding.resolution = serviceResolution({{"A", "a"}, {"B", "b"}}, "Keep summary", "");
    result = resolution(finding, buildMetadata());
    EXPECT_EQ(result.summary, "Keep summary");
    EXPECT_EQ(result.steps.size(), 2u);
    EXPECT_EQ(result.steps[0].title, "A");
    EXPECT_EQ(result.verification, defaultVerification(finding));
}

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
