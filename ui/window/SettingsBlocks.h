#pragma once

#include "ui/design/HoverButton.h"
#include "ui/window/UrlOpener.h"

#include <QAbstractButton>
#include <QWidget>
#include <optional>

class QLabel;
class QVBoxLayout;

namespace bw::design {
class AnimatedValue;
class SymbolWidget;
} // namespace bw::design

namespace bw::window {

// The building blocks of the settings screen: titled sections of rows, each row an icon, a title, a
// detail and a value or control at its trailing side.

// A heading in capitals over a column of rows and dividers.
class SettingsSection : public QWidget {
    Q_OBJECT
public:
    SettingsSection(const QString& title, QWidget* parent = nullptr);
    void addRow(QWidget* row);
    void addDivider();
    // A line under the rows, in line with their texts: what went wrong with one of them shows
    // by the control the user just used, and nothing above it moves.
    void addMessage(QWidget* message);

private:
    QVBoxLayout* rows_;
};

// One setting. The trailing control sits beside the texts while they have room (260 points at
// least), else on the title's line with the detail below, no longer cut after two lines.
class SettingsRow : public QWidget {
    Q_OBJECT
public:
    SettingsRow(const QString& systemImage, const QString& title, const QString& detail,
                QWidget* trailing = nullptr, QWidget* parent = nullptr);

    void setDetail(const QString& detail);
    QString detail() const;
    bool isWide() const { return isWide(width()); }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    bool isWide(int width) const;
    QSize trailingSize() const;
    // The text column's width in the wide arrangement.
    int wideTextWidth(int width) const;
    int detailHeight(int width, bool limited) const;

    design::SymbolWidget* icon_;
    QLabel* title_;
    QLabel* detail_;
    QWidget* trailing_;
};

// A quiet value at a row's end.
QLabel* makeSettingsValue(const QString& title, QWidget* parent = nullptr);

// A capsule button; destructive wins over prominent. Disabled, it is drawn faint and does nothing.
class SettingsPillButton : public design::HoverButton {
    Q_OBJECT
public:
    struct Style {
        std::optional<int> fixedWidth;
        bool isProminent = false;
        bool isDestructive = false;
    };

    SettingsPillButton(const QString& title, Style style, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Style style_;
};

// A capsule link to a web page or a mail address, with an arrow the pointer nudges.
class SettingsExternalLink : public design::HoverButton {
    Q_OBJECT
public:
    SettingsExternalLink(const QString& title, const QUrl& url, UrlOpener open,
                         QWidget* parent = nullptr);

    const QUrl& url() const { return url_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QUrl url_;
};

} // namespace bw::window
