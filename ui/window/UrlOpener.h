#pragma once

#include <QUrl>
#include <functional>

namespace bw::window {

// Opens a web page, a mail address or a local folder with the desktop's handler; false when no
// handler took it. Tests give the screens their own.
using UrlOpener = std::function<bool(const QUrl& url)>;

UrlOpener desktopUrlOpener();

} // namespace bw::window
