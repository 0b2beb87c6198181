#pragma once

#include "ui/design/Motion.h"

#include <QWidget>
#include <functional>
#include <optional>

namespace bw {
class AppModel;
}

namespace bw::workspace {

// The start screen's notice slot: "Unsupported file type" with the refused file's extension while
// the model keeps an import rejection, otherwise the model's import message, otherwise nothing.
// Each new notice rises and fades in; a removed one fades out. A message too long for one line
// (one that names a file, say) wraps, inside the path too, and the notice grows to hold it.
class RejectionNotice : public QWidget {
    Q_OBJECT

public:
    explicit RejectionNotice(AppModel& model, QWidget* parent = nullptr);

    // What the notice says now; empty while it shows nothing.
    QString text() const;
    // Runs `change`, a change of the model's notice, and follows it with `motion` instead of the
    // notice's own: the reaction that clears the notice chooses how it goes.
    void withMotion(const design::Motion& motion, const std::function<void()>& change);
    bool showsRejection() const { return shown_.isRejection; }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Content {
        bool isRejection = false;
        QString extension; // ".zip", or empty
        QString message;
        bool operator==(const Content&) const = default;
    };

    Content modelContent() const;
    void present(Content content);
    void follow();
    void paintRejection(QPainter& painter);
    void paintMessage(QPainter& painter);

    AppModel& model_;
    Content shown_;
    int shownCount_ = 0; // a new refusal replays the entrance, also of the same file
    design::AnimatedValue presence_{0.0};
    std::optional<design::Motion> motion_; // set while a change runs inside withMotion
};

// The extension as the notice shows it: trimmed of dots, lower case, with one leading dot; empty
// when nothing is left.
QString shownExtension(const QString& fileExtension);

} // namespace bw::workspace
