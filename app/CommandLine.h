#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace bw {

// What `berthwatch --help` (or -h) and `berthwatch --version` print before the program ends,
// without a window; nothing for any other command line, which opens the window.
std::optional<QString> commandLineAnswer(const QStringList& arguments, const QString& version);

} // namespace bw
