#include "ui/workspace/FileChooser.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>

namespace bw::workspace {

namespace {

// A file dialog that also takes a bundle folder (an .app, an .xcarchive) as one item.
class BundleFileDialog : public QFileDialog {
public:
    BundleFileDialog(QWidget* parent, const FileChoice& choice)
        : QFileDialog(parent, choice.message), bundleExtensions_(choice.bundleExtensions) {
        setOption(QFileDialog::DontUseNativeDialog);
        setFileMode(QFileDialog::ExistingFile);
        setNameFilters(choice.nameFilters);
        connect(this, &QFileDialog::directoryEntered, this, [this](const QString& folder) {
            if (isBundle(folder)) {
                choose(folder);
            }
        });
    }

    std::optional<QString> chosen() const { return chosen_; }

    void accept() override {
        const QStringList selected = selectedFiles();
        if (selected.size() == 1 && isBundle(selected.front())) {
            return choose(selected.front());
        }
        QFileDialog::accept(); // a file is taken, an ordinary folder entered
        if (result() == QDialog::Accepted && !selected.isEmpty()) {
            remember(selected.front());
        }
    }

private:
    bool isBundle(const QString& path) const {
        const QFileInfo info(path);
        return info.isDir() && bundleExtensions_.contains(info.suffix(), Qt::CaseInsensitive);
    }

    void choose(const QString& path) {
        remember(path);
        QDialog::accept();
    }

    // The next dialog opens in the folder that holds the pick: never inside a bundle entered to
    // choose it, nor where the dialog stood when a whole path was typed.
    void remember(const QString& path) {
        const QFileInfo info(QDir::cleanPath(path));
        chosen_ = info.absoluteFilePath();
        setDirectory(info.absolutePath());
    }

    QStringList bundleExtensions_;
    std::optional<QString> chosen_;
};

// Holds `widget` and every widget that holds it while a dialog runs: one of them replaced
// meanwhile (a screen that changes under the dialog) is deleted once the dialog has closed, not
// from the dialog's event loop under the code that opened it.
class DeletionHold : public QObject {
public:
    explicit DeletionHold(QWidget* widget) {
        for (QWidget* held = widget; held; held = held->parentWidget()) {
            held->installEventFilter(this);
            held_.append(held);
        }
    }

    ~DeletionHold() override {
        for (const QPointer<QObject>& held : std::as_const(held_)) {
            if (held) {
                held->removeEventFilter(this);
            }
        }
        for (const QPointer<QObject>& object : std::as_const(deferred_)) {
            if (object) {
                object->deleteLater();
            }
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::DeferredDelete) {
            return false;
        }
        deferred_.append(watched);
        return true;
    }

private:
    QList<QPointer<QObject>> held_;
    QList<QPointer<QObject>> deferred_;
};

} // namespace

std::optional<QString> DialogFileChooser::chooseFile(QWidget* requester, const FileChoice& choice) {
    const DeletionHold hold(requester);
    // The dialog belongs to the window, which outlasts every screen; should the window go all the
    // same, it takes the dialog with it.
    const QPointer<QWidget> window = requester ? requester->window() : nullptr;
    const QPointer<BundleFileDialog> dialog(new BundleFileDialog(window, choice));
    const bool accepted = dialog->exec() == QDialog::Accepted;
    // The window takes the keys back, as the dialog was over it: where nothing else activates it
    // once the dialog has gone (no window manager, or one that has not yet), no window is active
    // and the keys go nowhere.
    if (window && window->isVisible() && !window->isActiveWindow()) {
        window->activateWindow();
    }
    if (!dialog) {
        return std::nullopt;
    }
    const std::optional<QString> chosen = accepted ? dialog->chosen() : std::nullopt;
    delete dialog.data();
    return chosen;
}

} // namespace bw::workspace
