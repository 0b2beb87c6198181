// The berthwatch program: one window per user session, over the one application model.

#include "app/Program.h"
#include "platform/instance/SingleInstance.h"
#include "ui/design/Design.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Berthwatch"));
    QCoreApplication::setApplicationName(QStringLiteral("Berthwatch"));

    // Before the history is read: a second instance would save its own idea of it over ours.
    bw::SingleInstance instance;
    if (!instance.claim()) {
        return 0;
    }

    bw::design::installDesign(application);
    bw::Program program(instance);
    program.window().show();
    return application.exec();
}
