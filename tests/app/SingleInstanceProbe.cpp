// A stand-in for the program's start-up that uses only the single-instance guard, so its tests run
// without windows, language files or network set-up.
//   SingleInstanceProbe <id> serve|hang [message] [timeout-ms]
// The first copy prints "first <lock file> <server name>" and then either serves messages, printing
// "received:<text>" for each (a "quit" message ends it), or hangs without an event loop. A later copy
// sends the message and ends with 0 when it was acknowledged, 1 when not.
#include "SingleApplication.h"

#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

void say(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fputs("usage: SingleInstanceProbe <id> serve|hang [message] [timeout-ms]\n", stderr);
        return 2;
    }
    const QString id = QString::fromUtf8(argv[1]);
    const QString mode = QString::fromUtf8(argv[2]);
    const QString message = argc > 3 ? QString::fromUtf8(argv[3]) : id;
    const int timeout = argc > 4 ? QString::fromUtf8(argv[4]).toInt() : 5000;

    SingleApplication app(id, argc, argv);
    if (app.isRunning()) {
        const bool acknowledged = app.sendMessage(message, timeout);
        say(acknowledged ? QStringLiteral("sent") : QStringLiteral("unacknowledged"));
        return acknowledged ? 0 : 1;
    }

    say(QStringLiteral("first %1 %2").arg(app.lockFilePath(), app.serverName()));
    if (mode == QLatin1String("hang")) {
        // Holds the lock but never reads its socket, like a copy that stopped responding.
        QThread::sleep(60);
        return 0;
    }
    QObject::connect(&app, &SingleApplication::messageReceived, &app, [&app](const QString& text) {
        say(QStringLiteral("received:") + text);
        if (text == QLatin1String("quit")) {
            app.quit();
        }
    });
    // A probe left behind by a failed test ends on its own.
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}
