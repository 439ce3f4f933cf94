#include "PlaceholderWindow.h"

#include "LanguageSrc.h"

#include <QApplication>
#include <QVBoxLayout>

#ifdef SCANIX_HAVE_WIDGETS
#include "QMXLabel.h"
using TitleLabel = QMXLabel;
#else
#include <QLabel>
using TitleLabel = QLabel;
#endif

PlaceholderWindow::PlaceholderWindow(QWidget* parent)
    : QWidget(parent)
{
    g_languageId = LanguageSrc::chooseLanguageId();
    LanguageSrc::loadLanguage(QCoreApplication::applicationDirPath(), g_languageId);

    const QString title = getText("IDCS_DEVICE_NETWORK_SEARCH");
    setObjectName(QStringLiteral("placeholderWindow"));
    setWindowTitle(title);
    auto* label = new TitleLabel(title, this);
    label->setObjectName(QStringLiteral("titleLabel"));
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    resize(1000, 600);
}

PlaceholderWindow::~PlaceholderWindow()
{
    LanguageSrc::releaseLanguage();
}
