#include "DeviceControlBar.h"

#include "BorderImage.h"
#include "ButtonControl.h"
#include "IpAddrEdit.h"
#include "LanguageSrc.h"
#include "MacAddrEdit.h"
#include "N12_MessageBox.h"
#include "QMXLabel.h"
#include "QMXLineEdit.h"
#include "QMXPushButton.h"

#include <QFrame>
#include <QProgressBar>
#include <QRegularExpression>

namespace {

constexpr int kHeaderHeight = 33;
// Where the restore section starts while the network form is open; the form's body is taller
// and runs on beneath it.
constexpr int kRestoreTopBelowForm = 310;
constexpr int kNetworkBodyHeight = 413;
// The buttons are 80 pixels wide: with the skin's 12-pixel side padding a caption such as the
// Russian "Save" is cut off, so these two keep only a little of it.
const char* const kNarrowButtonStyle = "QMXPushButton { padding: 0px 4px; }";

QMXLabel* infoText(const char* key, QWidget* parent)
{
    auto* label = new QMXLabel(getText(key), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(false);
    return label;
}

// A thin bar that runs while a request waits for its device: the window is alive, the
// device has not answered yet.
QProgressBar* busyBar(QWidget* parent)
{
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 0);
    bar->setTextVisible(false);
    bar->setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid rgb(78,83,90); border-radius: 2px; "
                                      "background-color: rgb(43,44,49); }"
                                      "QProgressBar::chunk { background-color: rgb(86,156,214); width: 20px; }"));
    bar->hide();
    return bar;
}

// Four octets of 0 to 255 as the form accepts them; the whole text must match.
bool isDottedAddress(const QString& text)
{
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QStringLiteral("((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)")));
    return pattern.match(text).hasMatch();
}

// Shows the error for an empty or malformed address; true when the address is complete.
bool checkAddress(const QString& text, const char* emptyKey, const char* invalidKey)
{
    if (text.isEmpty()) {
        showError(getText(emptyKey));
        return false;
    }
    if (!isDottedAddress(text)) {
        showError(getText(invalidKey));
        return false;
    }
    return true;
}

} // namespace

DeviceControlBar::DeviceControlBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("deviceControlBar"));
    m_background = new QWidget(this);
    m_background->setObjectName(QStringLiteral("background"));
    m_background->setStyleSheet(
        QStringLiteral(".QWidget { background-color: rgb(30,31,35); border-right: 1px solid rgb(78,83,90);"
                       "border-bottom: 1px solid rgb(78,83,90); }"));
    createNetworkSection();
    createRestoreSection();
    m_mac->setEnabled(false);

    connect(m_networkHeader, &ButtonControl::clicked, this, &DeviceControlBar::slot_visibleNetworkParam);
    connect(m_restoreHeader, &ButtonControl::clicked, this, &DeviceControlBar::slot_visibleDevice);
    connect(m_save, &QPushButton::clicked, this, &DeviceControlBar::slot_changeNetworkParamClicked);
    // Enter in the password saves, as the last step of filling the form.
    connect(m_password, &QLineEdit::returnPressed, m_save, &QPushButton::click);
    connect(m_ok, &QPushButton::clicked, this, &DeviceControlBar::slot_restorePwdClicked);
}

void DeviceControlBar::createNetworkSection()
{
    m_networkHeader = new ButtonControl(getText("IDCS_CHANGE_NETWORK_PARAM"), this);
    m_networkHeader->setObjectName(QStringLiteral("networkHeader"));
    m_networkHeader->setExpanded(m_networkVisible);
    m_networkBody = new QFrame(this);
    m_networkBody->setObjectName(QStringLiteral("networkBody"));

    m_macCaption = caption("IDCS_MAC_ADDRESS");
    m_mac = field<MacAddrEdit>(m_macCaption, "mac");
    m_ipCaption = caption("IDCS_IP_ADDRESS");
    m_ip = field<IpAddrEdit>(m_ipCaption, "ip");
    m_maskCaption = caption("IDCS_SUBNET_MASK");
    m_mask = field<IpAddrEdit>(m_maskCaption, "mask");
    m_gatewayCaption = caption("IDCS_GATEWAY");
    m_gateway = field<IpAddrEdit>(m_gatewayCaption, "gateway");

    m_password = new QMXLineEdit(m_networkBody);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setStyleSheet(QStringLiteral("color: rgb(46, 46, 46); background-color: rgb(177, 177, 177); "));
    m_password->setAccessibleName(getText("IDCS_DEVICE_PASSWORD"));
    m_save = new QMXPushButton(getText("IDCS_SAVE"), m_networkBody);
    m_save->setObjectName(QStringLiteral("save"));
    m_save->setStyleSheet(QString::fromLatin1(kNarrowButtonStyle));
    // Inside the main window (a dialog) Return must not press Save or OK behind the user's back.
    m_save->setAutoDefault(false);
    m_networkInfoIcon = new BorderImage(QStringLiteral(":/skin/info.png"), m_networkBody);
    m_networkInfo = infoText("IDCS_CHANGE_NETWORK_PARAM_INFO", m_networkBody);
    m_networkInfo->setObjectName(QStringLiteral("networkInfo"));
    m_networkBusy = busyBar(m_networkBody);
    m_networkBusy->setObjectName(QStringLiteral("networkBusy"));
}

