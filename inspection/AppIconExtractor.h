#pragma once

#include "platform/plist/PlistValue.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>
#include <stop_token>
#include <vector>

// Finds an application bundle's own icon and renders it as a PNG of at most 128 pixels a side.
// Icons compiled only into an asset catalog are not read. Nothing here fails: unreadable or
// undecodable files simply drop out.
namespace bw::app_icon_extractor {

inline constexpr int iconSide = 128;

// `files` are items inside the bundle (all of them for a scan, the top level for a preview).
// Throws Cancelled once `stop` is requested.
std::optional<QByteArray> iconPNG(const QString& bundle, const plist::PlistDictionary& info,
                                  const std::vector<QString>& files, std::stop_token stop = {});

// The icon names that the Info.plist declares, in declaration order, duplicates kept.
std::vector<QString> iconNames(const plist::PlistDictionary& info);
// The file names under which an icon named `name` may be stored.
std::vector<QString> nameVariants(const QString& name);
// Items below `folder` whose file name equals a variant, ignoring letter case.
std::vector<QString> scanDirectory(const std::vector<QString>& variants, const QString& folder);
bool isIconCandidate(const QString& file, const QString& bundle);
std::vector<QString> scanResources(const QString& bundle);
std::vector<QString> candidateFiles(const QString& bundle, const plist::PlistDictionary& info,
                                    const std::vector<QString>& files,
                                    const std::stop_token& stop = {});

// The largest image in the file, decoded alone; absent for unreadable files.
std::optional<QImage> loadImage(const QString& file);
// The largest roughly square image of at least 40 pixels a side; the earlier one on a tie.
std::optional<QImage> largestImage(const std::vector<QString>& candidates);
// Scaled down (never up) so that the longer side is at most `maxSide`, as PNG data.
std::optional<QByteArray> renderPNG(const QImage& image, int maxSide);
// The generic application icon shown for a macOS bundle without an icon file of its own.
std::optional<QByteArray> workspaceIcon();

} // namespace bw::app_icon_extractor
