#include "tests/support/Findings.h"
#include "tests/support/QtPrinters.h"
#include "tests/ui/report/ReportScreen.h"
#include "ui/report/FindingEvidencePresentation.h"
#include "ui/report/ReportTexts.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace bw;
using namespace Qt::Literals::StringLiterals;

namespace {

Finding findingWith(QString evidence,
                    std::optional<std::vector<FindingEvidenceField>> fields = {}) {
    Finding finding = ScanReport::sample().findings.front();
    finding.evidence = std::move(evidence);
    finding.evidenceFields = std::move(fields);
    return finding;
}

QStringList flatten(const FindingEvidencePresentation& presentation) {
    QStringList out;
    for (const auto& field : presentation.fields) {
        out << field.label + u'=' + field.value;
    }
    if (presentation.note) {
        out << u"note:"_s + *presentation.note;
    }
    return out;
}

QString numberedLines(int from, int to) {
    QStringList lines;
    for (int i = from; i < to; ++i) {
        lines << u"file added: Payload/App.app/%1.png"_s.arg(i);
    }
    return lines.join(u'\n');
}

} // namespace

TEST(FindingEvidencePresentation, ReadsFieldsThenTheEvidenceText) {
    const std::vector<FindingEvidenceField> padded{
        {u" Key "_s, u"\tvalue\n"_s}, {u""_s, u"x"_s}, {u"Lone"_s, u"  "_s}};
    struct Case {
        Finding finding;
        QStringList expected;
    };
    const Case cases[] = {
        {findingWith(u"a=b"_s, padded), {u"Key=value"_s}},
        {findingWith(u"a=b"_s, std::vector<FindingEvidenceField>{{u" "_s, u" "_s}}),
         {u"Key=a"_s, u"Detected=b"_s}},
        {findingWith(u"  Build Scan \n"_s), {}},
        {findingWith(u"APS-Environment: Development"_s),
         {u"Entitlement=aps-environment"_s, u"Detected=development"_s, u"Expected=production"_s}},
        {findingWith(u"aps-environment = production"_s),
         {u"Key=aps-environment"_s, u"Detected=production"_s}},
        {findingWith(u"get-task-allow=false"_s), {u"Key=get-task-allow"_s, u"Detected=false"_s}},
        {findingWith(u"a = b = c"_s), {u"Key=a"_s, u"Detected=b = c"_s}},
        {findingWith(u" =value"_s), {u"note:=value"_s}},
        {findingWith(u"a=\u0301b"_s), {u"note:a=\u0301b"_s}},
        // Thousands of lines of tool output would take seconds to lay out at every width.
        {findingWith(numberedLines(0, 20'000)),
         {u"note:"_s + numberedLines(0, 40) + u"…\n"_s + QLocale().toString(19'960) +
          u" more lines"_s}},
        {findingWith(numberedLines(0, 41)),
         {u"note:"_s + numberedLines(0, 40) + u"…\n1 more line"_s}},
        {findingWith(numberedLines(0, 40)), {u"note:"_s + numberedLines(0, 40)}},
        {findingWith(QString(5000, u'x')), {u"note:"_s + QString(4000, u'x') + u'…'}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(flatten(FindingEvidencePresentation(c.finding)), c.expected)
            << c.finding.evidence.toStdString();
    }
}

TEST(ReportTexts, ListsBySeverityKeepingStoredOrderAndOpensTheFirstOfSharedIds) {
    using test::craftedFinding;
    ScanReport report = ScanReport::sample();
    report.findings = {craftedFinding(u"m"_s, FindingSeverity::manual),
                       craftedFinding(u"b1"_s, FindingSeverity::blocker),
                       craftedFinding(u"r"_s, FindingSeverity::risk),
                       craftedFinding(u"b2"_s, FindingSeverity::blocker),
                       craftedFinding(u"r"_s, FindingSeverity::risk)};
    EXPECT_EQ(test::findingIds(report_texts::visibleFindings(report, std::nullopt)),
              (std::vector{u"b1"_s, u"b2"_s, u"r"_s, u"r"_s, u"m"_s}));
    EXPECT_EQ(report_texts::visibleFindings(report, FindingSeverity::risk).size(), 2u);

    const auto visible = report_texts::visibleFindings(report, std::nullopt);
    EXPECT_EQ(report_texts::expandedRow(visible, u"r"_s), 2u);
    EXPECT_EQ(report_texts::expandedRow(visible, u"gone"_s), std::nullopt);
    EXPECT_EQ(report_texts::summaryLabel(report, false), u"5 findings"_s);
    report.findings.resize(1);
    EXPECT_EQ(report_texts::summaryLabel(report, false), u"1 finding"_s);
}
