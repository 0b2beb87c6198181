#include "model/GuidelineReference.h"

#include <QHashFunctions>

namespace bw {

using namespace Qt::Literals::StringLiterals;

const QUrl& GuidelineReference::guidelinesURL() {
    // Strict parsing of a fixed, valid address; the tests hold it to that.
    static const QUrl url(u"https://developer.apple.com/app-store/review/guidelines/"_s,
                          QUrl::StrictMode);
    return url;
}

const std::vector<GuidelineReference>& GuidelineReference::all() {
    static const std::vector<GuidelineReference> table = [] {
        struct Row {
            QString id;
            QString title;
            FindingCategory category;
            QString summary;
        };
        using enum FindingCategory;
        const Row rows[] = {
            {u"1.2"_s, u"User Generated Content"_s, manual,
             u"Provide filtering, reporting, blocking, and reachable contact information wherever "
             u"users create content."_s},
            {u"2.1"_s, u"App Completeness"_s, package,
             u"Final, stable builds; working URLs, backends, purchases, and reviewer access."_s},
            {u"2.3"_s, u"Accurate Metadata"_s, metadata,
             u"Descriptions, screenshots, privacy details, and actual functionality must agree."_s},
            {u"2.3.3"_s, u"Accurate Screenshots"_s, screenshots,
             u"Product page images must show the app in use and accurately represent its current "
             u"experience."_s},
            {u"2.5"_s, u"Software Requirements"_s, binary,
             u"Use public APIs, valid bundles, supported architectures, and platform rules."_s},
            {u"2.5.1"_s, u"Public APIs"_s, binary,
             u"Use only public APIs for their intended purpose and remain compatible with the "
             u"currently shipping OS."_s},
            {u"2.5.4"_s, u"Background Services"_s, binary,
             u"Background modes must support their declared task instead of keeping unrelated work "
             u"alive."_s},
            {u"3.1.1"_s, u"In App Purchase"_s, payments,
             u"Digital goods and feature unlocks generally must use Apple\u2019s in app purchase "
             u"system."_s},
            {u"3.1.2"_s, u"Subscriptions"_s, payments,
             u"Clearly disclose price, duration, renewal terms, ongoing value, and a way to "
             u"restore "
             u"purchases."_s},
            {u"4.2"_s, u"Minimum Functionality"_s, manual,
             u"The app must provide lasting utility beyond a thin or repackaged experience."_s},
            {u"4.3"_s, u"Spam"_s, metadata,
             u"Avoid duplicate bundle IDs, template variants, misleading clones, and already "
             u"saturated concepts."_s},
            {u"4.8"_s, u"Login Services"_s, manual,
             u"External login choices and equivalent login requirements that preserve privacy."_s},
            {u"5.1.1"_s, u"Data Collection and Storage"_s, privacy,
             u"Privacy policy, purpose strings, data minimization, consent, and account "
             u"deletion."_s},
            {u"5.1.1(v)"_s, u"Account Deletion"_s, privacy,
             u"Apps that support account creation must also provide an accessible way to initiate "
             u"deletion."_s},
            {u"5.1.2"_s, u"Data Use and Sharing"_s, privacy,
             u"Disclose where data goes, including external AI services, and obtain required "
             u"permission."_s},
            {u"5.2"_s, u"Intellectual Property"_s, resources,
             u"Use third party content, services, names, and trademarks only when you have the "
             u"necessary rights."_s},
        };
        std::vector<GuidelineReference> references;
        for (const Row& row : rows) {
            references.push_back({row.id, row.title, row.summary, guidelinesURL(), row.category});
        }
        return references;
    }();
    return table;
}

size_t qHash(const GuidelineReference& v, size_t seed) {
    return qHashMulti(seed, v.id, v.title, v.summary, v.url, static_cast<int>(v.category));
}

} // namespace bw
