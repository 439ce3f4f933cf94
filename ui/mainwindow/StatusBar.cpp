#include "StatusBar.h"

#include "LanguageSrc.h"
#include "QMXLabel.h"

#include <QResizeEvent>
#include <QTimer>

namespace {
const char* const kHostStyle = "font : 13px; color: rgb(125, 125, 125); border-right: 1px solid rgb(61, 61, 61);";
const char* const kPlainStyle = "font : 13px; color: rgb(125, 125, 125);";
const char* const kWarningStyle = "font : 13px; color: rgb(230, 160, 40);";
constexpr int kCountLeft = 10;
constexpr int kDroppedPollMs = 1000;
constexpr int kLabelTop = 5;
constexpr int kLabelHeight = 17;
constexpr int kLabelPadding = 20;
constexpr int kLabelGap = 20;

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
    , m_droppedLabel(statusLabel("droppedReportsLabel", kWarningStyle, this))
{
    setObjectName(QStringLiteral("statusBar"));
    m_background->setObjectName(QStringLiteral("statusBackground"));
    m_background->setStyleSheet(QStringLiteral(
        ".QWidget { background-color: rgb(30,31,35); border: 1px solid rgb(78,83,90);border-top: none; }"));
    m_background->lower();
    m_droppedLabel->hide();
    setOnlineCount(0);
}

void StatusBar::setOnlineCount(int n)
{
    m_countLabel->setText(getText("IDCS_DEVICE_ONLINE_NUM_D").arg(n));
}

void StatusBar::setHostNetwork(const QString& ip, const QString& mask, const QString& gateway, const QString& dns)
{
    m_ipLabel->setText(getText("IDCS_IP_ADDRESS_D").arg(ip));
    m_maskLabel->setText(getText("IDCS_SUBNET_D").arg(mask));
    m_gatewayLabel->setText(getText("IDCS_GATEWAY_D").arg(gateway));
    m_dnsLabel->setText(getText("IDCS_DNS_D").arg(dns));
}

void StatusBar::setDroppedCount(long long n)
{
    if (n != m_dropped) {
        m_dropped = n;
        m_droppedLabel->setToolTip(getText("IDCS_REPORTS_DROPPED_D").arg(n));
        m_droppedLabel->setVisible(n > 0);
    }
    // Also when the count is the same: the online count beside it may have grown.
    placeDroppedLabel();
}

void StatusBar::watchDroppedReports(std::function<long long()> source)
{
    if (m_droppedTimer == nullptr) {
        m_droppedTimer = new QTimer(this);
        m_droppedTimer->setInterval(kDroppedPollMs);
    }
    m_droppedTimer->disconnect();
    connect(m_droppedTimer, &QTimer::timeout, this, [this, source = std::move(source)] { setDroppedCount(source()); });
    m_droppedTimer->start();
}

// Right after the online count's text, as wide as its own text but never over the host
// labels: cut with an ellipsis then (the tooltip keeps it whole).
void StatusBar::placeDroppedLabel()
{
    if (m_dropped <= 0) {
        return;
    }
    m_droppedLabel->ensurePolished();
    m_countLabel->ensurePolished();
    const int left =
        kCountLeft + QFontMetrics(m_countLabel->font()).horizontalAdvance(m_countLabel->text()) + kLabelGap;
    const int right = m_ipLabel->x() > left ? m_ipLabel->x() - kLabelGap : width();
    const QFontMetrics metrics(m_droppedLabel->font());
    const int room = std::max(0, right - left);
    const QString text =
        metrics.elidedText(m_droppedLabel->toolTip(), Qt::ElideRight, std::max(0, room - kLabelPadding));
    m_droppedLabel->setText(text);
    m_droppedLabel->setGeometry(
        left, kLabelTop, std::min(room, metrics.horizontalAdvance(text) + kLabelPadding), kLabelHeight);
}

// Laid out from the right edge leftwards, each label as wide as its text.
void StatusBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int w = width();
    m_background->setGeometry(0, 0, w, height());
    m_countLabel->setGeometry(kCountLeft, kLabelTop, 200, kLabelHeight);
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
    placeDroppedLabel();
}
