#include "platform/fs/FileWalk.h"

#include "platform/core/Cancelled.h"
#include "platform/fs/FileStatus.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <dirent.h>
#include <sys/stat.h>

namespace bw::fs {

namespace {

std::optional<std::vector<QString>> entryNames(const QString& folder, bool skipHidden) {
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::vector<QString> names;
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name == u"." || name == u"..") {
            continue;
        }
        if (skipHidden && name.startsWith(u'.')) {
            continue;
        }
        names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

QString joined(const QString& folder, const QString& name) {
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

void walkInto(const QString& folder, const WalkOptions& options, std::vector<QString>& items) {
    const auto names = entryNames(folder, options.skipHidden);
    if (!names) {
        return;
    }
    for (const QString& name : *names) {
        if (options.stop.stop_requested()) {
            throw Cancelled();
        }
        const QString path = joined(folder, name);
        items.push_back(path);
        if (!isFolder(path)) {
            continue;
        }
        if (!options.descendIntoPackages && isPackage(path)) {
            continue;
        }
        walkInto(path, options, items);
    }
}

} // namespace

bool isPackage(const QString& path) {
    static const std::array<QStringView, 16> extensions{
        u"app",   u"appex",       u"bundle",     u"framework", u"plugin",          u"xpc",
        u"kext",  u"xcarchive",   u"xctest",     u"dext",      u"systemextension", u"prefpane",
        u"saver", u"qlgenerator", u"mdimporter", u"docc"};
    const QString extension = pathExtension(path).toLower();
    if (extension.isEmpty()) {
        return false;
    }
    return std::find(extensions.begin(), extensions.end(), extension) != extensions.end() &&
           isFolder(path);
}

std::optional<std::vector<QString>> walk(const QString& root, WalkOptions options) {
    // The root may be reached through a link the user chose; nothing below it is followed.
    struct stat info {};
    if (::stat(QFile::encodeName(root).constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return std::nullopt;
    }
    if (!entryNames(root, options.skipHidden)) {
        return std::nullopt;
    }
    std::vector<QString> items;
    walkInto(root, options, items);
    return items;
}

std::optional<std::vector<QString>> listFolder(const QString& folder, bool skipHidden) {
    const auto names = entryNames(folder, skipHidden);
    if (!names) {
        return std::nullopt;
    }
    std::vector<QString> items;
    items.reserve(names->size());
    for (const QString& name : *names) {
        items.push_back(joined(folder, name));
    }
    return items;
}

} // namespace bw::fs
