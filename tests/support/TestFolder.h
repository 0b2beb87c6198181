#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <map>

namespace bw::test {

// A private temporary directory that also becomes the process's TMPDIR while it lives, so that
// the folders code under test creates there can be counted. Removed on destruction.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const QString& path() const { return path_; }
    // The scratch area handed to the code under test (TMPDIR).
    QString tempDirectory() const { return path_ + QStringLiteral("/tmp"); }
    // Names in the scratch area that begin with `prefix`.
    QStringList leftovers(const QString& prefix = QStringLiteral("Berthwatch")) const;

    // Writes `bytes` to `relativePath`, creating folders; returns the absolute path.
    QString write(const QString& relativePath, const QByteArray& bytes, int mode = 0644) const;
    QString makeFolder(const QString& relativePath) const;
    // A folder of shell-script tool doubles, each given as its script body.
    QString tools(const std::map<QString, QByteArray>& scripts) const;

private:
    QString path_;
    QByteArray previousTmpdir_;
    bool hadTmpdir_;
};

// Zips `folder`'s content (as `zip -qry` from inside it) into `archive`.
void zipFolder(const QString& folder, const QString& archive);

} // namespace bw::test
