#include "services/info/ApplicationInfo.h"

#include "platform/plist/PlistValue.h"

#include <QFile>

namespace bw {

namespace {

// Only the string values are kept: nothing else of this list is read.
std::map<QString, QString> stringEntries(const QByteArray& bytes) {
    std::map<QString, QString> entries;
    const auto root = plist::PlistValue::parse(bytes);
    const plist::PlistDictionary* dictionary = root ? root->dictionary() : nullptr;
    if (dictionary == nullptr) {
        return entries;
    }
    for (const auto& [key, value] : *dictionary) {
        if (const QString* text = value.string()) {
            entries[key] = *text;
        }
    }
    return entries;
}

QByteArray compiledInList() {
    QFile file(QStringLiteral(":/berthwatch/Info.plist"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

const ApplicationInfo& ApplicationInfo::main() {
    static const ApplicationInfo info = fromPropertyList(compiledInList());
    return info;
}

ApplicationInfo ApplicationInfo::fromPropertyList(const QByteArray& bytes) {
    ApplicationInfo info;
    info.strings_ = stringEntries(bytes);
    return info;
}

std::optional<QString> ApplicationInfo::string(const QString& key) const {
    if (auto found = strings_.find(key); found != strings_.end()) {
        return found->second;
    }
    return std::nullopt;
}

} // namespace bw