QMXLabel* DeviceControlBar::caption(const char* key)
{
    return new QMXLabel(getText(key), m_networkBody);
}

template <class Edit> Edit* DeviceControlBar::field(QMXLabel* caption, const char* name)
{
    auto* edit = new Edit(m_networkBody);
    edit->setObjectName(QString::fromLatin1(name));
    // A screen reader names the field by its caption.
    edit->setAccessibleName(caption->text());
    caption->setBuddy(edit);
    return edit;
}

void DeviceControlBar::createRestoreSection()
{
    m_restoreHeader = new ButtonControl(getText("IDCS_RESTORE_DEVICE_PASSWORD"), this);
    m_restoreHeader->setObjectName(QStringLiteral("restoreHeader"));
    m_restoreHeader->setExpanded(m_restoreVisible);
    m_restoreBody = new QFrame(this);
    m_restoreBody->setObjectName(QStringLiteral("restoreBody"));
    m_restoreMac = new MacAddrEdit(m_restoreBody);
    m_restoreMac->setObjectName(QStringLiteral("restoreMac"));
    m_restoreMac->setAccessibleName(getText("IDCS_MAC_ADDRESS"));
    m_ok = new QMXPushButton(getText("IDCS_OK"), m_restoreBody);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setStyleSheet(QString::fromLatin1(kNarrowButtonStyle));
    m_ok->setAutoDefault(false);
    m_restoreInfoIcon = new BorderImage(QStringLiteral(":/skin/info.png"), m_restoreBody);
    m_restoreInfo = infoText("IDCS_RESTORE_DEVICE_PASSWORD_INFO", m_restoreBody);
    m_restoreInfo->setObjectName(QStringLiteral("restoreInfo"));
    m_restoreBusy = busyBar(m_restoreBody);
    m_restoreBusy->setObjectName(QStringLiteral("restoreBusy"));
}

void DeviceControlBar::setNetworkParam(const QString& mac,
                                       const QString& ip,
                                       const QString& subnet,
                                       const QString& gateway)
{
    m_mac->setText(mac);
    m_ip->setText(ip);
    m_mask->setText(subnet);
    m_gateway->setText(gateway);
}

void DeviceControlBar::setRestoreMac(const QString& mac)
{
    m_restoreMac->setText(mac);
}

void DeviceControlBar::clearRestoreMac()
{
    m_restoreMac->setText(QString());
}

void DeviceControlBar::setBusy(bool busy)
{
    for (QWidget* input :
         std::initializer_list<QWidget*>{m_ip, m_mask, m_gateway, m_password, m_save, m_restoreMac, m_ok}) {
        input->setEnabled(!busy);
    }
    const QString waiting = getText("IDCS_WAITING_FOR_DEVICE");
    m_networkInfo->setText(busy ? waiting : getText("IDCS_CHANGE_NETWORK_PARAM_INFO"));
    m_restoreInfo->setText(busy ? waiting : getText("IDCS_RESTORE_DEVICE_PASSWORD_INFO"));
    m_networkInfoIcon->setVisible(!busy);
    m_restoreInfoIcon->setVisible(!busy);
    m_networkBusy->setVisible(busy);
    m_restoreBusy->setVisible(busy);
}

