#include "services/info/ApplicationInfo.h"

#include <QFile>
#include <cstdlib>
#include <limits>
#include <memory>
#include <plist/plist.h>

namespace bw {

namespace {

using PlistPtr = std::unique_ptr<void, decltype(&plist_free)>;

// Only the string values are kept: nothing else of this list is read.
std::map<QString, QString> stringEntries(const QByteArray& bytes) {
    std::map<QString, QString> entries;
    if (bytes.isEmpty() || bytes.size() > std::numeric_limits<uint32_t>::max()) {
        return entries;
    }
    plist_t parsed = nullptr;
    plist_from_memory(bytes.constData(), static_cast<uint32_t>(bytes.size()), &parsed);
    const PlistPtr root(parsed, plist_free);
    if (root == nullptr || plist_get_node_type(root.get()) != PLIST_DICT) {
        return entries;
    }
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(root.get(), &iterator);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(root.get(), iterator, &key, &value);
        if (key == nullptr) {
            break;
        }
        if (plist_get_node_type(value) == PLIST_STRING) {
            uint64_t length = 0;
            const char* text = plist_get_string_ptr(value, &length);
            entries[QString::fromUtf8(key)] =
                QString::fromUtf8(text, static_cast<qsizetype>(length));
        }
        free(key);
    }
    free(iterator);
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
