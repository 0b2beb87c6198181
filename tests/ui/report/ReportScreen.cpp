#include "tests/ui/report/ReportScreen.h"

#include "ui/report/LongText.h"
#include "ui/report/ReadingText.h"

#include <QLabel>

namespace bw::test {

ReportScreen::ReportScreen(const ScanReport& report, bool clipboardRefuses)
    : pasteboard_(
          [this, clipboardRefuses](const QString& text) {
              if (!clipboardRefuses) {
                  clipboard_ = text;
              }
          },
          [this] { return clipboard_; }) {
    model().setReport(report);
    view_ = std::make_unique<ReportView>(report::ReportContext{model(), pasteboard_}, report);
    view_->resize(1100, 800);
    view_->show();
    settle();
}

QStringList shownTexts(const QWidget* root) {
    QStringList texts;
    for (const QLabel* label : root->findChildren<QLabel*>()) {
        if (label->isVisibleTo(root) && !label->text().isEmpty()) {
            texts << label->text();
        }
    }
    for (const report::ReadingText* text : root->findChildren<report::ReadingText*>()) {
        if (text->isVisibleTo(root)) {
            texts << text->toPlainText();
        }
    }
    for (const report::LongText* text : root->findChildren<report::LongText*>()) {
        if (text->isVisibleTo(root)) {
            texts << text->text();
        }
    }
    return texts;
}

Finding craftedFinding(const QString& id, FindingSeverity severity, const QString& title) {
    Finding finding = ScanReport::sample().findings.front();
    finding.id = id;
    finding.severity = severity;
    finding.title = title.isEmpty() ? id : title;
    finding.itms.reset();
    return finding;
}

ScanReport reportWith(std::vector<Finding> findings, std::vector<QString> passed) {
    ScanReport report = ScanReport::sample();
    report.findings = std::move(findings);
    report.passedChecks = std::move(passed);
    return report;
}

} // namespace bw::test
