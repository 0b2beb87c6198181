#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace bw::design {
class AnimatedValue;
class SymbolWidget;
} // namespace bw::design

namespace bw::report {

// The capsule search field of the list screens: a magnifying glass, the text field and, while
// there is text, a button that empties it. Focus brightens the fill, the outline and the glass.
class SearchField : public QWidget {
    Q_OBJECT

public:
    SearchField(const QString& placeholder, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* lineEdit() const { return edit_; }

signals:
    void textChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void alignToLeadingEdge();
    QLineEdit* edit_;
    QToolButton* clear_;
    design::SymbolWidget* glass_;
    design::AnimatedValue* focus_;
};

} // namespace bw::report
