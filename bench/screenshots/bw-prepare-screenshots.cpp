// Times the preparation of eight phone screenshots for the screenshot review (read, decode,
// scale to 1800 pixels, JPEG at 0.86, Base64) against ImageMagick's convert doing the same
// scaling and encoding on the same files.

#include "bench/Median.h"
#include "bench/screenshots/PhoneScreen.h"
#include "services/screenshots/ScreenshotAIService.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using bw::bench::median;

namespace {

constexpr int fileCount = 8;
constexpr int rounds = 5;

// Something like an app screen: a gradient, cards, and lines of text.
QImage phoneScreen(int seed) {
    QImage image = bw::bench::gradientScreen(seed);
    QPainter painter(&image);
    QRandomGenerator random(quint32(seed + 1));
    QFont font = painter.font();
    font.setPixelSize(44);
    painter.setFont(font);
    for (int card = 0; card < 14; ++card) {
        const QRect rect(60, 180 + card * 190, 1200, 160);
        painter.setBrush(QColor::fromHsv(random.bounded(360), 40, 255));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(rect, 32, 32);
        painter.setPen(Qt::black);
        painter.drawText(rect.adjusted(40, 20, -40, -20), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Item %1 · %2 € per month, renews monthly")
                             .arg(card + 1)
                             .arg(random.bounded(100)));
    }
    painter.end();
    return image;
}

} // namespace

int main(int argc, char** argv) {
    // Nothing is shown: no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTemporaryDir folder;
    std::vector<QString> files;
    for (int i = 0; i < fileCount; ++i) {
        files.push_back(folder.filePath(QStringLiteral("Screen%1.png").arg(i)));
        QImageWriter writer(files.back(), "png");
        if (!writer.write(phoneScreen(i))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(files.back()));
            return 1;
        }
    }

    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"));
    std::printf("screenshots in %s; convert writes its JPEG files beside them\n",
                qPrintable(folder.path()));
    // The two take turns, so that a change in the machine's load touches both alike.
    std::vector<double> ours;
    std::vector<double> theirs;
    qint64 uploadBytes = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        uploadBytes = 0;
        for (const QString& file : files) {
            uploadBytes += bw::ScreenshotAIService::prepare(file, bw::ScreenshotPrompt::paywall)
                               .upload.base64.size();
        }
        ours.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (convert.isEmpty()) {
            continue;
        }
        timer.restart();
        for (const QString& file : files) {
            QProcess process;
            process.start(convert, {file, QStringLiteral("-auto-orient"), QStringLiteral("-resize"),
                                    QStringLiteral("1800x1800>"), QStringLiteral("-quality"),
                                    QStringLiteral("86"), file + QStringLiteral(".jpg")});
            if (!process.waitForFinished(60000) || process.exitCode() != 0) {
                std::fprintf(stderr, "convert failed\n");
                return 1;
            }
        }
        theirs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("prepare: %d screenshots of 1320 x 2868, median of %d rounds: %.1f ms "
                "(%.1f ms each), %lld Base64 bytes\n",
                fileCount, rounds, median(ours), median(ours) / fileCount,
                static_cast<long long>(uploadBytes));
    if (convert.isEmpty()) {
        std::printf("convert not found: no comparison\n");
        return 0;
    }
    std::printf("convert -auto-orient -resize 1800x1800> -quality 86, median: %.1f ms\n",
                median(theirs));
    std::printf("ratio convert / prepare: %.2f\n", median(theirs) / median(ours));
    return 0;
}
