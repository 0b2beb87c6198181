#pragma once

#include <QSet>
#include <QString>

namespace bw {

// Finding ids select findings in a report and key their resolutions, so within one report no id
// may repeat. Two files of the same name (from different folders) would otherwise share ids.
class UniqueFindingIds {
public:
    // `prefix` + `fileName`, or, when that id was already given out, the first free one of
    // `prefix` + `fileName` + "-2", "-3", ...
    QString claim(const QString& prefix, const QString& fileName);

private:
    QSet<QString> claimed_;
};

} // namespace bw
