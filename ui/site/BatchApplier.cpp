#include "BatchApplier.h"

#include "CScanixManage.h"
#include "Messages.h"

BatchApplier::BatchApplier(CScanixManage& manager, QObject* parent)
    : QObject(parent)
    , m_manager(manager)
{
    connect(this, &BatchApplier::finished, this, [this]() {
        join();
        m_running = false;
    });
}

BatchApplier::~BatchApplier()
{
    cancel();
    join();
}

void BatchApplier::start(const std::vector<ChangeRequest>& changes)
{
    if (m_running) {
        return;
    }
    join();
    m_cancel = false;
    m_running = true;
    m_thread = std::thread(&BatchApplier::run, this, changes);
}

void BatchApplier::cancel()
{
    m_cancel = true;
}

bool BatchApplier::isRunning() const
{
    return m_running;
}

BatchApplier::RowState BatchApplier::stateOf(const Outcome& outcome)
{
    if (outcome.exit == EXIT_OK) {
        return Applied;
    }
    // The shared outcome keeps one exit code for both failures; its text tells them apart.
    return outcome.message == SetIpOutcome(SETIP_NO_ANSWER).message ? NoAnswer : Refused;
}

// Worker thread: signals emitted here reach the dialog queued, on its own thread.
void BatchApplier::run(std::vector<ChangeRequest> changes)
{
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const int index = static_cast<int>(i);
        if (m_cancel) {
            emit rowChanged(index, NotSent);
            continue;
        }
        DEVICE_INFO device{};
        if (!m_manager.FindDevice(changes[i].mac.c_str(), device)) {
            emit rowChanged(index, NotFound);
            continue;
        }
        emit rowChanged(index, Sent);
        const Outcome outcome = ApplyChange(m_manager, changes[i]);
        emit rowChanged(index, stateOf(outcome));
    }
    emit finished(m_cancel);
}

void BatchApplier::join()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
}
