#pragma once

#include <QString>

namespace bw::window::test {

// Run as a program of its own beside the one under test, as a file manager is: shows a window at
// 1150, 300 (100 × 100), says "ready" on standard output, and a press on it drags `path` out,
// saying "dragging". It stays to hand over the file's address once dropped.
int runDragSource(const QString& path);

} // namespace bw::window::test
