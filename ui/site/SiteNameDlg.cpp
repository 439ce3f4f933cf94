#include "SiteNameDlg.h"

#include "LanguageSrc.h"
#include "QMXLabel.h"
#include "QMXLineEdit.h"
#include "QMXPushButton.h"

SiteNameDlg::SiteNameDlg(QWidget* parent)
    : CustomDialog(parent)
{
    setObjectName(QStringLiteral("siteNameDialog"));
    setTitle(getText("IDCS_REPORT_TITLE"));
    m_prompt = new QMXLabel(getText("IDCS_SITE_NAME"), this);
    m_name = new QMXLineEdit(this);
    m_name->setObjectName(QStringLiteral("siteName"));
    m_name->setMaxLength(120);
    m_ok = new QMXPushButton(getText("IDCS_OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_cancel = new QMXPushButton(getText("IDCS_CANCEL"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(m_ok, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QAbstractButton::clicked, this, &QDialog::reject);
    resize(400, 160);
}

QString SiteNameDlg::siteName() const
{
    return m_name->text().trimmed();
}

void SiteNameDlg::resizeEvent(QResizeEvent* event)
{
    CustomDialog::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_prompt->setGeometry(20, 48, w - 40, 22);
    m_name->setGeometry(20, 76, w - 40, 26);
    m_cancel->setGeometry(w - 90, h - 27, 80, 23);
    m_ok->setGeometry(w - 178, h - 27, 80, 23);
}
