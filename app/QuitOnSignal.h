#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a session that ends, a kill, Ctrl+C in a terminal) into an
// ordinary end of the event loop, so that the window's teardown runs: the search library stops,
// a route the program added is removed and the settings are written. The handler only writes
// one byte into a socket pair; everything else happens on the GUI thread.
class QuitOnSignal : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignal(QObject* parent = nullptr);
    ~QuitOnSignal() override;

    // False when the signals could not be taken over (they then keep their defaults).
    bool isActive() const;

signals:
    // On the GUI thread, once per signal received.
    void signalled(int signalNumber);

private slots:
    void slot_readSignal();

private:
    QSocketNotifier* m_notifier = nullptr;
};
