#include "PlaceholderWindow.h"

#include "LanguageSrc.h"
#include "QMXLabel.h"

#include <QApplication>
#include <QVBoxLayout>

PlaceholderWindow::PlaceholderWindow(QWidget* parent)
    : QWidget(parent)
{
    g_languageId = LanguageSrc::chooseLanguageId();
    LanguageSrc::loadLanguage(QCoreApplication::applicationDirPath(), g_languageId);

    const QString title = getText("IDCS_DEVICE_NETWORK_SEARCH");
    setObjectName(QStringLiteral("placeholderWindow"));
    setWindowTitle(title);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("PlaceholderWindow { background-color: rgb(30,31,35); }"));
    auto* label = new QMXLabel(title, this);
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
