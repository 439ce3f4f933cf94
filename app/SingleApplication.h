#pragma once

#include <QApplication>
#include <QLockFile>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

// The application object that lets one copy per user run. The first copy to take a lock file named
// after the id holds it for its lifetime and listens on a local socket; a later copy finds the lock
// taken and can hand the first copy a short text. A lock left by a crashed copy is taken over.
// The lock and the socket live in a folder only the user can reach: the user's runtime folder
// (XDG_RUNTIME_DIR), or else "<id>-<uid>" in the temporary folder, or, when another user holds
// that name, in the user's cache folder; owner and mode are checked before it is trusted.
class SingleApplication : public QApplication
{
    Q_OBJECT

public:
    SingleApplication(const QString& id, int& argc, char** argv);
    ~SingleApplication() override;

    // True when another copy holds the id; this copy should then only pass its message on and end.
    bool isRunning() const;

    // Sends the text to the running copy; true once that copy has acknowledged it within the time-out.
    bool sendMessage(const QString& message, int timeout);

    QString id() const;
    QString lockFilePath() const;
    QString serverName() const;

signals:
    // Emitted in the first copy for every text a later copy sent.
    void messageReceived(const QString& message);

private slots:
    void slot_newConnection();

private:
    void startServer();

    QString m_id;
    QString m_lockFilePath;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lockFile;
    QLocalServer* m_server = nullptr;
    bool m_isRunning = false;
};
