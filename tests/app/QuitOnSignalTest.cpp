#include "QuitOnSignal.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

// The signals that end a session or a program reach the event loop as one queued emission
// each, and the default handling is back once the object is gone.
class QuitOnSignalTest : public QObject
{
    Q_OBJECT

private slots:
    void signalEndsTheLoop_data();
    void signalEndsTheLoop();
};

void QuitOnSignalTest::signalEndsTheLoop_data()
{
    QTest::addColumn<int>("number");
    QTest::newRow("SIGTERM") << static_cast<int>(SIGTERM);
    QTest::newRow("SIGINT") << static_cast<int>(SIGINT);
    QTest::newRow("SIGHUP") << static_cast<int>(SIGHUP);
}

void QuitOnSignalTest::signalEndsTheLoop()
{
    QFETCH(int, number);
    {
        QuitOnSignal quit;
        QVERIFY(quit.isActive());
        QSignalSpy spy(&quit, &QuitOnSignal::signalled);
        QVERIFY(::raise(number) == 0);
        QVERIFY(spy.wait(5000));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), number);
    }
    struct sigaction now
    {
    };
    QVERIFY(::sigaction(number, nullptr, &now) == 0);
    QVERIFY(now.sa_handler == SIG_DFL);
}

QTEST_GUILESS_MAIN(QuitOnSignalTest)
#include "QuitOnSignalTest.moc"
