#pragma once

#include "model/RawValue.h"

namespace bw {

// Declared from the most to the least serious; findings sort in this order.
enum class FindingSeverity { blocker, risk, manual };

enum class FindingCategory {
    package,
    signing,
    privacy,
    permissions,
    binary,
    resources,
    payments,
    metadata,
    screenshots,
    manual,
};

enum class EvidenceSource { build, appStoreConnect, screenshot, manual };

enum class Verdict { noConfirmedBlockers, needsAttention };

enum class ScreenshotAssessmentStatus {
    passed,
    confirmedIssue,
    insufficientEvidence,
    failed,
    skipped
};

// The review areas that screenshots are supplied for.
enum class ScreenshotPrompt { paywall, signIn, accountDeletion, permissions, restore };

template <> struct RawValueTable<FindingSeverity> {
    static constexpr std::array<QStringView, 3> rawValues{u"blocker", u"risk", u"manual"};
};

template <> struct RawValueTable<FindingCategory> {
    static constexpr std::array<QStringView, 10> rawValues{
        u"Package",   u"Signing",  u"Privacy",  u"Permissions", u"Binary",
        u"Resources", u"Payments", u"Metadata", u"Screenshots", u"Manual"};
};

template <> struct RawValueTable<EvidenceSource> {
    static constexpr std::array<QStringView, 4> rawValues{u"Build", u"App Store Connect",
                                                          u"Screenshot", u"Manual"};
};

template <> struct RawValueTable<Verdict> {
    static constexpr std::array<QStringView, 2> rawValues{u"noConfirmedBlockers",
                                                          u"needsAttention"};
};

template <> struct RawValueTable<ScreenshotAssessmentStatus> {
    static constexpr std::array<QStringView, 5> rawValues{
        u"passed", u"confirmed_issue", u"insufficient_evidence", u"failed", u"skipped"};
};

template <> struct RawValueTable<ScreenshotPrompt> {
    static constexpr std::array<QStringView, 5> rawValues{u"paywall", u"signIn", u"accountDeletion",
                                                          u"permissions", u"restore"};
};

} // namespace bw
