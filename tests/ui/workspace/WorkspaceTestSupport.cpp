#include "tests/ui/workspace/WorkspaceTestSupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QThread>
#include <QUrl>
#include <sys/stat.h>
#include <zlib.h>

namespace bw::test {

namespace {

void appendChunk(QByteArray& png, const char* type, const QByteArray& data) {
    const auto be32 = [&png](quint32 value) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            png.append(char((value >> shift) & 0xff));
        }
    };
    be32(quint32(data.size()));
    const QByteArray body = QByteArray(type, 4) + data;
    png.append(body);
    be32(quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))));
}

} // namespace

bool waitFor(const std::function<bool()>& done, double seconds) {
    QDeadlineTimer deadline(qint64(seconds * 1000));
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

bool dropFile(QWidget* target, QPoint point, const QString& path) {
    QWidget* receiver = target->childAt(point);
    receiver = receiver ? receiver : target;
    while (receiver && !receiver->acceptDrops()) {
        receiver = receiver->parentWidget();
    }
    if (!receiver) {
        return false;
    }
    const QPoint local = receiver->mapFrom(target, point);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(local, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(receiver, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(local), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(receiver, &drop);
    return drop.isAccepted();
}

QByteArray blankPng(QSize size) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    for (const int value : {size.width(), size.height()}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.append(char((value >> shift) & 0xff));
        }
    }
    header.append("\x01\x00\x00\x00\x00", 5); // bit depth 1, greyscale, no interlace
    appendChunk(png, "IHDR", header);

    z_stream stream{};
    deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 9, Z_RLE);
    const QByteArray row(1 + (size.width() + 7) / 8, '\0'); // filter byte, then black pixels
    QByteArray compressed;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (int y = 0; y <= size.height(); ++y) {
        const bool last = y == size.height();
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.constData()));
        stream.avail_in = last ? 0 : uInt(row.size());
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
            stream.avail_out = uInt(buffer.size());
            deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            compressed.append(buffer.constData(), buffer.size() - qsizetype(stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", {});
    return png;
}

QString makeFifo(const QString& path) {
    ::mkfifo(QFile::encodeName(path).constData(), 0644);
    return path;
}

} // namespace bw::test
