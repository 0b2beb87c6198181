// bw-store load DIR: prints {"canPersist", "count", "ids", "notice"} of the history in DIR.
// bw-store save DIR: saves the JSON array of reports on standard input as the history in DIR.
// Exits 1 with the error's description when the save or the input fails, 2 on bad usage.

#include "model/ReportJson.h"
#include "model/ReportStore.h"
#include "model/ReportStoreError.h"
#include "platform/fs/FileIoError.h"
#include "platform/json/JsonValues.h"
#include "platform/json/JsonWriter.h"

#include <QFile>
#include <QJsonArray>
#include <cstdio>

using namespace bw;

namespace {

int load(const ReportStore& store) {
    const ReportStore::LoadResult result = store.load();
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
    return 0;
}

std::vector<ScanReport> readReports() {
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        throw std::runtime_error("Standard input could not be read.");
    }
    return json::JsonReader(json::parseDocument(input.readAll()))
        .array<ScanReport>(decodeScanReport);
}

int save(const ReportStore& store) {
    QString failure;
    try {
        store.save(readReports());
        return 0;
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
    const QString command = argc == 3 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command != u"load" && command != u"save") {
        std::fputs("usage: bw-store load|save DIR\n", stderr);
        return 2;
    }
    const ReportStore store(QFile::decodeName(argv[2]));
    return command == u"load" ? load(store) : save(store);
}
