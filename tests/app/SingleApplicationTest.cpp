#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#include <vector>

namespace {

const int kStartMs = 15000;
const int kFinishMs = 15000;

// One run of the probe program, with its output collected line by line.
class Probe
{
public:
    // A non-zero uid starts the probe as that user (Unix, as root).
    Probe(const QProcessEnvironment& env, const QStringList& args, unsigned uid = 0)
    {
        m_process.setProcessEnvironment(env);
#ifdef Q_OS_UNIX
        if (uid != 0) {
            m_process.setChildProcessModifier([uid] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(uid) != 0 || ::setuid(uid) != 0) {
                    ::_exit(99);
                }
            });
        }
#else
        Q_UNUSED(uid);
#endif
        m_process.start(QStringLiteral(SCANIX_PROBE), args);
    }
    ~Probe()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kFinishMs);
        }
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    // The first line that starts with the prefix, or an empty text when none came in time.
    QString waitForLine(const QString& prefix, int timeoutMs = kStartMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
                m_lines << line;
                if (line.startsWith(prefix)) {
                    return line;
                }
            }
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning) {
                return QString();
            }
            m_process.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
        }
    }

    // Exit code once finished in time, -1 otherwise.
    int exitCode()
    {
        if (!m_process.waitForFinished(kFinishMs) || m_process.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        return m_process.exitCode();
    }

    void killHard()
    {
        m_process.kill();
        m_process.waitForFinished(kFinishMs);
    }

    QString transcript() const
    {
        return m_lines.join(QLatin1Char('\n'));
    }

private:
    QProcess m_process;
    QStringList m_lines;
};

} // namespace

class SingleApplicationTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void secondCopyIsRefusedAndDelivers_data();
    void secondCopyIsRefusedAndDelivers();
    void unansweredMessageFails();
    void staleLockOfKilledCopyIsTakenOver();
    void lockLivesInRuntimeDirectory();
    void fallsBackToTemporaryDirectory();
    void otherIdIsIndependent();
    void otherUserIsIndependent();
    void ownOpenFolderIsClosed();
    void plantedFolderIsNotTrusted_data();
    void plantedFolderIsNotTrusted();

private:
    QProcessEnvironment environment() const;

    std::unique_ptr<QTemporaryDir> m_runtime;
};

void SingleApplicationTest::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
}

QProcessEnvironment SingleApplicationTest::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
    env.insert(QStringLiteral("TMPDIR"), m_runtime->path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

void SingleApplicationTest::secondCopyIsRefusedAndDelivers_data()
{
    QTest::addColumn<QString>("message");
    QTest::newRow("id") << "Scanix";
    QTest::newRow("non-ASCII") << "Сканикс 扫描, second copy";
    QTest::newRow("empty") << "";
}

void SingleApplicationTest::secondCopyIsRefusedAndDelivers()
{
    QFETCH(QString, message);
    Probe first(environment(), {QStringLiteral("Scanix"), QStringLiteral("serve")});
    QVERIFY2(!first.waitForLine(QStringLiteral("first ")).isEmpty(), qPrintable(first.transcript()));

    Probe second(environment(), {QStringLiteral("Scanix"), QStringLiteral("serve"), message});
    QCOMPARE(second.waitForLine(QStringLiteral("sent")), QStringLiteral("sent"));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.waitForLine(QStringLiteral("received:")), QStringLiteral("received:") + message);

    // The first copy carries on and keeps refusing later copies.
    Probe third(environment(), {QStringLiteral("Scanix"), QStringLiteral("serve"), QStringLiteral("quit")});
    QCOMPARE(third.exitCode(), 0);
    QCOMPARE(first.waitForLine(QStringLiteral("received:")), QStringLiteral("received:quit"));
    QCOMPARE(first.exitCode(), 0);
}

void SingleApplicationTest::unansweredMessageFails()
{
    Probe first(environment(), {QStringLiteral("Scanix"), QStringLiteral("hang")});
    QVERIFY(!first.waitForLine(QStringLiteral("first ")).isEmpty());

    Probe second(environment(),
                 {QStringLiteral("Scanix"), QStringLiteral("serve"), QStringLiteral("Scanix"), QStringLiteral("300")});
    QCOMPARE(second.waitForLine(QStringLiteral("unacknowledged")), QStringLiteral("unacknowledged"));
    QCOMPARE(second.exitCode(), 1);
}

