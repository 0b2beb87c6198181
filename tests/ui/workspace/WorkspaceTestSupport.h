#pragma once

#include <QString>
#include <QWidget>
#include <functional>

namespace bw::test {

// Runs the event loop until `done` holds; false when `seconds` of real time pass first.
bool waitFor(const std::function<bool()>& done, double seconds = 30);

// Drags the file over the widget under `point` of `target` and drops it there, as a file manager
// does; true when the drop was accepted.
bool dropFile(QWidget* target, QPoint point, const QString& path);

// A valid one-bit greyscale PNG of `size`, written with zlib so that huge sizes stay small.
QByteArray blankPng(QSize size);

// A named pipe at `path` that nothing writes to: reading it would block for ever.
QString makeFifo(const QString& path);

} // namespace bw::test
