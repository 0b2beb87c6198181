#include "platform/updater/Appcast.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <algorithm>

namespace bw::updater {

namespace {

constexpr auto sparkleNamespace = "http://www.andymatuschak.org/xml-namespaces/sparkle";

struct ItemFields {
    QString version;
    QString shortVersion;
    QString link;
    QString enclosureUrl;
};

QString attribute(const QXmlStreamAttributes& attributes, const char* name) {
    return attributes.value(QLatin1String(sparkleNamespace), QLatin1String(name)).toString();
}

void readEnclosure(const QXmlStreamReader& xml, ItemFields& fields) {
    const auto attributes = xml.attributes();
    fields.enclosureUrl = attributes.value(QLatin1String("url")).toString();
    if (fields.version.isEmpty()) {
        fields.version = attribute(attributes, "version");
    }
    if (fields.shortVersion.isEmpty()) {
        fields.shortVersion = attribute(attributes, "shortVersionString");
    }
}

AppcastItem finishItem(const ItemFields& fields) {
    const QString version = fields.version.trimmed();
    if (version.isEmpty()) {
        throw AppcastError("An appcast item has no version.");
    }
    const QUrl link(fields.link.trimmed().isEmpty() ? fields.enclosureUrl.trimmed()
                                                    : fields.link.trimmed(),
                    QUrl::StrictMode);
    const QString scheme = link.scheme().toLower();
    if (!link.isValid() || link.host().isEmpty() || (scheme != "https" && scheme != "http")) {
        throw AppcastError("An appcast item has no web link.");
    }
    return {version, fields.shortVersion.trimmed(), link};
}

AppcastItem readItem(QXmlStreamReader& xml) {
    ItemFields fields;
    while (xml.readNextStartElement()) {
        const bool sparkle = xml.namespaceUri() == QLatin1String(sparkleNamespace);
        const auto name = xml.name();
        if (sparkle && name == QLatin1String("version")) {
            fields.version = xml.readElementText();
        } else if (sparkle && name == QLatin1String("shortVersionString")) {
            fields.shortVersion = xml.readElementText();
        } else if (xml.namespaceUri().isEmpty() && name == QLatin1String("link")) {
            fields.link = xml.readElementText();
        } else if (xml.namespaceUri().isEmpty() && name == QLatin1String("enclosure")) {
            readEnclosure(xml, fields);
            xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
    return finishItem(fields);
}

std::vector<AppcastItem> readChannel(QXmlStreamReader& xml) {
    std::vector<AppcastItem> items;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("item")) {
            items.push_back(readItem(xml));
        } else {
            xml.skipCurrentElement();
        }
    }
    return items;
}

// Splits "1.10b2" into "1", ".", "10", "b", "2": runs of digits, of letters, and separators.
QStringList versionParts(const QString& version) {
    static const QRegularExpression part(QStringLiteral("\\d+|[^\\d.\\-_ ]+"));
    QStringList parts;
    for (auto it = part.globalMatch(version); it.hasNext();) {
        parts << it.next().captured();
    }
    return parts;
}

bool isNumber(const QString& part) {
    return !part.isEmpty() && part.front().isDigit();
}

int compareNumbers(QString a, QString b) {
    while (a.size() > 1 && a.front() == '0') {
        a.remove(0, 1);
    }
    while (b.size() > 1 && b.front() == '0') {
        b.remove(0, 1);
    }
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}

} // namespace

std::vector<AppcastItem> parseAppcast(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("rss")) {
        throw AppcastError("The update feed is not an RSS feed.");
    }
    std::vector<AppcastItem> items;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("channel")) {
            auto channel = readChannel(xml);
            items.insert(items.end(), channel.begin(), channel.end());
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) {
        throw AppcastError("The update feed is not well-formed XML.");
    }
    return items;
}

int compareVersions(const QString& a, const QString& b) {
    const QStringList left = versionParts(a);
    const QStringList right = versionParts(b);
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        // A missing part counts as zero, so "2" equals "2.0".
        const QString l = i < left.size() ? left[i] : QStringLiteral("0");
        const QString r = i < right.size() ? right[i] : QStringLiteral("0");
        int order = 0;
        if (isNumber(l) && isNumber(r)) {
            order = compareNumbers(l, r);
        } else if (isNumber(l) != isNumber(r)) {
            order = isNumber(l) ? 1 : -1;
        } else {
            order = l.compare(r, Qt::CaseInsensitive);
        }
        if (order != 0) {
            return order < 0 ? -1 : 1;
        }
    }
    return 0;
}

std::optional<AppcastItem> newestItem(const std::vector<AppcastItem>& items) {
    const auto newest =
        std::max_element(items.begin(), items.end(), [](const auto& a, const auto& b) {
            return compareVersions(a.version, b.version) < 0;
        });
    if (newest == items.end()) {
        return std::nullopt;
    }
    return *newest;
}

} // namespace bw::updater
