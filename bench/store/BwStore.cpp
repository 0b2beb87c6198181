// bw-store load DIR: prints {"canPersist", "count", "ids", "notice"} of the history in DIR.
// bw-store save DIR: saves the JSON array of reports on standard input as the history in DIR.
// bw-store save DIR --from SOURCE: loads the history in SOURCE, as the program does at launch,
// and saves it as the history in DIR, as the program does after a scan; with SOURCE the same
// folder as DIR, one store does both, as in the program.
// Exits 1 with the error's description when the save or the input fails, 2 on bad usage.
// With BW_STORE_TIMING set, also prints the milliseconds of the store's own load or save, without
// reading and decoding the input or printing the output, on standard error.

#include "model/ReportJson.h"
#include "model/ReportStore.h"
#include "model/ReportStoreError.h"
#include "platform/fs/FileIoError.h"
#include "platform/fs/ReadWholeFile.h"
#include "platform/json/JsonValues.h"
#include "platform/json/JsonWriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>

using namespace bw;

namespace {

template <typename Call> auto timed(const char* name, Call call) {
    QElapsedTimer timer;
    timer.start();
    auto result = call();
    if (qEnvironmentVariableIsSet("BW_STORE_TIMING")) {
        std::fprintf(stderr, "%s %.1f ms\n", name, double(timer.nsecsElapsed()) / 1e6);
    }
    return result;
}

// The program keeps its history until it quits; freeing every report here would only time the
// allocator, so the tool ends without.
[[noreturn]] void exitKeepingMemory() {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(0);
}

[[noreturn]] void load(const ReportStore& store) {
    const ReportStore::LoadResult result = timed("load", [&] { return store.load(); });
    QJsonArray ids;
    for (const ScanReport& report : result.reports) {
        ids.append(json::uuidValue(report.id));
    }
    const QJsonObject output{
        {QStringLiteral("count"), qint64(result.reports.size())},
        {QStringLiteral("ids"), ids},
        {QStringLiteral("notice"), result.notice ? QJsonValue(*result.notice) : QJsonValue()},
        {QStringLiteral("canPersist"), result.canPersist}};
    std::fputs((json::write(output, json::Layout::compact) + '\n').constData(), stdout);
    exitKeepingMemory();
}

std::vector<ScanReport> readReports() {
    // The input's bytes go once parsed, as a scan's report comes without them.
    json::Document document = json::parseDocument(fs::readWholeFile(QStringLiteral("/dev/stdin")));
    return json::JsonReader(std::move(document)).array<ScanReport>(decodeScanReport);
}

std::vector<ScanReport> loadReports(const ReportStore& store) {
    ReportStore::LoadResult result = store.load();
    if (result.notice) {
        throw std::runtime_error(result.notice->toStdString());
    }
    return std::move(result.reports);
}

int save(const ReportStore& store, const std::optional<ReportStore>& source) {
    QString failure;
    try {
        const std::vector<ScanReport> reports = source ? loadReports(*source) : readReports();
        timed("save", [&] {
            store.save(reports);
            return 0;
        });
        exitKeepingMemory();
    } catch (const ReportStoreError& error) {
        failure = error.description();
    } catch (const fs::FileIoError& error) {
        failure = error.description();
    } catch (const json::DecodeError& error) {
        failure = error.description();
    } catch (const std::exception& error) {
        failure = QString::fromUtf8(error.what());
    }
    std::fputs((failure.toUtf8() + '\n').constData(), stderr);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const QString command = argc >= 3 ? QString::fromLocal8Bit(argv[1]) : QString();
    const bool fromSource = argc == 5 && command == u"save" && qstrcmp(argv[3], "--from") == 0;
    if (!(argc == 3 && (command == u"load" || command == u"save")) && !fromSource) {
        std::fputs("usage: bw-store load DIR | save DIR [--from SOURCE]\n", stderr);
        return 2;
    }
    const QString folder = QFile::decodeName(argv[2]);
    const ReportStore store(folder);
    if (command == u"load") {
        load(store);
    }
    std::optional<ReportStore> source;
    if (fromSource) {
        const QString sourceFolder = QFile::decodeName(argv[4]);
        source = QFileInfo(sourceFolder) == QFileInfo(folder) ? store : ReportStore(sourceFolder);
    }
    return save(store, source);
}
