#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>
#include <stdexcept>
#include <vector>

namespace bw::updater {

// One release offered by an appcast feed.
struct AppcastItem {
    QString version;      // the machine-comparable version (the build number)
    QString shortVersion; // the version shown to people; may be empty
    QUrl downloadLink;    // the page the user is sent to for this release

    bool operator==(const AppcastItem&) const = default;
};

// A feed that is not an appcast: not XML, not RSS, or an item without a version or a link.
class AppcastError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The releases of an RSS appcast, in feed order. The version and link of an item come from its
// own elements or, as older feeds write them, from its enclosure's attributes.
std::vector<AppcastItem> parseAppcast(const QByteArray& xml);

// Orders two versions part by part ("1.10" after "1.9", "2.0" equal to "2"); a numeric part
// orders after a text part at the same place, as "1.0" comes after "1.0b1". Negative, zero or
// positive like strcmp.
int compareVersions(const QString& a, const QString& b);

// The release with the highest version, when there is one.
std::optional<AppcastItem> newestItem(const std::vector<AppcastItem>& items);

} // namespace bw::updater
