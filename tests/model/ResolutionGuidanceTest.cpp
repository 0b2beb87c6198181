#include "model/ResolutionGuidance.h"

#include "model/ResolutionPrompt.h"

#include <gtest/gtest.h>

using namespace bw;
using namespace bw::ResolutionGuidance;

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

TEST(ResolutionGuidance, CorrectionDefaultsByCategory) {
    struct Case {
        FindingCategory category;
        const char* stepTitle;
        const char* summary;
    };
    const Case cases[] = {
        {package, "Update the build configuration",
         "Correct the affected build configuration and export a fresh artifact."},
        {binary, "Update the build configuration",
         "Correct the affected build configuration and export a fresh artifact."},
        {resources, "Update the build configuration",
         "Correct the affected build configuration and export a fresh artifact."},
        {signing, "Correct distribution signing",
         "Prepare a correctly signed App Store distribution artifact."},
        {privacy, "Correct the privacy configuration",
         "Correct the affected privacy configuration or disclosure."},
        {permissions, "Update the permission flow",
         "Correct the permission request and verify the release flow."},
        {payments, "Correct the purchase presentation",
         "Correct the affected purchase or subscription presentation."},
        {metadata, "Update the submission metadata",
         "Align the build and App Store Connect metadata."},
        {screenshots, "Correct the affected screenshot",
         "Replace or correct the affected App Store screenshot."},
        {manual, "Complete the required correction", "Fix it."},
    };
    for (const FindingSeverity severity : {FindingSeverity::blocker, FindingSeverity::risk}) {
        for (const Case& c : cases) {
            const Finding finding = findingWith(severity, c.category, EvidenceSource::screenshot);
            EXPECT_EQ(defaultPrimaryStep(finding), (ResolutionStep{c.stepTitle, " Fix it. "}))
                << rawValue(c.category).toStdString();
            EXPECT_EQ(defaultSummary(finding), c.summary) << rawValue(c.category).toStdString();
        }
    }
}

TEST(ResolutionGuidance, CorrectionFollowUpAndVerificationBySource) {
    struct Case {
        EvidenceSource source;
        ResolutionStep followUp;
        const char* verification;
    };
    const Case cases[] = {
        {EvidenceSource::build,
         {"Prepare a clean distribution build",
          "Create a new Release archive so the exported artifact contains the corrected "
          "configuration."},
         "Create a fresh Release archive, scan the exported build again, and confirm this finding "
         "no longer appears."},
        {EvidenceSource::appStoreConnect,
         {"Review and save the affected record",
          "Check the related version, localization, or review fields and save every required "
          "update."},
         "Save the update in App Store Connect, refresh the connected review, and confirm the "
         "record now matches the build."},
        {EvidenceSource::screenshot,
         {"Export a replacement asset",
          "Use a supported device size and file format without scaling, cropping, transparency, "
          "or stale UI."},
         "Replace the affected image or export it again, run Screenshot Review, and confirm the "
         "issue is gone."},
        {EvidenceSource::manual,
         {"Record the review outcome",
          "Document what was tested and resolve any issue observed in the release behavior before "
          "submission."},
         "Test the affected flow on the Release build and record the result before submitting."},
    };
    for (const FindingSeverity severity : {FindingSeverity::blocker, FindingSeverity::risk}) {
        for (const Case& c : cases) {
            // The category does not matter for blockers and risks.
            for (const FindingCategory category : {privacy, screenshots, manual}) {
                const Finding finding = findingWith(severity, category, c.source);
                EXPECT_EQ(defaultFollowUpStep(finding), c.followUp);
                EXPECT_EQ(defaultVerification(finding), c.verification);
            }
        }
    }
}

TEST(ResolutionGuidance, ReviewDefaultsByCategory) {
    struct Case {
        std::vector<FindingCategory> categories;
        const char* stepTitle;
        ResolutionStep followUp;
        const char* summary;
        const char* verification;
    };
    const Case cases[] = {
        {{privacy},
         "Review the privacy disclosures",
         {"Compare declarations with release behavior",
          "Confirm that the privacy manifest, SDK declarations, and App Store privacy answers "
          "describe the data used by the release build."},
         "Review the app data use against its privacy manifest and store disclosures.",
         "Confirm that the release behavior, privacy manifest, SDK declarations, and App Store "
         "privacy answers tell the same story."},
        {{permissions},
         "Test the permission flow",
         {"Record the permission outcome",
          "Test the system prompt and the screen that triggers it, then record any mismatch that "
          "must be corrected before submission."},
         "Review the permission flow in the release build.",
         "Test the affected permission on the release build and confirm that the prompt and "
         "triggering screen match the declared purpose."},
        {{payments},
         "Review the purchase flow",
         {"Test the complete purchase experience",
          "Check price, renewal period, trial terms, Restore, Terms, Privacy, and the unlocked "
          "experience on the release build."},
         "Review the purchase experience and subscription presentation in the release build.",
         "Complete a purchase and restore test on the release build and confirm that every "
         "required term is visible before commitment."},
        {{metadata},
         "Compare the App Store Connect record",
         {"Review the required store fields",
          "Compare the version metadata, screenshots, age rating, review notes, product state, and "
          "privacy answers with the release build."},
         "Compare this build with its App Store Connect submission record.",
         "Refresh the connected App Store review and confirm every required store field can be "
         "compared with this build."},
        {{screenshots},
         "Review the affected screenshot",
         {"Check the final store asset",
          "Confirm that the image shows the intended app experience clearly at a supported device "
          "size without stale or misleading content."},
         "Review the affected screenshot in its intended App Store context.",
         "Run Screenshot Review again and confirm the final asset accurately represents the app "
         "experience."},
        {{package, signing, binary, resources, manual},
         "Complete the manual review",
         {"Record the review outcome",
          "Document what was tested and resolve any issue observed in the release behavior before "
          "submission."},
         "Complete the required release review before submission.",
         "Complete the affected flow on the release build and record the result before "
         "submitting."},
    };
    for (const Case& c : cases) {
        for (const FindingCategory category : c.categories) {
            // The source does not matter for manual findings.
            for (const EvidenceSource source : allCases<EvidenceSource>()) {
                const Finding finding = findingWith(FindingSeverity::manual, category, source);
                EXPECT_EQ(defaultPrimaryStep(finding), (ResolutionStep{c.stepTitle, " Fix it. "}));
                EXPECT_EQ(defaultFollowUpStep(finding), c.followUp);
                EXPECT_EQ(defaultSummary(finding), c.summary);
                EXPECT_EQ(defaultVerification(finding), c.verification);
            }
        }
    }
}

TEST(ResolutionGuidance, ManualCategoryCorrectionSummaryFallsBackWhenFixIsBlank) {
    Finding finding = findingWith(FindingSeverity::blocker, manual, EvidenceSource::build);
    finding.fix = " \n\t ";
    EXPECT_EQ(defaultSummary(finding), "Complete the required release review before submission.");
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
        {Steps{}, std::nullopt},
        {Steps{a}, std::nullopt},
        {Steps{a, blankTitle}, std::nullopt},
        {Steps{a, blankTitle, b}, Steps{{"A", "do a"}, b}},
        {Steps{blankInstruction, a, b, b, b}, Steps{{"A", "do a"}, b, b, b}},
        {Steps{a, b, b, b, b}, std::nullopt},
        {Steps{a, b, blankTitle, blankInstruction, b, b}, Steps{{"A", "do a"}, b, b, b}},
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
