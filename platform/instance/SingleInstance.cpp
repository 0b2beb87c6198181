#include "platform/instance/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace bw {

namespace {

constexpr QByteArrayView activateRequest = "activate\n";
constexpr QByteArrayView activateAnswer = "ok\n";
// How long a later start waits for the running instance: one just starting may not listen yet,
// and one quitting no longer listens but holds its lock a moment longer.
constexpr int patienceMs = 3000;
constexpr unsigned long retryMs = 50;

} // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), folder_(std::move(folder)),
      lock_(QDir(folder_).filePath(QStringLiteral("berthwatch.lock"))) {
    // Staleness is decided by the process named in the lock, never by the lock's age: a
    // long-running instance keeps its lock for days.
    lock_.setStaleLockTime(0);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            answer(socket);
        }
    });
}

QString SingleInstance::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString SingleInstance::socketPath() const {
    return QDir(folder_).filePath(QStringLiteral("berthwatch.socket"));
}

bool SingleInstance::lock() {
    if (lockState_ != LockState::held) {
        QDir().mkpath(folder_);
        if (lock_.tryLock(0)) {
            lockState_ = LockState::held;
        } else {
            lockState_ = lock_.error() == QLockFile::LockFailedError ? LockState::heldByAnother
                                                                     : LockState::unavailable;
        }
    }
    return lockState_ != LockState::heldByAnother;
}

bool SingleInstance::claim() {
    const QDeadlineTimer deadline(patienceMs);
    while (!lock()) {
        if (askRunningInstance(deadline)) {
            return false;
        }
        if (deadline.hasExpired()) {
            qWarning("Berthwatch is already running but did not answer.");
            return false;
        }
        QThread::msleep(retryMs);
    }
    if (lockState_ == LockState::unavailable) {
        qWarning("Berthwatch cannot tell whether it already runs: no lock in %s.",
                 qUtf8Printable(folder_));
        return true;
    }
    return listen();
}

bool SingleInstance::listen() {
    // A socket left by a crashed instance would make listening fail.
    QLocalServer::removeServer(socketPath());
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(socketPath())) {
        qWarning("Berthwatch cannot listen for later starts: %s",
                 qUtf8Printable(server_.errorString()));
    }
    // A quitting instance answers no more: a later start is refused at once and waits for the
    // lock instead of for an answer.
    if (const QCoreApplication* application = QCoreApplication::instance()) {
        connect(application, &QCoreApplication::aboutToQuit, &server_, &QLocalServer::close);
    }
    // The lock alone keeps a second instance away, so a failed listen is not fatal.
    return true;
}

bool SingleInstance::askRunningInstance(const QDeadlineTimer& deadline) const {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        return false;
    }
    socket.write(activateRequest.data(), activateRequest.size());
    socket.waitForBytesWritten(int(deadline.remainingTime()));
    while (socket.bytesAvailable() < activateAnswer.size() &&
           socket.waitForReadyRead(int(deadline.remainingTime()))) {
    }
    return socket.readAll() == activateAnswer;
}

void SingleInstance::answer(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        if (!socket->canReadLine()) {
            return;
        }
        if (socket->readLine() == activateRequest) {
            emit activationRequested();
            socket->write(activateAnswer.data(), activateAnswer.size());
        }
        socket->disconnectFromServer();
    });
}

} // namespace bw
