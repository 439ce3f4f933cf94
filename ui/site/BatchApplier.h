#pragma once

#include "NetworkChange.h"

#include <QObject>

#include <atomic>
#include <thread>
#include <vector>

class CScanixManage;

// Sends a list of address changes one after another on a thread of its own, so the window
// keeps painting and answering while each device takes its time to answer. Every step is
// reported to the object's thread with a queued signal.
class BatchApplier : public QObject
{
    Q_OBJECT

public:
    enum RowState
    {
        Waiting,
        Sent,
        Applied,
        Refused,
        NoAnswer,
        NotFound,
        NotSent // cancelled before its turn
    };
    Q_ENUM(RowState)

    explicit BatchApplier(CScanixManage& manager, QObject* parent = nullptr);
    // Cancels and waits for the change in flight: the thread never outlives the manager.
    ~BatchApplier() override;

    void start(const std::vector<ChangeRequest>& changes);
    // The change in flight is finished; the rest are not sent.
    void cancel();
    bool isRunning() const;

    // The state a change's outcome gives.
    static RowState stateOf(const Outcome& outcome);

signals:
    void rowChanged(int index, BatchApplier::RowState state);
    void finished(bool cancelled);

private:
    void run(std::vector<ChangeRequest> changes);
    void join();

    CScanixManage& m_manager;
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
};
