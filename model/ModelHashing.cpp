#include "model/Hashing.h"
#include "model/ScanReport.h"
#include "model/StagedBuild.h"

namespace bw {

static size_t hashEnum(auto value, size_t seed) {
    return qHash(static_cast<int>(value), seed);
}

size_t qHash(const FindingEvidenceField& v, size_t seed) {
    return qHashMulti(seed, v.label, v.value);
}

size_t qHash(const ResolutionStep& v, size_t seed) {
    return qHashMulti(seed, v.title, v.instruction);
}

size_t qHash(const FindingResolution& v, size_t seed) {
    seed = qHash(v.summary, seed);
    seed = hashList(v.steps, seed);
    return qHashMulti(seed, v.verification, v.solutionPrompt);
}

size_t qHash(const Finding& v, size_t seed) {
    seed = qHashMulti(seed, v.id);
    seed = hashEnum(v.severity, seed);
    seed = hashEnum(v.category, seed);
    seed = qHash(v.guideline, seed);
    seed = hashOptional(v.itms, seed);
    seed = qHashMulti(seed, v.title, v.detail, v.evidence);
    seed = hashOptionalList(v.evidenceFields, seed);
    seed = qHashMulti(seed, v.fix, v.confidence);
    seed = hashEnum(v.source, seed);
    return hashOptional(v.resolution, seed);
}

size_t qHash(const BuildIdentity& v, size_t seed) {
    return qHashMulti(seed, v.appName, v.bundleIdentifier, v.version, v.buildNumber, v.platform,
                      v.minimumOS);
}

size_t qHash(const BuildMetadata& v, size_t seed) {
    seed = qHash(static_cast<const BuildIdentity&>(v), seed);
    seed = hashList(v.architectures, seed);
    seed = hashList(v.sdkNames, seed);
    seed = qHash(v.bundleSize, seed);
    return hashOptional(v.iconPNG, seed);
}

size_t qHash(const ScreenshotAssessment& v, size_t seed) {
    seed = qHash(v.fileName, seed);
    seed = hashEnum(v.reviewArea, seed);
    seed = hashEnum(v.status, seed);
    return qHashMulti(seed, v.summary, v.analyzed);
}

size_t qHash(const ScreenshotSummary& v, size_t seed) {
    seed = qHashMulti(seed, v.count, v.analyzedCount);
    seed = hashList(v.fileNames, seed);
    seed = hashOptionalList(v.reviewAreas, seed);
    seed = hashOptional(v.decodedCount, seed);
    return hashOptionalList(v.assessments, seed);
}

size_t qHash(const ScanReport& v, size_t seed) {
    seed = qHashMulti(seed, v.id, v.createdAt, v.fileName, v.sourcePath);
    seed = hashEnum(v.verdict, seed);
    seed = qHash(v.metadata, seed);
    seed = hashList(v.findings, seed);
    seed = hashList(v.passedChecks, seed);
    seed = hashOptional(v.screenshotSummary, seed);
    return qHash(v.rulesVersion, seed);
}

size_t qHash(const StagedBuildPreview& v, size_t seed) {
    seed = qHash(static_cast<const BuildIdentity&>(v), seed);
    seed = hashOptional(v.iconPNG, seed);
    seed = hashOptional(v.targetDevices, seed);
    return hashOptional(v.bundleSize, seed);
}

size_t qHash(const StagedBuild& v, size_t seed) {
    seed = qHashMulti(seed, v.id, v.fileName, v.path, v.addedAt);
    seed = hashOptional(v.preview, seed);
    return hashOptional(v.previewError, seed);
}

} // namespace bw
