#pragma once

#include "tests/app/ModelHarness.h"

#include <QDir>
#include <QFile>

namespace bw::test {

// A report made at `createdAt` whose name, bundle identifier and verdict tell it apart.
inline ScanReport historyReport(const QString& name, const QDateTime& createdAt,
                                Verdict verdict = Verdict::needsAttention) {
    ScanReport report{};
    report.id = QUuid::createUuid();
    report.createdAt = createdAt;
    report.fileName = name + ".ipa";
    report.verdict = verdict;
    report.metadata.appName = name;
    report.metadata.bundleIdentifier = "com.example." + name.toLower();
    report.metadata.version = "1.0";
    report.metadata.buildNumber = "7";
    report.metadata.platform = "iphoneos";
    report.rulesVersion = "1";
    return report;
}

// The application launched over a real history saved in its private folder.
class ModelWithHistory : public ModelHarness {
public:
    explicit ModelWithHistory(const std::vector<ScanReport>& reports) {
        ReportStore(history).save(reports);
        launch();
    }

    // From now on every save of the history fails: a plain file takes the folder's place (file
    // modes would not stop a test run as root). The saved history is kept aside.
    void makeUnwritable() {
        QDir().rename(history, keptAside());
        QFile blocker(history);
        blocker.open(QIODevice::WriteOnly);
        unwritable_ = true;
    }

    std::vector<ScanReport> onDisk() const {
        return ReportStore(unwritable_ ? keptAside() : history).load().reports;
    }

private:
    QString keptAside() const { return history + ".kept"; }

    bool unwritable_ = false;
};

} // namespace bw::test
