#include "platform/fs/TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QUuid>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace bw::fs {

namespace {

void removeBelow(const QByteArray& path) {
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) {
        return;
    }
    if (!S_ISDIR(info.st_mode)) {
        ::unlink(path.constData());
        return;
    }
    // Extracted archives may carry folders without write or search permission for us.
    if ((info.st_mode & S_IRWXU) != S_IRWXU) {
        ::chmod(path.constData(), info.st_mode | S_IRWXU);
    }
    if (DIR* dir = ::opendir(path.constData())) {
        std::vector<QByteArray> children;
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..") {
                children.push_back(path + '/' + name);
            }
        }
        ::closedir(dir);
        for (const QByteArray& child : children) {
            removeBelow(child);
        }
    }
    ::rmdir(path.constData());
}

} // namespace

TemporaryFolder::TemporaryFolder(const QString& prefix) {
    const QString base = QDir::tempPath();
    if (!QDir().mkpath(base)) {
        throw std::system_error(ENOENT, std::generic_category(),
                                "Could not create the folder " + base.toStdString());
    }
    const QString name = prefix + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    const QString path = QDir(base).filePath(name);
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0) {
        throw std::system_error(errno, std::generic_category(),
                                "Could not create the folder " + path.toStdString());
    }
    path_ = path;
}

TemporaryFolder::~TemporaryFolder() {
    removeTree(path_);
}

void removeTree(const QString& path) {
    if (!path.isEmpty()) {
        removeBelow(QFile::encodeName(path));
    }
}

} // namespace bw::fs
