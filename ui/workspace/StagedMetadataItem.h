#pragma once

#include "model/StagedBuild.h"

#include <QString>
#include <vector>

namespace bw::workspace {

// One cell of the staged build's metadata row; cells of a row are told apart by title.
struct StagedMetadataItem {
    QString title;
    QString value;
    bool monospaced = false;
    double compactWidth = 0; // the cell's fixed width in the compact layout

    const QString& id() const { return title; }
    bool operator==(const StagedMetadataItem&) const = default;
};

// The row for the staged build, in display order.
std::vector<StagedMetadataItem> metadataItems(const StagedBuild& staged, bool isPreviewLoading);

} // namespace bw::workspace
