#pragma once

#include "app/AppModel.h"
#include "tests/support/TestFolder.h"

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

// An application model over a real history saved in a private folder. What the model reveals in
// the file manager is recorded instead of shown.
class ModelWithHistory {
public:
    explicit ModelWithHistory(const std::vector<ScanReport>& reports) {
        ReportStore(folder()).save(reports);
        AppModelOptions options;
        options.revealer = [this](const QString& path) { revealed.push_back(path); };
        const QUrl nowhere("http://127.0.0.1:9");
        auto services = std::make_shared<const AppServices>(
            AppServices{BuildScanner(), ScreenshotAuditService(), ReportStore(folder()),
                        BerthwatchBackend(nowhere), AppStoreConnectService(),
                        ScreenshotAIService(BerthwatchBackend(nowhere))});
        model = std::make_unique<AppModel>(services, ReportStore(folder()).load(), false,
                                           std::move(options));
    }

    QString folder() const { return QString::fromStdString((temp_.fsPath() / "history").string()); }

    // From now on every save of the history fails: a plain file takes the folder's place (file
    // modes would not stop a test run as root). The saved history is kept aside.
    void makeUnwritable() {
        QDir().rename(folder(), keptAside());
        QFile blocker(folder());
        blocker.open(QIODevice::WriteOnly);
        unwritable_ = true;
    }

    std::vector<ScanReport> onDisk() const {
        return ReportStore(unwritable_ ? keptAside() : folder()).load().reports;
    }

    std::unique_ptr<AppModel> model;
    std::vector<QString> revealed;

private:
    QString keptAside() const { return folder() + ".kept"; }

    TestFolder temp_;
    bool unwritable_ = false;
};

} // namespace bw::test
