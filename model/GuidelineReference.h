#pragma once

#include "model/ReportEnums.h"

#include <QString>
#include <QUrl>
#include <vector>

namespace bw {

// One App Review guideline as the guidelines screen lists it. Identified by `id`.
struct GuidelineReference {
    QString id;
    QString title;
    QString summary;
    QUrl url;
    FindingCategory category;

    bool operator==(const GuidelineReference&) const = default;

    // The guideline table, in display order; built once.
    static const std::vector<GuidelineReference>& all();

    // Apple's public App Review Guidelines page, shared by every row.
    static const QUrl& guidelinesURL();
};

size_t qHash(const GuidelineReference& value, size_t seed = 0);

} // namespace bw
