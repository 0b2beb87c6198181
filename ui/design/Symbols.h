#pragma once

#include "ui/design/TextStyle.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>
#include <optional>

class QPainter;
class QVariantAnimation;

namespace bw::design {

// The Material Icons code point that stands for a symbol name of the screens ("magnifyingglass"),
// or nothing for a name the table does not hold.
std::optional<char32_t> symbolCodePoint(QStringView name);

// The icon font for a symbol set beside text of `pointSize`: the glyph's ink matches the size of
// that text. Weights above regular are emboldened by the font engine.
QFont symbolFont(qreal pointSize, QFont::Weight weight = QFont::Medium);

// Draws the symbol centred in `rect`. An unknown name draws nothing (tests keep the table whole).
void paintSymbol(QPainter& painter, const QRectF& rect, QStringView name, qreal pointSize,
                 QFont::Weight weight, const QColor& color);

// The same at the size and weight of a text role (`medium12` beside captions and chips).
void paintSymbol(QPainter& painter, const QRectF& rect, QStringView name, TextStyle role,
                 const QColor& color);

// The square a symbol of `pointSize` occupies, for layouts.
QSizeF symbolSize(qreal pointSize);
QSizeF symbolSize(TextStyle role);

// One symbol image: name, size, weight, colour and rotation. Hidden from accessibility unless the
// owner names it.
class SymbolWidget : public QWidget {
    Q_OBJECT
public:
    enum class Change { instant, replace }; // replace: a short cross-fade; never delays the state

    explicit SymbolWidget(const QString& name = {}, qreal pointSize = 13,
                          QFont::Weight weight = QFont::Medium, QWidget* parent = nullptr);
    // At the size and weight of a text role.
    SymbolWidget(const QString& name, TextStyle role, QWidget* parent = nullptr);

    QString symbol() const { return name_; }
    void setSymbol(const QString& name, Change change = Change::instant);
    void setPointSize(qreal pointSize);
    void setWeight(QFont::Weight weight);
    QColor color() const { return color_; }
    void setColor(const QColor& color);
    void setRotation(qreal degrees);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString name_;
    QString previousName_;
    qreal pointSize_;
    QFont::Weight weight_;
    QColor color_;
    qreal rotation_ = 0;
    qreal replaceProgress_ = 1;
    QVariantAnimation* replace_ = nullptr;
};

} // namespace bw::design
