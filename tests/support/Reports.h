#pragma once

#include "model/ScanReport.h"

#include <QUuid>

// Reports and findings that hold only what a test sets.
namespace bw::test {

// A finding of the build, fully confident, under a guideline the table holds; its title is its
// id unless given.
inline Finding finding(const QString& id, FindingSeverity severity = FindingSeverity::risk,
                       FindingCategory category = FindingCategory::privacy,
                       const QString& title = {}) {
    Finding result{};
    result.id = id;
    result.severity = severity;
    result.category = category;
    result.guideline = QStringLiteral("5.1");
    result.title = title.isEmpty() ? id : title;
    result.confidence = 1.0;
    result.source = EvidenceSource::build;
    return result;
}

// A report made at `createdAt` whose name, bundle identifier (by default made from the name) and
// verdict tell it apart.
inline ScanReport historyReport(const QString& name, const QDateTime& createdAt,
                                Verdict verdict = Verdict::needsAttention,
                                const QString& bundleIdentifier = {}) {
    ScanReport report{};
    report.id = QUuid::createUuid();
    report.createdAt = createdAt;
    report.fileName = name + QStringLiteral(".ipa");
    report.verdict = verdict;
    report.metadata.appName = name;
    report.metadata.bundleIdentifier = bundleIdentifier.isEmpty()
                                           ? QStringLiteral("com.example.") + name.toLower()
                                           : bundleIdentifier;
    report.metadata.version = QStringLiteral("1.0");
    report.metadata.buildNumber = QStringLiteral("7");
    report.metadata.platform = QStringLiteral("iphoneos");
    report.rulesVersion = QStringLiteral("1");
    return report;
}

} // namespace bw::test
