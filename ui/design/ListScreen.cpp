#include "ui/design/ListScreen.h"

#include "ui/design/BareScrollArea.h"
#include "ui/design/KeyboardRegion.h"
#include "ui/design/Labels.h"
#include "ui/design/Palette.h"
#include "ui/design/TextStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace bw::design {

QVBoxLayout* placeColumn(QWidget* screen, QScrollArea* scroll, QWidget* column, int maxWidth,
                         const QMargins& margins, int spacing) {
    auto* outer = new QVBoxLayout(screen);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    scrollWithPageKeys(*screen, *scroll);

    auto* content = new QWidget;
    auto* centring = new QHBoxLayout(content);
    centring->setContentsMargins(0, 0, 0, 0);
    centring->addStretch();
    centring->addWidget(column, 1000);
    centring->addStretch();
    column->setMaximumWidth(maxWidth);
    auto* stack = new QVBoxLayout(column);
    stack->setContentsMargins(margins);
    stack->setSpacing(spacing);
    setBareContent(*scroll, content);
    return stack;
}

QWidget* makeScreenHeader(const QString& title, const QString& subtitle, QWidget* parent) {
    auto* header = new QWidget(parent);
    auto* column = new QVBoxLayout(header);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(5);
    column->addWidget(makeLabel(title, TextStyle::screenTitle, palette::textPrimary(), header));
    column->addWidget(makeLabel(subtitle, TextStyle::subtitle, palette::textSecondary(), header));
    return header;
}

QWidget* makeEmptyStateBlock(QWidget* picture, const QString& title, const QString& message,
                             int spacing, QWidget* parent) {
    auto* state = new QWidget(parent);
    auto* column = new QVBoxLayout(state);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    column->addStretch();
    column->addWidget(picture, 0, Qt::AlignHCenter);
    column->addWidget(makeLabel(title, TextStyle::sectionTitle, palette::textPrimary(), state), 0,
                      Qt::AlignHCenter);
    auto* text = makeLabel(message, TextStyle::subtitle, palette::textSecondary(), state);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignHCenter);
    column->addWidget(text);
    column->addStretch();
    return state;
}

} // namespace bw::design
