#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <map>

namespace bw::test {

// A new temporary folder for one test, removed with everything in it (read-only folders too). A
// scratch area beside it becomes the process's TMPDIR while it lives, so that the folders code
// under test creates there can be counted.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const QString& path() const { return path_; }
    std::filesystem::path fsPath() const { return path_.toStdString(); }
    QString filePath(const QString& relativePath) const { return path_ + u'/' + relativePath; }
    // The scratch area handed to the code under test (TMPDIR).
    QString tempDirectory() const { return root_ + QStringLiteral("/tmp"); }
    // Names in the scratch area that begin with `prefix`.
    QStringList leftovers(const QString& prefix = QStringLiteral("Berthwatch")) const;

    // Writes `bytes` to `relativePath`, creating folders; returns the absolute path.
    QString write(const QString& relativePath, const QByteArray& bytes, int mode = 0644) const;
    QString makeFolder(const QString& relativePath) const;
    // A named pipe that nothing writes to: reading it would block for ever.
    QString makeFifo(const QString& relativePath) const;
    // A folder of shell-script tool doubles, each given as its script body.
    QString tools(const std::map<QString, QByteArray>& scripts) const;

private:
    QString root_; // private to this process's user, but for the two folders inside
    QString path_;
    QByteArray previousTmpdir_;
    bool hadTmpdir_;
};

// Zips `folder`'s content (as `zip -qry` from inside it) into `archive`.
void zipFolder(const QString& folder, const QString& archive);

} // namespace bw::test
