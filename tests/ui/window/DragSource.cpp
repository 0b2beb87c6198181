#include "tests/ui/window/DragSource.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace bw::window::test {

namespace {

void say(const char* line) {
    std::puts(line);
    std::fflush(stdout);
}

const char* nameOf(Qt::DropAction action) {
    switch (action) {
    case Qt::CopyAction:
        return "copy";
    case Qt::MoveAction:
        return "move";
    case Qt::LinkAction:
        return "link";
    default:
        return "ignore";
    }
}

class DragSourceWindow : public QWidget {
public:
    explicit DragSourceWindow(QString path) : path_(std::move(path)) {}

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(path_)});
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        QObject::connect(drag, &QDrag::actionChanged, this, [](Qt::DropAction action) {
            say(QByteArray("answer ").append(nameOf(action)).constData());
        });
        say("dragging");
        const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
        say(QByteArray("result ").append(nameOf(result)).constData());
    }

private:
    QString path_;
};

} // namespace

int runDragSource(const QString& path) {
    DragSourceWindow window(path);
    window.setGeometry(1150, 300, 100, 100);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    say("ready");
    return QApplication::exec();
}

DragSourceProcess::DragSourceProcess(const QString& path) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("BW_TEST_DRAG_SOURCE"), path);
    process_.setProcessEnvironment(environment);
    process_.start(QCoreApplication::applicationFilePath(), {});
}

DragSourceProcess::~DragSourceProcess() {
    process_.kill();
    process_.waitForFinished();
}

const QList<QByteArray>& DragSourceProcess::lines() {
    unread_ += process_.readAllStandardOutput();
    for (qsizetype end = unread_.indexOf('\n'); end >= 0; end = unread_.indexOf('\n')) {
        lines_.append(unread_.left(end));
        unread_.remove(0, end + 1);
    }
    return lines_;
}

bool DragSourceProcess::hasSaid(const QByteArray& line, qsizetype from) {
    const QList<QByteArray>& said = lines();
    return said.indexOf(line, from) >= 0;
}

} // namespace bw::window::test
