#pragma once

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QProcess>
#include <QString>

namespace bw::window::test {

// Run as a program of its own beside the one under test, as a file manager is: shows a window at
// 1150, 300 (100 × 100), says "ready" on standard output, and a press on it drags `path` out as a
// copy or a move, a move by default, saying "dragging", then each answer of the window under the
// drag ("answer copy") and how the drag ended ("result ignore"). It stays to hand over the file's
// address once dropped.
int runDragSource(const QString& path);

// The test's side: this test program started again as the drag source of `path`, and what it says.
class DragSourceProcess {
public:
    // Where a press starts the drag: the middle of the source's window.
    static constexpr QPoint grip{1200, 350};

    explicit DragSourceProcess(const QString& path);
    ~DragSourceProcess();

    // Each line said so far, in turn.
    const QList<QByteArray>& lines();
    // Whether `line` was said as line `from` or later.
    bool hasSaid(const QByteArray& line, qsizetype from = 0);

private:
    QProcess process_;
    QByteArray unread_;
    QList<QByteArray> lines_;
};

} // namespace bw::window::test
