#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

namespace bw {

// One running instance per user. The first start holds a lock file and a local socket in the
// user's runtime folder; a later start connects to that socket, asks the running instance to
// come forward and is told to exit. A crashed instance leaves its lock and socket behind: the
// lock names a process that no longer runs, so the next start takes both over.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // `folder` holds the lock and the socket; by default the user's runtime folder.
    explicit SingleInstance(QString folder = defaultFolder(), QObject* parent = nullptr);

    // True when this process is now the one instance and listens for later starts. False when
    // another instance runs; it has then been asked to bring its window forward.
    bool claim();

    QString socketPath() const;
    static QString defaultFolder();

signals:
    // A later start asked for the running window.
    void activationRequested();

private:
    bool listen();
    bool askRunningInstance() const;
    void answer(QLocalSocket* socket);

    QString folder_;
    QLockFile lock_;
    QLocalServer server_;
};

} // namespace bw
