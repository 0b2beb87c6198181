#pragma once

#include "tests/app/ModelHarness.h"
#include "tests/support/Reports.h"

#include <QDir>
#include <QFile>

namespace bw::test {

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
