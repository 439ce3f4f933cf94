#include "AppSetup.h"
#include "LanguageSrc.h"
#include "PlaceholderWindow.h"
#include "SingleApplication.h"

#include <QMessageBox>

#ifdef SCANIX_HAVE_WIDGETS
#include "QMXStyle.h"
#endif

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
#ifdef SCANIX_HAVE_WIDGETS
    app.setStyle(new QMXStyle);
#endif
    AppSetup::addPluginPath();
    AppSetup::registerMetaTypeAliases();

    PlaceholderWindow window;
    window.show();
    return app.exec();
}
