#include "ui/window/UrlOpener.h"

#include <QDesktopServices>

namespace bw::window {

UrlOpener desktopUrlOpener() {
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

} // namespace bw::window
