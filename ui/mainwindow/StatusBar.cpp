#include "StatusBar.h"

#include "LanguageSrc.h"
#include "QMXLabel.h"

#include <QResizeEvent>

#include <algorithm>

namespace {
const char* const kHostStyle = "font : 13px; color: rgb(125, 125, 125); border-right: 1px solid rgb(61, 61, 61);";
const char* const kPlainStyle = "font : 13px; color: rgb(125, 125, 125);";
constexpr int kLabelTop = 5;
constexpr int kLabelHeight = 17;
constexpr int kLabelPadding = 20;
constexpr int kLabelGap = 20;
constexpr int kCountWidth = 200;
constexpr int kCountPadding = 4;

QMXLabel* statusLabel(const char* name, const char* style, QWidget* parent)
{
    auto* label = new QMXLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setStyleSheet(QString::fromLatin1(style));
    return label;
}
} // namespace

StatusBar::StatusBar(QWidget* parent)
    : QWidget(parent)
    , m_background(new QWidget(this))
    , m_countLabel(statusLabel("onlineCountLabel", kPlainStyle, this))
    , m_ipLabel(statusLabel("hostIpLabel", kHostStyle, this))
    , m_maskLabel(statusLabel("hostMaskLabel", kHostStyle, this))
    , m_gatewayLabel(statusLabel("hostGatewayLabel", kHostStyle, this))
    , m_dnsLabel(statusLabel("hostDnsLabel", kPlainStyle, this))
{
    setObjectName(QStringLiteral("statusBar"));
    m_background->setObjectName(QStringLiteral("statusBackground"));
    m_background->setStyleSheet(QStringLiteral(
        ".QWidget { background-color: rgb(30,31,35); border: 1px solid rgb(78,83,90);border-top: none; }"));
    m_background->lower();
    setOnlineCount(0);
}

void StatusBar::setOnlineCount(int n)
{
    setCountText(getText("IDCS_DEVICE_ONLINE_NUM_D").arg(n));
}

void StatusBar::setShownOfFound(int shown, int found)
{
    setCountText(getText("IDCS_DEVICE_SHOWN_OF_FOUND_D").arg(shown).arg(found));
}

// The count keeps at least its 200 pixels and grows for a longer text, so that no language's
// count is cut.
void StatusBar::setCountText(const QString& text)
{
    m_countLabel->setText(text);
    m_countLabel->ensurePolished();
    const int needed = m_countLabel->fontMetrics().horizontalAdvance(text) + kCountPadding;
    m_countLabel->setGeometry(10, kLabelTop, std::max(kCountWidth, needed), kLabelHeight);
}

void StatusBar::setHostNetwork(const QString& ip, const QString& mask, const QString& gateway, const QString& dns)
{
    m_ipLabel->setText(getText("IDCS_IP_ADDRESS_D").arg(ip));
    m_maskLabel->setText(getText("IDCS_SUBNET_D").arg(mask));
    m_gatewayLabel->setText(getText("IDCS_GATEWAY_D").arg(gateway));
    m_dnsLabel->setText(getText("IDCS_DNS_D").arg(dns));
}

// Laid out from the right edge leftwards, each label as wide as its text.
void StatusBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    m_background->setGeometry(0, 0, w, height());
    m_countLabel->setGeometry(10, kLabelTop, std::max(kCountWidth, m_countLabel->width()), kLabelHeight);
    m_dnsLabel->ensurePolished();
    const QFontMetrics metrics(m_dnsLabel->font());
    int right = w;
    int gap = 0;
    for (QMXLabel* label : {m_dnsLabel, m_gatewayLabel, m_maskLabel, m_ipLabel}) {
        const int labelWidth = metrics.horizontalAdvance(label->text()) + kLabelPadding;
        const int left = right - gap - labelWidth;
        label->setGeometry(left, kLabelTop, labelWidth, kLabelHeight);
        right = left;
        gap = kLabelGap;
    }
}
