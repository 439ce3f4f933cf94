#include "SingleApplication.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <memory>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// A message is a 4-byte big-endian length and that many bytes of UTF-8; the running copy answers
// with one acknowledgement byte once it has handed the text on.
const char kAck = 'A';
const quint32 kMaxMessageBytes = 64 * 1024;
// A peer that connects and then says nothing must not hold a socket open for ever.
const int kPeerIdleMs = 10000;
const int kRetryPauseMs = 20;

QString userTag()
{
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

#ifdef Q_OS_UNIX
// A folder only this user can reach: a real folder (not a link), owned by the user, closed to
// group and others. Anything else could hold a lock or socket that another user planted.
bool isPrivateFolder(const QString& path)
{
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

// Creates the folder closed to others, or closes one of the user's own that was left open.
bool makePrivateFolder(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info
    {
    };
    if (::lstat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
        (info.st_mode & 077) != 0) {
        ::chmod(native.constData(), 0700);
    }
    return isPrivateFolder(path);
}
#endif

// The user's runtime folder when it is private; else a private folder of the user's own in
// the temporary folder; and if someone else holds that name, one in the user's cache folder.
// Empty when none can be had.
QString privateFolder(const QString& base)
{
#ifdef Q_OS_UNIX
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && isPrivateFolder(xdg)) {
        return xdg;
    }
    const QString temporary = QDir(QDir::tempPath()).filePath(base);
    if (makePrivateFolder(temporary)) {
        return temporary;
    }
    const QString cacheRoot = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cacheRoot.isEmpty() && QDir().mkpath(cacheRoot)) {
        const QString cache = QDir(cacheRoot).filePath(base);
        if (makePrivateFolder(cache)) {
            return cache;
        }
    }
    return QString();
#else
    Q_UNUSED(base);
    return QDir::tempPath();
#endif
}

QString baseName(const QString& id)
{
    QString safeId = id;
    safeId.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    return QStringLiteral("%1-%2").arg(safeId, userTag());
}

int remainingMs(const QDeadlineTimer& deadline)
{
    return static_cast<int>(qMax<qint64>(0, deadline.remainingTime()));
}

} // namespace

SingleApplication::SingleApplication(const QString& id, int& argc, char** argv)
    : QApplication(argc, argv)
    , m_id(id)
{
    const QString base = baseName(id);
    const QString folder = privateFolder(base);
    if (folder.isEmpty()) {
        // Running unguarded beats refusing to start, or trusting a folder others can write.
        qWarning("SingleApplication: no private folder for the single-instance lock");
        return;
    }
    m_lockFilePath = QDir(folder).filePath(base + QStringLiteral(".lock"));
#ifdef Q_OS_WIN
    m_serverName = base;
#else
    m_serverName = QDir(folder).filePath(base + QStringLiteral(".socket"));
#endif

    m_lockFile = std::make_unique<QLockFile>(m_lockFilePath);
    // The lock is held for the whole run: it must never turn stale by age, only when its owner is gone.
    m_lockFile->setStaleLockTime(0);
    if (m_lockFile->tryLock(0)) {
        startServer();
    } else if (m_lockFile->error() == QLockFile::LockFailedError) {
        m_isRunning = true;
    } else {
        // The folder cannot hold a lock: running unguarded beats refusing to start at all.
        qWarning("SingleApplication: cannot create %s", qPrintable(m_lockFilePath));
    }
}

SingleApplication::~SingleApplication()
{
    // Close the server before giving up the lock: closing removes the socket file, which by then
    // could belong to a copy that started after the lock was released.
    delete m_server;
    m_server = nullptr;
    m_lockFile.reset();
}

bool SingleApplication::isRunning() const
{
    return m_isRunning;
}

QString SingleApplication::id() const
{
    return m_id;
}

QString SingleApplication::lockFilePath() const
{
    return m_lockFilePath;
}

QString SingleApplication::serverName() const
{
    return m_serverName;
}

bool SingleApplication::sendMessage(const QString& message, int timeout)
{
    if (!m_isRunning) {
        return false;
    }
    const QByteArray payload = message.toUtf8();
    if (static_cast<quint32>(payload.size()) > kMaxMessageBytes) {
        return false;
    }
    const QDeadlineTimer deadline(qMax(0, timeout));

    QLocalSocket socket;
    // The running copy may hold the lock a moment before it listens, so keep trying until the deadline.
    for (;;) {
        socket.connectToServer(m_serverName);
        if (socket.waitForConnected(remainingMs(deadline))) {
            break;
        }
        socket.abort();
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(static_cast<unsigned long>(qMin(kRetryPauseMs, remainingMs(deadline))));
    }

    QByteArray frame(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(payload.size()), frame.data());
    frame += payload;
    if (socket.write(frame) != frame.size()) {
        return false;
    }
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(remainingMs(deadline))) {
            return false;
        }
    }
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(remainingMs(deadline))) {
            return false;
        }
    }
    char answer = 0;
    const bool acknowledged = socket.getChar(&answer) && answer == kAck;
    socket.disconnectFromServer();
    return acknowledged;
}

void SingleApplication::startServer()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file under our name is a leftover of a copy that crashed.
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName)) {
        qWarning("SingleApplication: cannot listen on %s: %s",
                 qPrintable(m_serverName),
                 qPrintable(m_server->errorString()));
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleApplication::slot_newConnection);
}

void SingleApplication::slot_newConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            if (buffer->size() < 4) {
                return;
            }
            const quint32 length = qFromBigEndian<quint32>(buffer->constData());
            if (length > kMaxMessageBytes) {
                socket->abort();
                return;
            }
            if (static_cast<quint32>(buffer->size()) < 4 + length) {
                return;
            }
            const QString message = QString::fromUtf8(buffer->constData() + 4, static_cast<qsizetype>(length));
            buffer->clear();
            emit messageReceived(message);
            socket->write(&kAck, 1);
            socket->flush();
        });
        QTimer::singleShot(kPeerIdleMs, socket, [socket] { socket->abort(); });
    }
}