void SingleApplicationTest::staleLockOfKilledCopyIsTakenOver()
{
    Probe crashed(environment(), {QStringLiteral("Scanix"), QStringLiteral("serve")});
    const QStringList fields = crashed.waitForLine(QStringLiteral("first ")).split(QLatin1Char(' '));
    QCOMPARE(fields.size(), 3);
    crashed.killHard();
    // SIGKILL leaves both the lock file and the socket file behind.
    QVERIFY(QFile::exists(fields.at(1)));
    QVERIFY(QFile::exists(fields.at(2)));

    Probe next(environment(), {QStringLiteral("Scanix"), QStringLiteral("serve")});
    QVERIFY2(!next.waitForLine(QStringLiteral("first ")).isEmpty(), qPrintable(next.transcript()));

    // The new copy listens on the name the dead one left, so messages reach it.
    Probe later(environment(), {QStringLiteral("Scanix"), QStringLiteral("serve"), QStringLiteral("hello")});
    QCOMPARE(later.exitCode(), 0);
    QCOMPARE(next.waitForLine(QStringLiteral("received:")), QStringLiteral("received:hello"));
}

void SingleApplicationTest::lockLivesInRuntimeDirectory()
{
    Probe first(environment(), {QStringLiteral("Scanix"), QStringLiteral("serve")});
    const QStringList fields = first.waitForLine(QStringLiteral("first ")).split(QLatin1Char(' '));
    QCOMPARE(fields.size(), 3);
#ifdef Q_OS_UNIX
    const QString tag = QStringLiteral("/Scanix-%1.").arg(::getuid());
#else
    const QString tag = QStringLiteral("/Scanix-%1.").arg(qEnvironmentVariable("USERNAME"));
#endif
    QCOMPARE(fields.at(1), m_runtime->path() + tag + QStringLiteral("lock"));
    QCOMPARE(fields.at(2), m_runtime->path() + tag + QStringLiteral("socket"));
    QVERIFY(QFile::exists(fields.at(1)));
}

void SingleApplicationTest::fallsBackToTemporaryDirectory()
{
    QProcessEnvironment env = environment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    Probe first(env, {QStringLiteral("Scanix"), QStringLiteral("serve")});
    const QStringList fields = first.waitForLine(QStringLiteral("first ")).split(QLatin1Char(' '));
    QCOMPARE(fields.size(), 3);
    QVERIFY2(fields.at(1).startsWith(m_runtime->path() + QLatin1Char('/')), qPrintable(fields.at(1)));

    Probe second(env, {QStringLiteral("Scanix"), QStringLiteral("serve")});
    QCOMPARE(second.exitCode(), 0);
}

void SingleApplicationTest::otherIdIsIndependent()
{
    Probe first(environment(), {QStringLiteral("Scanix"), QStringLiteral("serve")});
    QVERIFY(!first.waitForLine(QStringLiteral("first ")).isEmpty());
    Probe other(environment(), {QStringLiteral("Other/Tool"), QStringLiteral("serve")});
    QVERIFY2(!other.waitForLine(QStringLiteral("first ")).isEmpty(), qPrintable(other.transcript()));
}

// Two users sharing one temporary folder each get their own copy.
void SingleApplicationTest::otherUserIsIndependent()
{
#ifndef Q_OS_UNIX
    QSKIP("starts a copy as another user through setuid");
#else
    if (::getuid() != 0) {
        QSKIP("needs root to start a copy as another user");
    }
    QVERIFY(::chmod(QFile::encodeName(m_runtime->path()).constData(), 01777) == 0);
    QProcessEnvironment env = environment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));

    Probe mine(env, {QStringLiteral("Scanix"), QStringLiteral("serve")});
    QVERIFY(!mine.waitForLine(QStringLiteral("first ")).isEmpty());
    const unsigned nobody = 65534;
    Probe theirs(env, {QStringLiteral("Scanix"), QStringLiteral("serve")}, nobody);
    const QString line = theirs.waitForLine(QStringLiteral("first "));
    QVERIFY2(line.contains(QStringLiteral("Scanix-65534.lock")), qPrintable(theirs.transcript()));
#endif
}

