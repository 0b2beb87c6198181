// Times the local screenshot audit of 50 phone screenshots of 1320 x 2868 (the store listing
// checks: read, probe, SHA-256 for duplicates) against `sha256sum` on the same files, the two
// taking turns, and prints the medians and their ratio.
//
//   bw-audit-screenshots [COUNT]
//   BW_BENCH_SCRATCH  where the screenshots are written (default: /dev/shm when it exists)

#include "bench/Median.h"
#include "bench/screenshots/PhoneScreen.h"
#include "services/screenshots/ScreenshotAuditService.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using bw::bench::median;

namespace {

constexpr int rounds = 5;

// A screen with a gradient and a photo-like band of noise, which PNG cannot shrink much: about
// 6 MB a file, as screenshots with photos are.
QImage phoneScreen(int seed) {
    QImage image = bw::bench::gradientScreen(seed);
    QRandomGenerator random(quint32(seed + 1));
    for (int y = 300; y < 1900; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = random.generate() | 0xFF000000;
        }
    }
    return image;
}

QString scratchBase() {
    const QByteArray chosen = qgetenv("BW_BENCH_SCRATCH");
    if (!chosen.isEmpty()) {
        return QString::fromLocal8Bit(chosen);
    }
    return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                     : QDir::tempPath();
}

} // namespace

int main(int argc, char** argv) {
    // Nothing is shown: no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    const QString sha256sum = QStandardPaths::findExecutable(QStringLiteral("sha256sum"));
    if (sha256sum.isEmpty()) {
        std::fprintf(stderr, "sha256sum not found\n");
        return 1;
    }
    QTemporaryDir folder(QDir(scratchBase()).filePath(QStringLiteral("bw-bench-audit-XXXXXX")));
    std::vector<QString> files;
    QStringList arguments;
    qint64 bytes = 0;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder.filePath(QStringLiteral("Screen%1.png").arg(i)));
        QImageWriter writer(files.back(), "png");
        writer.setQuality(50); // the gradient shrinks, the noise stays
        if (!writer.write(phoneScreen(i))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(files.back()));
            return 1;
        }
        arguments << files.back();
        bytes += QFileInfo(files.back()).size();
    }
    std::printf("%d screenshots of 1320 x 2868, %.0f MB, in %s (%s)\n", count, double(bytes) / 1e6,
                qPrintable(folder.path()),
                QStorageInfo(folder.path()).fileSystemType().constData());

    const bw::ScreenshotAuditService auditor;
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const bw::ScreenshotAuditResult result = auditor.audit(files, true);
        ours.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (result.summary.decodedCount != count) {
            std::fprintf(stderr, "the audit decoded %lld of %d files\n",
                         static_cast<long long>(result.summary.decodedCount.value_or(0)), count);
            return 1;
        }
        timer.restart();
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(sha256sum, arguments);
        if (!process.waitForFinished(120000) || process.exitCode() != 0) {
            std::fprintf(stderr, "sha256sum failed\n");
            return 1;
        }
        theirs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("audit, median of %d rounds: %.1f ms; sha256sum on the same files: %.1f ms; "
                "ratio audit / sha256sum: %.2f\n",
                rounds, median(ours), median(theirs), median(ours) / median(theirs));
    return 0;
}