void DeviceControlBar::slot_changeNetworkParamClicked()
{
    const QString mac = m_mac->text().trimmed();
    if (mac.isEmpty()) {
        showWarning(getText("IDCS_NETWORK_PARAM_EMPTY"));
        return;
    }
    const QString ip = m_ip->text().trimmed();
    const QString mask = m_mask->text().trimmed();
    const QString gateway = m_gateway->text().trimmed();
    // One message only: the first wrong field decides it.
    if (!checkAddress(ip, "IDCS_PROMPT_IPADDRESS_EMPTY", "IDCS_PROMPT_IPADDRESS_INVALID") ||
        !checkAddress(mask, "IDCS_PROMPT_SUBNET_MASK_EMPTY", "IDCS_PROMPT_SUBNET_MASK_INVALID") ||
        !checkAddress(gateway, "IDCS_PROMPT_GATEWAY_EMPTY", "IDCS_PROMPT_GATEWAY_INVALID")) {
        return;
    }
    // The form changes addresses only: the ports stay as they are and DHCP stays off.
    emit sig_changeNetworkParam(mac, ip, mask, gateway, m_password->text().trimmed(), QString(), QString(), false);
}

void DeviceControlBar::slot_restorePwdClicked()
{
    const QString mac = m_restoreMac->text().trimmed();
    if (mac.isEmpty()) {
        showWarning(getText("IDCS_MAC_ADDRESS_EMPTY_ERROR"));
        m_restoreMac->setFocus(Qt::OtherFocusReason);
        return;
    }
    // A MAC with a pair left empty names no device: say what is wrong with it.
    static const QRegularExpression complete(
        QRegularExpression::anchoredPattern(QStringLiteral("([0-9A-Fa-f]{2}:){5}[0-9A-Fa-f]{2}")));
    if (!complete.match(mac).hasMatch()) {
        showError(getText("IDCS_MAC_ADDRESS_INCOMPLETE"));
        m_restoreMac->setFocus(Qt::OtherFocusReason);
        return;
    }
    emit sig_restorePwd(mac.toUpper());
}

void DeviceControlBar::slot_visibleNetworkParam(bool visible)
{
    m_networkVisible = visible;
    relayout();
}

void DeviceControlBar::slot_visibleDevice(bool visible)
{
    m_restoreVisible = visible;
    relayout();
}

void DeviceControlBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void DeviceControlBar::relayout()
{
    const int w = width();
    const int h = height();
    m_background->setGeometry(0, 0, w, h);

    m_networkHeader->setGeometry(0, 0, w - 1, kHeaderHeight);
    int y = kHeaderHeight;
    m_networkBody->setVisible(m_networkVisible);
    if (m_networkVisible) {
        m_networkBody->setGeometry(1, kHeaderHeight, w - 1, kNetworkBodyHeight);
        placeNetworkBody();
        y = kRestoreTopBelowForm;
    }

    m_restoreHeader->setGeometry(0, y, w - 1, kHeaderHeight);
    m_restoreBody->setVisible(m_restoreVisible);
    if (m_restoreVisible) {
        m_restoreBody->setGeometry(1, y + kHeaderHeight, w - 1, h - y - kHeaderHeight);
        placeRestoreBody();
    }
}

void DeviceControlBar::placeNetworkBody()
{
    const int w = width();
    m_macCaption->setGeometry(9, 33, 110, 23);
    m_mac->setGeometry(119, 33, 170, 23);
    m_ipCaption->setGeometry(9, 64, 110, 23);
    m_ip->setGeometry(119, 64, 170, 23);
    m_maskCaption->setGeometry(9, 95, 110, 23);
    m_mask->setGeometry(119, 95, 170, 23);
    m_gatewayCaption->setGeometry(9, 126, 110, 23);
    m_gateway->setGeometry(119, 126, 170, 23);
    m_password->setGeometry(9, 176, 190, 23);
    m_save->setGeometry(209, 176, 80, 23);
    m_networkInfoIcon->setGeometry(9, 207, 26, 26);
    m_networkInfo->setGeometry(39, 207, w - 39, 60);
    m_networkBusy->setGeometry(39, 229, 160, 8);
}

void DeviceControlBar::placeRestoreBody()
{
    const int w = width();
    m_restoreMac->setGeometry(9, 33, 190, 23);
    m_ok->setGeometry(209, 33, 80, 23);
    m_restoreInfoIcon->setGeometry(9, 64, 26, 26);
    m_restoreInfo->setGeometry(39, 64, w - 39, 60);
    m_restoreBusy->setGeometry(39, 86, 160, 8);
}

bool DeviceControlBar::networkSectionOpen() const
{
    return m_networkVisible;
}

bool DeviceControlBar::restoreSectionOpen() const
{
    return m_restoreVisible;
}

void DeviceControlBar::setSectionsOpen(bool network, bool restore)
{
    m_networkHeader->setExpanded(network);
    m_restoreHeader->setExpanded(restore);
    m_networkVisible = network;
    m_restoreVisible = restore;
    relayout();
}
