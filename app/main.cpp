#include "AppSetup.h"
#include "LanguageSrc.h"
#include "MainWindow.h"
#include "QMXStyle.h"
#include "SingleApplication.h"

#include <QMessageBox>

int main(int argc, char* argv[])
{
    const QString appId = QStringLiteral("Scanix");
    QCoreApplication::setApplicationName(appId);
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

    MainWindow window;
    window.show();
    return app.exec();
}
