#include "ui/design/Design.h"

#include "ui/design/BundledFonts.h"
#include "ui/design/GlassBackdrop.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/TextStyle.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QStyleFactory>
#include <QtDebug>

// Resource initialisers of a static library must be called by name, outside any namespace.
static void initBundledFontResources() {
    Q_INIT_RESOURCE(bundled_fonts);
}

namespace bw::design {

QString textFamily() {
    return QStringLiteral("Inter");
}

QString monospacedFamily() {
    return QStringLiteral("JetBrains Mono");
}

QString symbolFamily() {
    return QStringLiteral("Material Icons");
}

bool registerBundledFonts() {
    initBundledFontResources();
    const QStringList files = QDir(QStringLiteral(":/fonts")).entryList(QDir::Files);
    bool allRegistered = !files.isEmpty();
    for (const QString& file : files) {
        if (QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/") + file) < 0) {
            qWarning() << "Could not register the bundled font" << file;
            allRegistered = false;
        }
    }
    return allRegistered;
}

void installDesign(QApplication& application) {
    registerBundledFonts();
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    application.setPalette(darkPalette());
    application.setFont(textStyleFont(TextStyle::body));
    trackKeyboardFocus(application);
}

} // namespace bw::design
