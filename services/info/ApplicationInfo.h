#pragma once

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>

namespace bw {

// The application's own information property list: name, version, build number and the web
// service's address. It is compiled in as a resource so that a build can set its values.
class ApplicationInfo {
public:
    // The compiled-in list, read once.
    static const ApplicationInfo& main();

    // A property list in XML or binary form; a text that is not a dictionary gives an empty one.
    static ApplicationInfo fromPropertyList(const QByteArray& bytes);

    // The value under `key` when it is a string; nothing when it is missing or of another type.
    std::optional<QString> string(const QString& key) const;

private:
    std::map<QString, QString> strings_;
};

} // namespace bw
