#include "ui/design/AboutDialog.h"

#include "ui/design/BrandShapes.h"
#include "ui/design/DialogButton.h"
#include "ui/design/KeyboardFocus.h"
#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace bw::design {

namespace {

constexpr int textWidth = 252;

// The plane on an icon tile.
class Mark : public QWidget {
public:
    explicit Mark(QWidget* parent) : QWidget(parent) { setFixedSize(64, 64); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(continuousRoundedRect(QRectF(rect()), 64 * 0.2237),
                         palette::tileSurface());
        paintPlane(painter, QRectF(11, 25, 42, 14), palette::accent());
    }
};

} // namespace

AboutDialog::AboutDialog(const QString& name, const QString& versionText, QWidget* parent)
    : QDialog(parent ? parent->window() : nullptr),
      name_(makeLabel(name, TextStyle::sectionTitle, palette::textPrimary(), this)),
      version_(makeLabel(versionText, TextStyle::body, palette::textSecondary(), this)),
      close_(new DialogButton(QStringLiteral("OK"), false, this)) {
    const QString title = QStringLiteral("About ") + name;
    setWindowTitle(title);
    setAccessibleName(title);
    setAttribute(Qt::WA_DeleteOnClose);
    for (QLabel* text : {name_, version_}) {
        text->setFixedWidth(textWidth);
        text->setAlignment(Qt::AlignHCenter);
    }
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 28, 24, 20);
    column->setSpacing(0);
    column->addWidget(new Mark(this), 0, Qt::AlignHCenter);
    column->addSpacing(14);
    column->addWidget(name_);
    column->addSpacing(4);
    column->addWidget(version_);
    column->addSpacing(22);
    column->addWidget(close_, 0, Qt::AlignHCenter);
    column->setSizeConstraint(QLayout::SetFixedSize);
    close_->setFocus();
    connect(close_, &QAbstractButton::clicked, this, &QDialog::accept);
}

void AboutDialog::setVisible(bool visible) {
    QDialog::setVisible(visible);
    // QDialog gives "OK" its first focus as if Tab had brought it; no key was pressed.
    if (visible) {
        forgetKeyboardFocus(*close_);
    }
}

void AboutDialog::keyPressEvent(QKeyEvent* event) {
    // Return closes it wherever the focus is; Escape closes it through the dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AboutDialog::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), palette::menuSurface());
}

} // namespace bw::design
