#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {
int usage()
{
    std::fprintf(stderr, "usage: scanix-screenshot FILE [--after SECONDS]\n");
    return 2;
}
} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QString file;
    double after = 0;
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--after") && i + 1 < args.size()) {
            bool ok = false;
            after = args.at(++i).toDouble(&ok);
            if (!ok || after < 0) {
                return usage();
            }
        } else if (file.isEmpty() && !args.at(i).startsWith(QLatin1Char('-'))) {
            file = args.at(i);
        } else {
            return usage();
        }
    }
    if (file.isEmpty()) {
        return usage();
    }
    int status = 1;
    QTimer::singleShot(static_cast<int>(after * 1000), &app, [&]() {
        QScreen* screen = QGuiApplication::primaryScreen();
        const QPixmap shot = screen != nullptr ? screen->grabWindow(0) : QPixmap();
        if (shot.isNull() || !shot.save(file, "PNG")) {
            std::fprintf(stderr, "scanix-screenshot: could not grab the screen into %s\n", qPrintable(file));
        } else {
            status = 0;
        }
        app.quit();
    });
    app.exec();
    return status;
}
