#include "ui/report/PassedCheckPresentation.h"

#include <QStringList>

namespace bw::report {
namespace {

bool containsAny(const QString& text, std::initializer_list<const char16_t*> keywords) {
    for (const char16_t* keyword : keywords) {
        if (text.contains(QStringView(keyword))) {
            return true;
        }
    }
    return false;
}

const auto privacyGuideline = QStringLiteral("5.1.1");

} // namespace

PassedCheckPresentation::PassedCheckPresentation(const QString& check) : title(check) {
    const QString lower = check.toLower();
    const auto classify = [this](const char* category, std::optional<QString> guideline,
                                 QString source) {
        this->category = QString::fromLatin1(category);
        this->guideline = std::move(guideline);
        this->source = std::move(source);
    };
    const auto build = QStringLiteral("Build");
    const auto connect = QStringLiteral("App Store Connect");
    if (containsAny(lower, {u"screenshot", u".png", u".jpg"})) {
        classify("Screenshots", QStringLiteral("2.3.3"),
                 lower.contains(u"app store") ? connect : QStringLiteral("Screenshot"));
    } else if (containsAny(lower,
                           {u"app metadata", u"app review detail", u"app store connect version"})) {
        classify("Metadata", QStringLiteral("2.3"), connect);
    } else if (containsAny(lower, {u"product is rejected", u"product metadata"})) {
        classify("Payments", QStringLiteral("3.1"), connect);
    } else if (containsAny(lower, {u"purpose string", u"protected resource"})) {
        classify("Permissions", privacyGuideline, build);
    } else if (containsAny(lower,
                           {u"privacy manifest", u"required reason", u"transport security"})) {
        classify("Privacy", privacyGuideline, build);
    } else if (containsAny(lower, {u"signature", u"signing", u"entitlement", u"provisioning",
                                   u"sandbox"})) {
        const bool debug = lower.contains(u"debug") || lower.contains(u"sandbox");
        classify("Signing", debug ? QStringLiteral("2.5.1") : QStringLiteral("2.1"), build);
    } else if (containsAny(lower, {u"architecture", u"mach o", u"executable", u"dylib"})) {
        classify("Binary", QStringLiteral("2.5.1"), build);
    } else if (containsAny(lower, {u"icon", u"extension", u"bundle", u"info.plist"})) {
        classify("Package", QStringLiteral("2.1"), build);
    } else {
        classify("Review", std::nullopt, QStringLiteral("Berthwatch"));
    }
}

} // namespace bw::report
