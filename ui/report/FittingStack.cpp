#include "ui/report/FittingStack.h"

#include <QLayout>

namespace bw::report {

FittingStack::FittingStack(QWidget* wide, QWidget* narrow, QWidget* parent)
    : QWidget(parent), wide_(wide), narrow_(narrow) {
    wide_->setParent(this);
    narrow_->setParent(this);
    narrow_->hide();
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QWidget* FittingStack::chosen(int width) const {
    return wide_->sizeHint().width() <= width ? wide_ : narrow_;
}

QSize FittingStack::minimumSizeHint() const {
    return {narrow_->minimumSizeHint().width(), 0};
}

int FittingStack::heightForWidth(int width) const {
    const QWidget* widget = chosen(width);
    return widget->hasHeightForWidth() ? widget->heightForWidth(width)
                                       : widget->sizeHint().height();
}

void FittingStack::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    QWidget* shown = chosen(width());
    QWidget* hidden = shown == wide_ ? narrow_ : wide_;
    const bool switched = shown->isHidden();
    hidden->hide();
    shown->setGeometry(rect());
    shown->show();
    // The other arrangement has another height: the enclosing layout must ask again.
    if (switched) {
        updateGeometry();
    }
}

} // namespace bw::report
