#pragma once

#include <QString>
#include <functional>

namespace bw::report {

// The system clipboard as the report screen uses it. Some desktops have no clipboard owner and
// drop what is written, so a copy only counts when reading the clipboard back gives the text.
class Pasteboard {
public:
    using Writer = std::function<void(const QString&)>;
    using Reader = std::function<QString()>;

    // The application's clipboard.
    Pasteboard();
    Pasteboard(Writer writer, Reader reader);

    // Replaces the clipboard's content with `text` as plain text; true when it holds it now.
    bool copy(const QString& text) const;

private:
    Writer writer_;
    Reader reader_;
};

} // namespace bw::report
