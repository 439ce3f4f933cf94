#include "QuitOnSignal.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// One pair per process: [0] written by the handler, [1] read on the GUI thread.
int g_pair[2] = {-1, -1};
const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // Only async-signal-safe calls here; a full pipe drops the byte, one is enough.
    (void)!::write(g_pair[0], &byte, 1);
    errno = saved;
}
} // namespace

QuitOnSignal::QuitOnSignal(QObject* parent)
    : QObject(parent)
{
    if (g_pair[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pair) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(g_pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitOnSignal::slot_readSignal);
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals) {
        ::sigaction(number, &action, nullptr);
    }
}

QuitOnSignal::~QuitOnSignal()
{
    if (m_notifier == nullptr) {
        return;
    }
    struct sigaction action
    {
    };
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number : kSignals) {
        ::sigaction(number, &action, nullptr);
    }
    delete m_notifier;
    m_notifier = nullptr;
    ::close(g_pair[0]);
    ::close(g_pair[1]);
    g_pair[0] = g_pair[1] = -1;
}

bool QuitOnSignal::isActive() const
{
    return m_notifier != nullptr;
}

void QuitOnSignal::slot_readSignal()
{
    unsigned char byte = 0;
    while (::read(g_pair[1], &byte, 1) == 1) {
        emit signalled(byte);
    }
}
