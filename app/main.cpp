#include "AppSetup.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "QMXStyle.h"
#include "QuitOnSignal.h"
#include "SingleApplication.h"
#include "WindowSettings.h"

#include <QMessageBox>

#include <iostream>

int main(int argc, char* argv[])
{
    const QString appId = QStringLiteral("Scanix");
    QCoreApplication::setApplicationName(appId);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.qmx.Scanix"));
    SingleApplication app(appId, argc, argv);

    if (app.isRunning()) {
        QMessageBox::critical(nullptr,
                              QObject::tr("error"),
                              QObject::tr("Scanix is already running"),
                              QMessageBox::Ok,
                              QMessageBox::NoButton);
        return app.sendMessage(appId, 5000) ? 0 : 1;
    }

    AppSetup::installStyleSheet(app);
    AppSetup::installApplicationFont(LanguageSrc::chooseLanguageId());
    QApplication::setQuitOnLastWindowClosed(true);
    // Qt 6 treats 8-bit and translated literals as UTF-8 already; there is no codec to choose.
    app.setStyle(new QMXStyle);
    AppSetup::addPluginPath();
    AppSetup::registerMetaTypeAliases();

    // A session that ends or a kill ends the loop like closing the window does.
    QuitOnSignal quitOnSignal;
    QObject::connect(&quitOnSignal, &QuitOnSignal::signalled, &app, &QCoreApplication::quit);
    MainWindow window;
    WindowSettings settings;
    window.restoreSavedState(settings.load(std::cerr));
    window.show();
    const int result = app.exec();
    // Kept even when the run ends with an error: it is only the arrangement of the window.
    settings.save(window.savedState(), std::cerr);
    return result;
}
