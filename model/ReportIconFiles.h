#pragma once

#include "model/ScanReport.h"

#include <QSet>
#include <QString>
#include <QUuid>
#include <vector>

// App icons live beside the history as ReportIcons/<UUID>.png, which keeps the JSON small.
// None of these fail: an icon that cannot be read, written or removed is simply not.
namespace bw {

// Fills in the icon of every report that has none from its file, when that can be read.
void hydrateIcons(std::vector<ScanReport>& reports, const QString& folder);

// The copies to store in the JSON: each icon that could be written to its file is left out.
std::vector<ScanReport> externalizeIcons(const std::vector<ScanReport>& reports,
                                         const QString& folder);

// Removes the UUID-named PNG files of reports that are not kept; other files stay.
void pruneIcons(const QSet<QUuid>& keeping, const QString& folder);

} // namespace bw
