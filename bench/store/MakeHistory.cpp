// bw-store-history N: prints a JSON array of N reports, newest first, each with a few findings
// and its own 128-pixel PNG icon, in the form bw-store save reads.

#include "model/ReportJson.h"
#include "platform/json/JsonWriter.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QRandomGenerator>
#include <QTimeZone>
#include <cstdio>

using namespace bw;

namespace {

// A soft gradient with some noise: compresses like a real icon, not like a flat square.
QByteArray icon(int index, QRandomGenerator& random) {
    QImage image(128, 128, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int noise = int(random.bounded(24));
            image.setPixel(
                x, y, qRgba((x * 2 + index) % 256, (y * 2) % 256, (index * 37 + noise) % 256, 255));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

Finding finding(int index, int number) {
    const QString n = QString::number(number);
    return {"privacy.manifest-missing." + n,
            FindingSeverity(number % 3),
            FindingCategory(number % 10),
            "5.1.1",
            number % 2 ? std::optional<QString>("ITMS-91053") : std::nullopt,
            "Privacy manifest missing for an SDK",
            "The build embeds an SDK that Apple lists as needing a privacy manifest, and none was "
            "found.",
            "Frameworks/SDK" + n + ".framework/PrivacyInfo.xcprivacy is absent",
            std::vector<FindingEvidenceField>{{"Framework", "SDK" + n},
                                              {"Report", QString::number(index)}},
            "Update the SDK to a version that ships PrivacyInfo.xcprivacy.",
            0.8,
            EvidenceSource::build,
            FindingResolution{"Add the manifest.",
                              {{"Update", "Update the SDK with your package manager."},
                               {"Rebuild", "Archive again and rescan."}},
                              "The finding is gone in the next scan.",
                              "Help me add a privacy manifest for SDK" + n + "."}};
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc == 2 ? std::atoi(argv[1]) : -1;
    if (count < 0) {
        std::fputs("usage: bw-store-history N\n", stderr);
        return 2;
    }
    QRandomGenerator random(42);
    QJsonArray reports;
    const QDateTime start(QDate(2026, 1, 1), QTime(8, 0), QTimeZone::utc());
    for (int i = 0; i < count; ++i) {
        const QString n = QString::number(i);
        std::vector<Finding> findings;
        for (int f = 0; f < 6; ++f) {
            findings.push_back(finding(i, f));
        }
        const ScanReport report{
            QUuid::createUuidV5(QUuid(), "report " + n),
            start.addSecs(qint64(count - i) * 3600),
            "App" + n + ".ipa",
            "/Users/dev/Builds/App" + n + ".ipa",
            Verdict::needsAttention,
            {"App " + n,
             "com.example.app" + n,
             "2." + n,
             n,
             "iphoneos",
             "16.0",
             {"arm64"},
             {"Alamofire", "Sentry"},
             50'000'000 + i,
             icon(i, random)},
            std::move(findings),
            {"Info.plist readable", "Code signature valid", "No private API symbols"},
            std::nullopt,
            "2026.08.1"};
        reports.append(toJson(report));
    }
    const QByteArray bytes = json::write(reports, json::Layout::compact);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    return 0;
}
