#include "model/SharedTexts.h"

namespace bw {

namespace {

// `text` takes the copy held by `earlier` when both say the same.
void shareEqual(QString& text, const QString& earlier) {
    if (text == earlier) {
        text = earlier;
    }
}

void shareEqual(std::optional<QString>& text, const std::optional<QString>& earlier) {
    if (text && earlier) {
        shareEqual(*text, *earlier);
    }
}

// Element by element, as far as both go.
void shareEqual(std::vector<QString>& texts, const std::vector<QString>& earlier) {
    for (std::size_t index = 0; index < std::min(texts.size(), earlier.size()); ++index) {
        shareEqual(texts[index], earlier[index]);
    }
}

void shareEqual(FindingResolution& resolution, const FindingResolution& earlier) {
    shareEqual(resolution.summary, earlier.summary);
    shareEqual(resolution.verification, earlier.verification);
    shareEqual(resolution.solutionPrompt, earlier.solutionPrompt);
    for (std::size_t index = 0; index < std::min(resolution.steps.size(), earlier.steps.size());
         ++index) {
        shareEqual(resolution.steps[index].title, earlier.steps[index].title);
        shareEqual(resolution.steps[index].instruction, earlier.steps[index].instruction);
    }
}

} // namespace

void RepeatedTexts::share(ScanReport& report) {
    BuildMetadata& metadata = report.metadata;
    if (const auto app = reportOfApp_.constFind(metadata.bundleIdentifier);
        app != reportOfApp_.constEnd()) {
        const ScanReport& earlier = *app;
        metadata.bundleIdentifier = earlier.metadata.bundleIdentifier;
        shareEqual(metadata.appName, earlier.metadata.appName);
        shareEqual(metadata.version, earlier.metadata.version);
        shareEqual(metadata.platform, earlier.metadata.platform);
        shareEqual(metadata.minimumOS, earlier.metadata.minimumOS);
        shareEqual(metadata.architectures, earlier.metadata.architectures);
        shareEqual(metadata.sdkNames, earlier.metadata.sdkNames);
        shareEqual(report.fileName, earlier.fileName);
        shareEqual(report.sourcePath, earlier.sourcePath);
        shareEqual(report.rulesVersion, earlier.rulesVersion);
    } else {
        ScanReport names;
        names.metadata = metadata;
        names.fileName = report.fileName;
        names.sourcePath = report.sourcePath;
        names.rulesVersion = report.rulesVersion;
        reportOfApp_.insert(metadata.bundleIdentifier, std::move(names));
    }
    shareEqual(report.passedChecks, passedChecks_);
    if (report.passedChecks.size() >= passedChecks_.size()) {
        passedChecks_ = report.passedChecks;
    }
    for (Finding& finding : report.findings) {
        share(finding);
    }
}

void RepeatedTexts::share(Finding& finding) {
    const auto rule = findingOfRule_.constFind(finding.id);
    if (rule == findingOfRule_.constEnd()) {
        findingOfRule_.insert(finding.id, finding);
        return;
    }
    const Finding& earlier = *rule;
    finding.id = earlier.id;
    shareEqual(finding.guideline, earlier.guideline);
    shareEqual(finding.itms, earlier.itms);
    shareEqual(finding.title, earlier.title);
    shareEqual(finding.detail, earlier.detail);
    shareEqual(finding.evidence, earlier.evidence);
    shareEqual(finding.fix, earlier.fix);
    if (finding.evidenceFields && earlier.evidenceFields) {
        std::vector<FindingEvidenceField>& fields = *finding.evidenceFields;
        const std::vector<FindingEvidenceField>& earlierFields = *earlier.evidenceFields;
        for (std::size_t index = 0; index < std::min(fields.size(), earlierFields.size());
             ++index) {
            shareEqual(fields[index].label, earlierFields[index].label);
            shareEqual(fields[index].value, earlierFields[index].value);
        }
    }
    if (finding.resolution && earlier.resolution) {
        shareEqual(*finding.resolution, *earlier.resolution);
    }
}

} // namespace bw
