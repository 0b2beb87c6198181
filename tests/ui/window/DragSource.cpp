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

class DragSourceWindow : public QWidget {
public:
    explicit DragSourceWindow(QString path) : path_(std::move(path)) {}

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(path_)});
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        std::puts("dragging");
        std::fflush(stdout);
        drag->exec(Qt::CopyAction);
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
    std::puts("ready");
    std::fflush(stdout);
    return QApplication::exec();
}

} // namespace bw::window::test
