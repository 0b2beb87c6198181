#pragma once

#include "model/SidebarApp.h"
#include "ui/window/SidebarRowButton.h"

#include <QImage>
#include <QPointer>
#include <future>
#include <optional>
#include <vector>

namespace bw::window {

class SidebarAppActionMenu;

// The app's icon as stored with its newest report, or a monogram tile when there is none or it
// cannot be decoded.
void paintSidebarAppIcon(QPainter& painter, const QRectF& frame, const QImage& icon,
                         const QString& appName);
// The app's icon, decoded no larger than the largest it is drawn (the action menu's header) at
// `devicePixelRatio`; null when absent or undecodable.
QImage sidebarAppIconImage(const SidebarApp& app, qreal devicePixelRatio);

// One scanned app in the sidebar: icon, name and a dot tinted by the worst kind of finding in its
// newest report. A click runs the row's action (clicked); the ellipsis that replaces the dot on
// hover or while the keyboard is on the row, a right click anywhere on the row and the Menu key
// or Shift+F10 on it open the app's actions menu.
class SidebarAppButton : public SidebarRowButton {
    Q_OBJECT

public:
    static constexpr int rowHeight = 44;

    explicit SidebarAppButton(SidebarApp app, QWidget* parent = nullptr);
    ~SidebarAppButton() override;

    const SidebarApp& app() const { return app_; }
    // The same app after a newer scan or a rename: the row keeps its place, hover and menu.
    void setApp(SidebarApp app);
    bool isActionMenuPresented() const;
    SidebarAppActionMenu* actionMenu() const;
    void toggleActionMenu();
    void showActionMenu();

    // Starts decoding the icons the rows have not decoded yet, several at once on other threads,
    // instead of one by one as each row is first drawn: for the rows of the window's first frame,
    // whose icons decode while the window is shown. A row drawn before its icon is ready waits
    // for it.
    static void decodeIcons(const std::vector<SidebarAppButton*>& rows);

    // The dot's colour and the row's accessibility value, from the newest report.
    static QColor statusTint(const SidebarApp& app);
    static QString statusText(const SidebarApp& app);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void showReportsRequested();
    void revealRequested();
    // The user confirmed deleting every saved report of the app.
    void deleteConfirmed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The row shows a focus ring, or its ellipsis has the focus.
    bool hasKeyboardWithin() const;
    const QImage& icon();
    bool canRevealBuild() const;
    void confirmDelete();
    void updateEllipsis();
    double ellipsisOpacity() const;

    // An icon being decoded with others: all of them, and which is this row's.
    struct PendingIcon {
        std::shared_future<std::vector<QImage>> icons;
        std::size_t index;
    };

    SidebarApp app_;
    std::optional<QImage> icon_;
    std::optional<PendingIcon> pendingIcon_;
    QAbstractButton* ellipsis_;
    QPointer<QWidget> menu_;
};

} // namespace bw::window
