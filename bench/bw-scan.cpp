// Scans one artifact and prints its report as JSON on standard output, and each progress step
// with the milliseconds since the start on standard error, then when the scan's work folder,
// removed in the background, is gone. Exits 1 with the error's text when the scan fails.
//
//   bw-scan [--tools DIR] ARTIFACT
//
// The tools default to libexec/berthwatch beside this driver's folder (build/libexec/berthwatch
// for build/bench/bw-scan).

#include "inspection/BuildScanner.h"
#include "inspection/BuildScannerError.h"
#include "inspection/CommandRunner.h"
#include "model/ReportJson.h"
#include "platform/core/Cancelled.h"
#include "platform/fs/TreeRemoval.h"
#include "platform/json/JsonWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <system_error>

namespace {

QString defaultTools() {
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../libexec/berthwatch"));
}

int fail(const QString& message) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return 1;
}

// Prints the report and the steps; the exit status.
int scan(const bw::BuildScanner& scanner, const QString& artifact, const QElapsedTimer& clock) {
    try {
        const bw::ScanReport report = scanner.scan(artifact, [&clock](const QString& message,
                                                                      double fraction) {
            std::fprintf(stderr, "%7lld ms  %.2f  %s\n", static_cast<long long>(clock.elapsed()),
                         fraction, message.toUtf8().constData());
        });
        const QByteArray json = bw::json::write(bw::toJson(report), bw::json::Layout::pretty);
        std::fwrite(json.constData(), 1, static_cast<size_t>(json.size()), stdout);
        std::fprintf(stderr, "%7lld ms  done\n", static_cast<long long>(clock.elapsed()));
        return 0;
    } catch (const bw::BuildScannerError& error) {
        return fail(error.description());
    } catch (const bw::CommandRunnerError& error) {
        return fail(error.description());
    } catch (const std::exception& error) {
        return fail(QString::fromLocal8Bit(error.what()));
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    QString tools = defaultTools();
    if (arguments.size() == 3 && arguments[0] == u"--tools") {
        tools = arguments[1];
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 1) {
        return fail(QStringLiteral("usage: bw-scan [--tools DIR] ARTIFACT"));
    }

    QElapsedTimer clock;
    clock.start();
    const int status = scan(bw::BuildScanner(QDir::cleanPath(tools)), arguments[0], clock);
    // A driver run again and again must not fill the temporary folder.
    bw::fs::waitForBackgroundRemovals();
    std::fprintf(stderr, "%7lld ms  work folder removed\n",
                 static_cast<long long>(clock.elapsed()));
    return status;
}
