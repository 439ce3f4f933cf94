#include "ActivateDeviceDialog.h"

#include "LanguageSrc.h"
#include "PasswordRule.h"
#include "QMXLineEdit.h"
#include "QMXPushButton.h"

#include <QLabel>

namespace {

constexpr int kButtonWidth = 70;
constexpr int kButtonHeight = 23;
constexpr int kMargin = 20;
constexpr int kLabelWidth = 150;

QLabel* makeLabel(const QString& text, const char* name, const char* style, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setStyleSheet(QLatin1String(style));
    return label;
}

QMXLineEdit* makePasswordEdit(const char* name, QWidget* parent)
{
    auto* edit = new QMXLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setEchoMode(QLineEdit::Password);
    // The longest password the device's web interface can still take with Basic credentials.
    edit->setMaxLength(39);
    return edit;
}

} // namespace

ActivateDeviceDialog::ActivateDeviceDialog(const QString& deviceName, const QString& mac, QWidget* parent)
    : CustomDialog(parent)
{
    setObjectName(QStringLiteral("activateDeviceDialog"));
    setTitle(getText("IDCS_ACTIVATE_DEVICE"));
    const char* text = "font: 12px; border: 0px; background: transparent; color: rgb(204,204,204);";
    // The name comes from the network: shown as plain text, never as markup.
    m_device = makeLabel(deviceName.isEmpty() ? mac : deviceName + QStringLiteral("  (") + mac + QLatin1Char(')'),
                         "activateDevice",
                         text,
                         this);
    m_device->setTextFormat(Qt::PlainText);
    m_newLabel = makeLabel(getText("IDCS_ACTIVATE_NEW_PASSWORD"), "activateNewLabel", text, this);
    m_confirmLabel = makeLabel(getText("IDCS_ACTIVATE_CONFIRM_PASSWORD"), "activateConfirmLabel", text, this);
    m_newPassword = makePasswordEdit("activateNewPassword", this);
    m_confirmPassword = makePasswordEdit("activateConfirmPassword", this);
    m_newLabel->setBuddy(m_newPassword);
    m_confirmLabel->setBuddy(m_confirmPassword);
    m_rule = makeLabel(getText("IDCS_ACTIVATE_PASSWORD_RULE"),
                       "activateRule",
                       "font: 11px; border: 0px; background: transparent; color: rgb(150,150,150);",
                       this);
    m_rule->setWordWrap(true);
    m_problem = makeLabel(QString(),
                          "activateProblem",
                          "font: 12px; border: 0px; background: transparent; color: rgb(230,120,100);",
                          this);
    m_ok = new QMXPushButton(getText("IDCS_OK"), this);
    m_ok->setObjectName(QStringLiteral("activateOk"));
    m_ok->setDefault(true);
    m_cancel = new QMXPushButton(getText("IDCS_CANCEL"), this);
    m_cancel->setObjectName(QStringLiteral("activateCancel"));
    connect(m_ok, &QPushButton::clicked, this, &ActivateDeviceDialog::slot_accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(m_newPassword, m_confirmPassword);
    setTabOrder(m_confirmPassword, m_ok);
    setTabOrder(m_ok, m_cancel);
    m_newPassword->setFocus();
    resize(420, 240);
}

QString ActivateDeviceDialog::password() const
{
    return m_newPassword->text();
}

void ActivateDeviceDialog::slot_accept()
{
    if (m_newPassword->text() != m_confirmPassword->text()) {
        m_problem->setText(getText("IDCS_ACTIVATE_PASSWORDS_DIFFER"));
        m_confirmPassword->setFocus();
        return;
    }
    if (!IsStrongPassword(m_newPassword->text().toStdString())) {
        m_problem->setText(getText("IDCS_ACTIVATE_PASSWORD_WEAK"));
        m_newPassword->setFocus();
        return;
    }
    accept();
}

void ActivateDeviceDialog::resizeEvent(QResizeEvent* event)
{
    CustomDialog::resizeEvent(event);
    const int w = width();
    const int h = height();
    const int editLeft = kMargin + kLabelWidth + 10;
    m_device->setGeometry(kMargin, 40, w - 2 * kMargin, 20);
    m_newLabel->setGeometry(kMargin, 72, kLabelWidth, 24);
    m_newPassword->setGeometry(editLeft, 72, w - editLeft - kMargin, 24);
    m_confirmLabel->setGeometry(kMargin, 104, kLabelWidth, 24);
    m_confirmPassword->setGeometry(editLeft, 104, w - editLeft - kMargin, 24);
    m_rule->setGeometry(kMargin, 136, w - 2 * kMargin, 34);
    m_problem->setGeometry(kMargin, 174, w - 2 * kMargin, 20);
    m_cancel->setGeometry(w - 11 - kButtonWidth, h - 27, kButtonWidth, kButtonHeight);
    m_ok->setGeometry(w - 11 - 2 * kButtonWidth - 6, h - 27, kButtonWidth, kButtonHeight);
}
