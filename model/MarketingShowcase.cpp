#include "model/MarketingShowcase.h"

#include "model/ReportJson.h"

#include <QFile>
#include <cmath>

namespace bw::marketing_mode {

using namespace Qt::Literals::StringLiterals;

std::optional<ScanReport> readShowcaseFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    try {
        return decodeScanReport(json::JsonReader(json::parseDocument(file.readAll())));
    } catch (const json::DecodeError&) {
        return std::nullopt;
    }
}

namespace {

std::optional<QByteArray> readIcon(const std::optional<QString>& path) {
    if (!path) {
        return std::nullopt;
    }
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

const std::vector<ShowcaseRow>& showcaseRows() {
    static const std::vector<ShowcaseRow> rows{
        {u"Tidepool"_s, u"com.example.tidepool"_s, u"2.4"_s, u"318"_s, 0, false,
         u":/showcase/icons/tidepool.png"_s},
        {u"Lantern Reader"_s, u"com.example.lantern-reader"_s, u"1.8.2"_s, u"77"_s, 820, true,
         u":/showcase/icons/lantern-reader.png"_s},
        {u"Herbarium"_s, u"com.example.herbarium"_s, u"3.0"_s, u"1204"_s, 1640, false,
         u":/showcase/icons/herbarium.png"_s},
        {u"Metronome Lab"_s, u"com.example.metronome-lab"_s, u"1.2.1"_s, u"45"_s, 2460, true,
         u":/showcase/icons/metronome-lab.png"_s},
        {u"Quayside Budget"_s, u"com.example.quayside-budget"_s, u"5.1"_s, u"902"_s, 3280, false,
         u":/showcase/icons/quayside-budget.png"_s},
        {u"Orbit Runner"_s, u"com.example.orbit-runner"_s, u"1.0"_s, u"12"_s, 4100, true,
         u":/showcase/icons/orbit-runner.png"_s},
    };
    return rows;
}

QString demoAppName() {
    return showcaseRows().front().appName;
}

QString showcaseFilePath() {
    return u":/showcase/showcase.json"_s;
}

const std::vector<ScanReport>& showcaseReport() {
    static const std::vector<ScanReport> reports =
        makeShowcaseReports(showcaseFilePath(), QDateTime::currentDateTimeUtc());
    return reports;
}

std::vector<ScanReport> makeShowcaseReports(const QString& path, const QDateTime& now) {
    const ScanReport base = readShowcaseFile(path).value_or(ScanReport::sample());
    std::vector<ScanReport> reports;
    for (const ShowcaseRow& row : showcaseRows()) {
        reports.push_back(makeShowcaseReport(row, base, now));
    }
    return reports;
}

ScanReport makeShowcaseReport(const ShowcaseRow& row, const ScanReport& base,
                              const QDateTime& now) {
    BuildMetadata metadata = base.metadata;
    metadata.appName = row.appName;
    metadata.bundleIdentifier = row.bundleIdentifier;
    metadata.version = row.version;
    metadata.buildNumber = row.buildNumber;
    metadata.iconPNG = readIcon(row.iconPath);
    return {QUuid::createUuid(),
            now.addMSecs(-std::llround(row.age * 1000)),
            row.appName + u".xcarchive"_s,
            QString(),
            row.clean ? Verdict::noConfirmedBlockers : Verdict::needsAttention,
            std::move(metadata),
            row.clean ? std::vector<Finding>{} : base.findings,
            base.passedChecks,
            base.screenshotSummary,
            base.rulesVersion};
}

} // namespace bw::marketing_mode
