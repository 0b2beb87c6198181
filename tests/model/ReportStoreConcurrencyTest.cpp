#include "model/ReportHistoryCoding.h"
#include "model/ReportStore.h"
#include "platform/fs/ReadWholeFile.h"
#include "tests/model/ReportSamples.h"
#include "tests/support/FieldOf.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace bw;
using bw::test::sampleReport;

namespace {

using Clock = std::chrono::steady_clock;

// Two histories without a report in common, so that each save prunes the other's icons.
std::vector<ScanReport> history(int which) {
    return which == 0 ? std::vector{sampleReport(0), sampleReport(1), sampleReport(2)}
                      : std::vector{sampleReport(10), sampleReport(11)};
}

bool isOneOfTheTwo(const std::vector<ScanReport>& reports) {
    return reports == history(0) || reports == history(1);
}

// The ids of a history file's reports; its icons live beside it and are not compared.
std::vector<QUuid> ids(const std::vector<ScanReport>& reports) {
    return bw::test::fieldOf(reports, &ScanReport::id);
}

pid_t startSaving(const QString& folder, int which, Clock::time_point until) {
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            const ReportStore store(folder);
            while (Clock::now() < until) {
                store.save(history(which));
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        } catch (const std::exception&) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    return child;
}

} // namespace

// The program and a second instance (or bw-store) save at once: every load sees one whole
// history, and the backup is always a whole earlier one.
TEST(ReportStoreConcurrency, TwoProcessesSavingAtOnceNeverMixTheirHistories) {
    bw::test::TestFolder root;
    const QString folder = QDir(root.path()).filePath("history");
    ReportStore(folder).save(history(0));
    const auto until = Clock::now() + std::chrono::seconds(3);
    const pid_t savers[] = {startSaving(folder, 0, until), startSaving(folder, 1, until)};

    int loads = 0;
    int faults = 0;
    while (Clock::now() < until) {
        const ReportStore::LoadResult loaded = ReportStore(folder).load();
        const DecodedHistory backup =
            decodeHistory(fs::readWholeFile(QDir(folder).filePath("reports.backup.json")));
        const std::vector<QUuid> backupIds = ids(backup.reports);
        faults += loaded.notice || !isOneOfTheTwo(loaded.reports) ||
                  backup.state != DecodedHistory::State::decoded ||
                  (backupIds != ids(history(0)) && backupIds != ids(history(1)));
        ++loads;
    }
    for (const pid_t saver : savers) {
        int status = 0;
        ASSERT_EQ(::waitpid(saver, &status, 0), saver);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a saver failed";
    }
    EXPECT_EQ(faults, 0) << "loads that saw no whole history or backup, of " << loads;
    EXPECT_TRUE(isOneOfTheTwo(ReportStore(folder).load().reports));
    EXPECT_GT(loads, 10);
}
