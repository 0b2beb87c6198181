#include "ui/workspace/BackToScanButton.h"

#include "app/AppModel.h"
#include "ui/design/FocusRing.h"
#include "ui/design/Palette.h"
#include "ui/design/Symbols.h"
#include "ui/design/TextStyle.h"

#include <QPainter>

namespace bw::workspace {

namespace {

QIcon symbolIcon(QStringView name, const QColor& color) {
    QPixmap pixmap(QSize(16, 16) * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    design::paintSymbol(painter, QRectF(0, 0, 16, 16), name, design::TextStyle::medium12, color);
    return QIcon(pixmap);
}

} // namespace

BackToScanButton::BackToScanButton(AppModel& model, QWidget* parent)
    : QToolButton(parent), model_(model) {
    setText(u"Back"_qs);
    // Back points towards the leading edge.
    setIcon(symbolIcon(isRightToLeft() ? u"chevron.right" : u"chevron.left",
                       design::palette::textPrimary()));
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setAutoRaise(true);
    setToolTip(u"Back"_qs);
    setAccessibleName(u"Back to Scan"_qs);
    design::applyTextStyle(this, design::TextStyle::bodyEmphasized);
    connect(this, &QToolButton::clicked, &model, &AppModel::clearStagedBuild);
    for (auto changed : {&AppModel::sectionChanged, &AppModel::reportChanged,
                         &AppModel::stagedChanged, &AppModel::scanPhaseChanged}) {
        connect(&model, changed, this, &BackToScanButton::followModel);
    }
    followModel();
}

void BackToScanButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    // The kit's ring where the keyboard has it, as every toolbar item shows.
    QPainter painter(this);
    design::paintFocusRing(painter, *this, 8);
}

// The staged build screen is the only stage with the button.
void BackToScanButton::followModel() {
    const bool scanActive = model_.scanPhase().isBusy();
    const bool showsHome = model_.section() == AppSection::scan && !model_.report();
    setVisible(showsHome && model_.staged() && !scanActive);
    setEnabled(!scanActive);
}

} // namespace bw::workspace
