#include "inspection/checks/PropertyListOutput.h"

namespace bw::checks {

std::optional<plist::PlistDictionary> propertyList(const QString& commandOutput) {
    qsizetype start = commandOutput.indexOf(QStringLiteral("<?xml"));
    if (start < 0) {
        start = commandOutput.indexOf(QStringLiteral("<!DOCTYPE"));
    }
    if (start < 0) {
        return std::nullopt;
    }
    // Tools print diagnostics after the property list; the reader takes no trailing text, so the
    // list ends at its closing tag.
    static const QString closingTag = QStringLiteral("</plist>");
    const qsizetype end = commandOutput.indexOf(closingTag, start);
    const qsizetype length = end < 0 ? -1 : end + closingTag.size() - start;
    const auto root = plist::PlistValue::parse(commandOutput.mid(start, length).toUtf8());
    if (!root || root->dictionary() == nullptr) {
        return std::nullopt;
    }
    return *root->dictionary();
}

} // namespace bw::checks
