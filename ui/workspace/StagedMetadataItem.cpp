#include "ui/workspace/StagedMetadataItem.h"

#include "model/ReportHelpers.h"
#include "ui/design/Formatters.h"

namespace bw::workspace {

namespace {

QString platformText(const StagedBuildPreview& preview) {
    if (preview.minimumOS == u"Unavailable") {
        return preview.platform;
    }
    return preview.platform + u' ' + preview.minimumOS + u'+';
}

} // namespace

std::vector<StagedMetadataItem> metadataItems(const StagedBuild& staged, bool isPreviewLoading) {
    // Without a preview the values are still being read, or could not be read at all.
    const QString missing =
        isPreviewLoading ? QStringLiteral("Reading…") : QStringLiteral("Unavailable");
    const auto& preview = staged.preview;
    std::vector<StagedMetadataItem> items;
    items.push_back({"Bundle ID", preview ? preview->bundleIdentifier : missing, true, 188});
    items.push_back({"Version",
                     preview ? preview->version + " (" + preview->buildNumber + ")" : missing,
                     false, 78});
    items.push_back({"Platform", preview ? platformText(*preview) : missing, false, 118});
    if (preview && preview->targetDevices) {
        items.push_back({"Devices", *preview->targetDevices, false, 76});
    }
    items.push_back({"Artifact", kindLabel(staged), false, 82});
    if (preview && preview->bundleSize && *preview->bundleSize > 0) {
        items.push_back(
            {"Size", design::fileByteCount(std::uint64_t(*preview->bundleSize)), false, 68});
    }
    return items;
}

} // namespace bw::workspace
