#pragma once

#include <QString>

namespace bw {

// Shows the file or folder selected in the desktop's file manager through the freedesktop
// FileManager1 interface; when no file manager answers, opens the folder that holds it. Returns
// at once: the answer is awaited by the event loop.
void revealInFileManager(const QString& path);

} // namespace bw
