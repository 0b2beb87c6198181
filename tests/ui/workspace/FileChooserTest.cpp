#include "ui/workspace/FileChooser.h"

#include "tests/support/TestFolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace bw::workspace;

namespace {

// Answers the modal dialog once it is up, as a user would: types `name` and presses Open;
// cancels once Open has not closed it.
void answerDialog(QTimer& timer, const QString& name) {
    // The dialog reads its folder in the background: give it a few turns first.
    QObject::connect(&timer, &QTimer::timeout, &timer, [name, ticks = 0]() mutable {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            return;
        }
        ++ticks;
        if (ticks == 5) {
            dialog->findChild<QLineEdit*>(u"fileNameEdit"_qs)->setText(name);
            QMetaObject::invokeMethod(dialog, "accept");
        } else if (ticks == 15) {
            dialog->reject();
        }
    });
    timer.start(20);
}

} // namespace

TEST(FileChooser, TheDialogTakesBundleFoldersAsOneItemAndEntersOthers) {
    bw::test::TestFolder folder;
    const QString root = QString::fromStdString(folder.fsPath().string());
    for (const char* name : {"Build.app", "Build.XCArchive", "Payload"}) {
        QDir(root).mkpath(QString::fromUtf8(name) + u"/Contents"_qs);
    }
    QFile(root + u"/App.ipa"_qs).open(QIODevice::WriteOnly);
    const FileChoice choice{u"Choose a build"_qs,
                            {u"Builds (*.ipa *.xcarchive *.app)"_qs},
                            {u"xcarchive"_qs, u"app"_qs}};
    const struct {
        const char* name;
        bool chosen;
    } cases[] = {
        {"Build.app", true}, {"Build.XCArchive", true}, {"App.ipa", true}, {"Payload", false}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        QTimer timer;
        answerDialog(timer, root + u'/' + QString::fromUtf8(test.name));
        DialogFileChooser chooser;
        const auto chosen = chooser.chooseFile(nullptr, choice);
        if (test.chosen) {
            EXPECT_EQ(chosen, root + u'/' + QString::fromUtf8(test.name));
        } else {
            EXPECT_FALSE(chosen);
        }
    }
}