#ifdef Q_OS_UNIX
namespace {
int modeOf(const QString& path)
{
    struct stat info
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? static_cast<int>(info.st_mode & 0777) : -1;
}
} // namespace
#endif

// Without a runtime folder, a folder of the user's own left open to others is closed first.
void SingleApplicationTest::ownOpenFolderIsClosed()
{
#ifndef Q_OS_UNIX
    QSKIP("Unix folder modes");
#else
    QProcessEnvironment env = environment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    const QString folder = m_runtime->filePath(QStringLiteral("Scanix-%1").arg(::getuid()));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
    Probe first(env, {QStringLiteral("Scanix"), QStringLiteral("serve")});
    const QStringList fields = first.waitForLine(QStringLiteral("first ")).split(QLatin1Char(' '));
    QCOMPARE(fields.size(), 3);
    QCOMPARE(fields.at(1), folder + QStringLiteral("/Scanix-%1.lock").arg(::getuid()));
    QCOMPARE(modeOf(folder), 0700);
#endif
}

void SingleApplicationTest::plantedFolderIsNotTrusted_data()
{
    QTest::addColumn<QString>("planted");
    QTest::addColumn<bool>("runtimeShared");
    QTest::newRow("folder of another user") << "folder" << false;
    QTest::newRow("link to a folder of another user") << "link" << false;
    QTest::newRow("runtime folder open to all") << "none" << true;
}

// Another local user plants the name the program would use in the shared temporary folder (or
// the runtime folder is not private): the program still starts, guarded, somewhere private.
void SingleApplicationTest::plantedFolderIsNotTrusted()
{
#ifndef Q_OS_UNIX
    QSKIP("starts a copy as another user through setuid");
#else
    QFETCH(QString, planted);
    QFETCH(bool, runtimeShared);
    if (::getuid() != 0) {
        QSKIP("needs root to act as two users");
    }
    const unsigned nobody = 65534;
    QVERIFY(::chmod(QFile::encodeName(m_runtime->path()).constData(), 01777) == 0);
    const QString name = m_runtime->filePath(QStringLiteral("Scanix-%1").arg(nobody));
    const QString theirs = m_runtime->filePath(QStringLiteral("theirs"));
    QVERIFY(QDir().mkpath(theirs));
    QVERIFY(::chmod(QFile::encodeName(theirs).constData(), 0777) == 0);
    // A lock that names a live process (this test) would keep a trusting copy from starting.
    QFile lock(theirs + QStringLiteral("/Scanix-%1.lock").arg(nobody));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(QCoreApplication::applicationPid()) + "\nScanix\n" +
               QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    if (planted == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(name));
        QVERIFY(QFile::copy(lock.fileName(), name + QStringLiteral("/Scanix-%1.lock").arg(nobody)));
        QVERIFY(::chmod(QFile::encodeName(name).constData(), 0777) == 0);
    } else if (planted == QLatin1String("link")) {
        QVERIFY(QFile::link(theirs, name));
    }
    const QString home = m_runtime->filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(home));
    QVERIFY(::chown(QFile::encodeName(home).constData(), nobody, nobody) == 0);

    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_CACHE_HOME"));
    if (runtimeShared) {
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), theirs);
    } else {
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    }
    Probe first(env, {QStringLiteral("Scanix"), QStringLiteral("serve")}, nobody);
    const QStringList fields = first.waitForLine(QStringLiteral("first ")).split(QLatin1Char(' '));
    QVERIFY2(fields.size() == 3, qPrintable(first.transcript()));
    const QString folder = QFileInfo(fields.at(1)).absolutePath();
    QVERIFY2(!folder.startsWith(theirs), qPrintable(folder));
    // Its own name in the temporary folder when that is free, else somewhere of its own.
    QVERIFY2(runtimeShared == (folder == name), qPrintable(folder));
    QVERIFY2(QFileInfo(folder).ownerId() == nobody && modeOf(folder) == 0700, qPrintable(folder));
    // Still one copy per user.
    Probe second(env, {QStringLiteral("Scanix"), QStringLiteral("serve")}, nobody);
    QCOMPARE(second.waitForLine(QStringLiteral("sent")), QStringLiteral("sent"));
#endif
}

QTEST_MAIN(SingleApplicationTest)
#include "SingleApplicationTest.moc"
