#include "model/ReportStore.h"
#include "tests/model/ReportSamples.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace bw;
using bw::test::sampleHistory;

namespace {

void tell(int progress, int message) {
    if (::write(progress, &message, sizeof message) != sizeof message) {
        ::_exit(1);
    }
}

// Runs in the forked child until it is killed: saves a history one report longer each time and
// tells the parent the count, negated before the save and as it is once the save returned.
[[noreturn]] void saveGrowingHistories(const QString& folder, int start, int progress) {
    const ReportStore store(folder);
    for (int count = start + 1;; ++count) {
        const std::vector<ScanReport> history = sampleHistory(count);
        tell(progress, -count);
        store.save(history);
        tell(progress, count);
    }
}

} // namespace

// A save killed at any moment leaves the history of the last completed save or of the one in
// flight, never fewer reports, never a damaged primary file.
TEST(ReportStoreCrash, KilledAtRandomMomentsTheHistoryIsTheLastOrTheNext) {
    constexpr int kills = 240;
    constexpr int longestHistory = 40;
    // Generous: the sanitized build on a loaded machine takes a second or more per ten kills.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(150);
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMicroseconds(0, 6000);

    bw::test::TestFolder root;
    const QString folder = QDir(root.path()).filePath("history");
    int stored = 0;
    int killed = 0;
    int killedDuringSave = 0;
    for (; killed < kills && std::chrono::steady_clock::now() < deadline; ++killed) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            saveGrowingHistories(folder, stored, pipeEnds[1]);
        }
        ::close(pipeEnds[1]);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the saver stopped early";
        // The saves go one after another, so the last message tells the whole story.
        int message = 0;
        int lastMessage = 0;
        while (::read(pipeEnds[0], &message, sizeof message) == sizeof message) {
            lastMessage = message;
        }
        ::close(pipeEnds[0]);
        const bool duringSave = lastMessage < 0;
        const int last = lastMessage == 0 ? stored : (duringSave ? -lastMessage - 1 : lastMessage);

        const ReportStore::LoadResult result = ReportStore(folder).load();
        ASSERT_EQ(result.notice, std::nullopt) << "after kill " << killed;
        ASSERT_TRUE(result.canPersist);
        const int loaded = int(result.reports.size());
        ASSERT_TRUE(loaded == last || loaded == last + 1)
            << "loaded " << loaded << " reports, last completed save held " << last;
        ASSERT_EQ(result.reports, sampleHistory(loaded));
        ASSERT_TRUE(loaded == last || duringSave);
        killedDuringSave += duringSave ? 1 : 0;

        stored = loaded;
        if (stored >= longestHistory) {
            QDir(folder).removeRecursively();
            stored = 0;
        }
    }
    EXPECT_GE(killed, 200) << "too few kills within the time bound";
    // Kills that land between saves prove nothing; most must interrupt one.
    EXPECT_GE(killedDuringSave, killed / 2);
}
