#pragma once

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

namespace bw {

// One running instance per user. The first start holds a lock file and a local socket in the
// user's runtime folder; a later start connects to that socket, asks the running instance to
// come forward and is told to exit. An instance stops listening as it starts to quit and lets go
// of the lock as it ends; a later start meanwhile waits and takes the lock over. A crashed
// instance leaves its lock and socket behind: the lock names a process that no longer runs, so
// the next start takes both over.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // `folder` holds the lock and the socket; by default the user's runtime folder.
    explicit SingleInstance(QString folder = defaultFolder(), QObject* parent = nullptr);

    // Takes the lock that decides which start is the one instance, unless this process holds it
    // already. Needs no application object, so the one instance can start its work before
    // building one. False when another instance holds it; true when this process does, or when
    // the folder cannot hold the lock, which says nothing about another instance: better two
    // instances than none at all.
    bool lock();

    // True when this process is now the one instance and listens for later starts. False when
    // another instance runs; it has then been asked to bring its window forward. While another
    // holds the lock, asks it and tries the lock again for a few seconds: an instance that is
    // quitting answers no more and lets go of the lock a moment later.
    bool claim();

    QString socketPath() const;
    static QString defaultFolder();

signals:
    // A later start asked for the running window.
    void activationRequested();

private:
    bool listen();
    bool askRunningInstance(const QDeadlineTimer& deadline) const;
    void answer(QLocalSocket* socket);

    enum class LockState { notTried, held, heldByAnother, unavailable };

    QString folder_;
    QLockFile lock_;
    LockState lockState_ = LockState::notTried;
    QLocalServer server_;
};

} // namespace bw
