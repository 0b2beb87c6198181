#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <map>

namespace bw::test {

// Every entry below a folder, hidden ones included: relative path to content, folders as "/".
inline std::map<QString, QByteArray> snapshotFolder(const QString& root) {
    std::map<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        entries[base.relativeFilePath(path)] =
            it.fileInfo().isDir() ? QByteArray("/")
                                  : (file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
    }
    return entries;
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

} // namespace bw::test
