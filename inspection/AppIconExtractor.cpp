#include "inspection/AppIconExtractor.h"

#include "inspection/GenericAppIcon.h"
#include "platform/fs/FileStatus.h"
#include "platform/fs/FileWalk.h"
#include "platform/fs/ReadWholeFile.h"
#include "platform/image/ImageDecoding.h"
#include "platform/image/PngEncoding.h"

#include <QColorSpace>
#include <QDir>
#include <cmath>
#include <set>

namespace bw::app_icon_extractor {

namespace {

// Icon files are small; anything larger is not read.
constexpr qint64 maxIconFileBytes = 64 * 1024 * 1024;
constexpr int minimumSide = 40;
constexpr double minimumRatio = 0.82;
constexpr double maximumRatio = 1.22;

void appendNameValues(const plist::PlistValue* value, std::vector<QString>& names) {
    if (value == nullptr) {
        return;
    }
    if (const QString* text = value->string()) {
        if (!text->isEmpty()) {
            names.push_back(*text);
        }
        return;
    }
    // Only a list made entirely of texts counts.
    const plist::PlistArray* list = value->array();
    if (list == nullptr ||
        !std::all_of(list->begin(), list->end(), [](const auto& item) { return item.string(); })) {
        return;
    }
    for (const plist::PlistValue& item : *list) {
        if (!item.string()->isEmpty()) {
            names.push_back(*item.string());
        }
    }
}

std::vector<QString> uniqueByPath(const std::vector<QString>& files) {
    std::set<QString> seen;
    std::vector<QString> unique;
    for (const QString& file : files) {
        if (seen.insert(QDir::cleanPath(file)).second) {
            unique.push_back(file);
        }
    }
    return unique;
}

QString resourcesFolder(const QString& bundle) {
    return bundle + QStringLiteral("/Contents/Resources");
}

std::vector<QString> matchingNames(const std::vector<QString>& variants,
                                   const std::vector<QString>& items) {
    std::set<QString> wanted;
    for (const QString& variant : variants) {
        wanted.insert(variant.toLower());
    }
    std::vector<QString> matches;
    for (const QString& item : items) {
        if (wanted.count(fs::lastPathComponent(item).toLower()) != 0) {
            matches.push_back(item);
        }
    }
    return matches;
}

std::vector<QString> walkForIcons(const QString& folder, std::stop_token stop = {}) {
    return fs::walk(folder,
                    {.skipHidden = true, .descendIntoPackages = true, .stop = std::move(stop)})
        .value_or(std::vector<QString>{});
}

} // namespace

std::vector<QString> iconNames(const plist::PlistDictionary& info) {
    std::vector<QString> names;
    appendNameValues(info.find(u"CFBundleIconFile"), names);
    appendNameValues(info.find(u"CFBundleIconName"), names);
    for (const QStringView key :
         {QStringView(u"CFBundleIcons"), QStringView(u"CFBundleIcons~ipad")}) {
        const plist::PlistValue* icons = info.find(key);
        const plist::PlistDictionary* iconsDictionary = icons ? icons->dictionary() : nullptr;
        if (iconsDictionary == nullptr || iconsDictionary->empty()) {
            continue;
        }
        const plist::PlistValue* primary = iconsDictionary->find(u"CFBundlePrimaryIcon");
        const plist::PlistDictionary* primaryDictionary = primary ? primary->dictionary() : nullptr;
        if (primaryDictionary == nullptr || primaryDictionary->empty()) {
            continue;
        }
        appendNameValues(primaryDictionary->find(u"CFBundleIconName"), names);
        appendNameValues(primaryDictionary->find(u"CFBundleIconFiles"), names);
    }
    return names;
}

std::vector<QString> nameVariants(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot >= 0 ? name.left(dot) : name;
    return {name,
            base,
            base + QStringLiteral(".png"),
            base + QStringLiteral(".icns"),
            base + QStringLiteral("@2x.png"),
            base + QStringLiteral("@3x.png")};
}

std::vector<QString> scanDirectory(const std::vector<QString>& variants, const QString& folder) {
    return matchingNames(variants, walkForIcons(folder));
}

bool isIconCandidate(const QString& file, const QString& bundle) {
    if (!file.startsWith(bundle)) {
        return false;
    }
    // Icons of embedded frameworks, plug-ins, watch apps and extensions are not the app's own.
    for (const QStringView part :
         {QStringView(u".framework/"), QStringView(u"/PlugIns/"), QStringView(u"/Watch/"),
          QStringView(u".appex/"), QStringView(u"/Extensions/")}) {
        if (file.contains(part)) {
            return false;
        }
    }
    const QString name = fs::lastPathComponent(file).toLower();
    const QString extension = fs::pathExtension(file).toLower();
    if (extension == u"icns") {
        return name.contains(u"icon") || name.startsWith(u"app");
    }
    if (extension == u"png" || extension.isEmpty()) {
        return name.contains(u"appicon") || name.startsWith(u"icon");
    }
    return false;
}

std::vector<QString> scanResources(const QString& bundle) {
    std::vector<QString> found;
    for (const QStringView name : {QStringView(u"AppIcon.icns"), QStringView(u"Icon.icns"),
                                   QStringView(u"AppIcon.png"), QStringView(u"icon.icns")}) {
        const QString path = resourcesFolder(bundle) + u'/' + name.toString();
        if (fs::exists(path) && fs::resolvesInside(path, bundle)) {
            found.push_back(path);
        }
    }
    return found;
}

std::vector<QString> candidateFiles(const QString& bundle, const plist::PlistDictionary& info,
                                    const std::vector<QString>& files,
                                    const std::stop_token& stop) {
    std::vector<QString> candidates;
    const std::vector<QString> names = iconNames(info);
    if (!names.empty()) {
        // Each folder is walked once and its items matched against every declared name.
        std::vector<std::vector<QString>> folderItems;
        for (const QString& folder : {bundle, resourcesFolder(bundle)}) {
            folderItems.push_back(fs::exists(folder) ? walkForIcons(folder, stop)
                                                     : std::vector<QString>{});
        }
        for (const QString& name : names) {
            const std::vector<QString> variants = nameVariants(name);
            for (const auto& items : folderItems) {
                const auto matches = matchingNames(variants, items);
                candidates.insert(candidates.end(), matches.begin(), matches.end());
            }
        }
    }
    for (const QString& file : files) {
        if (isIconCandidate(file, bundle)) {
            candidates.push_back(file);
        }
    }
    const auto resources = scanResources(bundle);
    candidates.insert(candidates.end(), resources.begin(), resources.end());
    return uniqueByPath(candidates);
}

std::optional<QImage> loadImage(const QString& file) {
    // A link is never read: its target could be anywhere, or a device that never ends.
    const auto bytes = fs::tryReadRegularFile(file, maxIconFileBytes);
    if (!bytes) {
        return std::nullopt;
    }
    return image::decodeLargestImage(*bytes);
}

std::optional<QImage> largestImage(const std::vector<QString>& candidates) {
    std::optional<QImage> chosen;
    for (const QString& candidate : candidates) {
        auto image = loadImage(candidate);
        if (!image || image->width() < minimumSide || image->height() < minimumSide) {
            continue;
        }
        const double ratio = double(image->width()) / double(image->height());
        if (ratio <= minimumRatio || ratio >= maximumRatio) {
            continue;
        }
        const qint64 area = qint64(image->width()) * image->height();
        if (!chosen || area > qint64(chosen->width()) * chosen->height()) {
            chosen = std::move(image);
        }
    }
    return chosen;
}

std::optional<QByteArray> renderPNG(const QImage& image, int maxSide) {
    if (image.isNull()) {
        return std::nullopt;
    }
    const int longest = std::max(image.width(), image.height());
    const double scale = longest > maxSide ? double(maxSide) / double(longest) : 1.0;
    const int width = std::max(1, int(std::lround(image.width() * scale)));
    const int height = std::max(1, int(std::lround(image.height() * scale)));
    QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Icons drawn for a wide-gamut display are brought into sRGB, the space PNG readers assume.
    if (source.colorSpace().isValid() && source.colorSpace() != QColorSpace::SRgb) {
        source.convertToColorSpace(QColorSpace::SRgb);
    }
    if (source.size() != QSize(width, height)) {
        source = source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QByteArray png = image::encodePng(source);
    if (png.isEmpty()) {
        return std::nullopt;
    }
    return png;
}

std::optional<QByteArray> workspaceIcon() {
    return renderPNG(genericAppIcon(iconSide), iconSide);
}

std::optional<QByteArray> iconPNG(const QString& bundle, const plist::PlistDictionary& info,
                                  const std::vector<QString>& files, std::stop_token stop) {
    if (const auto image = largestImage(candidateFiles(bundle, info, files, stop))) {
        return renderPNG(*image, iconSide);
    }
    if (fs::exists(bundle + QStringLiteral("/Contents/Info.plist"))) {
        return workspaceIcon();
    }
    return std::nullopt;
}

} // namespace bw::app_icon_extractor
