#include "tests/support/TestFolder.h"

#include "platform/fs/TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <stdexcept>
#include <sys/stat.h>

namespace bw::test {

TestFolder::TestFolder() {
    char pattern[] = "/tmp/bw-test-XXXXXX";
    const char* created = ::mkdtemp(pattern);
    if (created == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    root_ = QString::fromLocal8Bit(created);
    // Others may pass through to the folders inside, as a tool run as another user must.
    ::chmod(created, 0711);
    path_ = root_ + QStringLiteral("/files");
    QDir().mkpath(path_);
    QDir().mkpath(tempDirectory());
    hadTmpdir_ = qEnvironmentVariableIsSet("TMPDIR");
    previousTmpdir_ = qgetenv("TMPDIR");
    qputenv("TMPDIR", tempDirectory().toLocal8Bit());
}

TestFolder::~TestFolder() {
    hadTmpdir_ ? qputenv("TMPDIR", previousTmpdir_) : qunsetenv("TMPDIR");
    fs::removeTree(root_);
}

QStringList TestFolder::leftovers(const QString& prefix) const {
    return QDir(tempDirectory()).entryList({prefix + u'*'}, QDir::AllEntries | QDir::Hidden);
}

QString TestFolder::write(const QString& relativePath, const QByteArray& bytes, int mode) const {
    const QString path = path_ + u'/' + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        throw std::runtime_error("cannot write " + path.toStdString());
    }
    file.close();
    ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode));
    return path;
}

QString TestFolder::makeFolder(const QString& relativePath) const {
    const QString path = path_ + u'/' + relativePath;
    QDir().mkpath(path);
    return path;
}

QString TestFolder::makeFifo(const QString& relativePath) const {
    const QString path = path_ + u'/' + relativePath;
    if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0) {
        throw std::runtime_error("cannot make " + path.toStdString());
    }
    return path;
}

QString TestFolder::tools(const std::map<QString, QByteArray>& scripts) const {
    for (const auto& [name, body] : scripts) {
        write(QStringLiteral("tools/") + name, "#!/bin/sh\n" + body + '\n', 0755);
    }
    return makeFolder(QStringLiteral("tools"));
}

void zipFolder(const QString& folder, const QString& archive) {
    QProcess zip;
    zip.setWorkingDirectory(folder);
    zip.start(QStringLiteral("zip"), {QStringLiteral("-qry"), archive, QStringLiteral(".")});
    if (!zip.waitForFinished(60000) || zip.exitCode() != 0) {
        throw std::runtime_error("zip failed for " + folder.toStdString());
    }
}

} // namespace bw::test
