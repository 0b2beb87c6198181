#include "inspection/checks/ArchiveDistribution.h"

#include "platform/fs/FileStatus.h"
#include "platform/fs/ReadWholeFile.h"
#include "platform/plist/PlistValue.h"

namespace bw::checks {

namespace {

using plist::PlistDictionary;
using plist::PlistValue;

// Property lists this large are no archive description.
constexpr qint64 maxArchiveInfoBytes = 64 * 1024 * 1024;

const PlistDictionary* dictionaryEntry(const PlistDictionary& dictionary, QStringView key) {
    const PlistValue* value = dictionary.find(key);
    return value ? value->dictionary() : nullptr;
}

bool succeeded(const PlistDictionary& distribution, QStringView event) {
    const PlistDictionary* details = dictionaryEntry(distribution, event);
    const QString* state = details ? plist::stringEntry(*details, u"state") : nullptr;
    return state != nullptr && *state == u"success";
}

// The distributions, when they are a list of dictionaries; otherwise none.
std::vector<const PlistDictionary*> distributions(const PlistDictionary& top) {
    const PlistValue* value = top.find(u"Distributions");
    const plist::PlistArray* items = value ? value->array() : nullptr;
    std::vector<const PlistDictionary*> result;
    if (items == nullptr) {
        return result;
    }
    for (const PlistValue& item : *items) {
        if (item.dictionary() == nullptr) {
            return {};
        }
        result.push_back(item.dictionary());
    }
    return result;
}

} // namespace

ArchiveDistributionInfo archiveDistributionInfo(const QString& artifact) {
    if (fs::pathExtension(artifact).toLower() != u"xcarchive") {
        return {};
    }
    ArchiveDistributionInfo info;
    info.isArchive = true;
    const auto bytes =
        fs::tryReadRegularFile(artifact + QStringLiteral("/Info.plist"), maxArchiveInfoBytes);
    const auto root = bytes ? PlistValue::parse(*bytes) : std::nullopt;
    const PlistDictionary* top = root ? root->dictionary() : nullptr;
    if (top == nullptr) {
        return info;
    }
    if (const PlistDictionary* properties = dictionaryEntry(*top, u"ApplicationProperties")) {
        if (const QString* identity = plist::stringEntry(*properties, u"SigningIdentity")) {
            info.signingIdentity = *identity;
        }
    }
    for (const PlistDictionary* distribution : distributions(*top)) {
        const QString* destination = plist::stringEntry(*distribution, u"uploadDestination");
        if (destination == nullptr || *destination != u"App Store") {
            continue;
        }
        if (succeeded(*distribution, u"uploadEvent")) {
            info.successfulCheck = QStringLiteral("App Store upload");
            break;
        }
        if (succeeded(*distribution, u"validationEvent")) {
            info.successfulCheck = QStringLiteral("App Store validation");
            break;
        }
    }
    return info;
}

} // namespace bw::checks
