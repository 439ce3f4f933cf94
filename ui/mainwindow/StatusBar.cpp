#include "StatusBar.h"

#include "LanguageSrc.h"
#include "QMXLabel.h"

#include <QFontMetrics>
#include <QResizeEvent>

#include <algorithm>

namespace {
const char* const kHostStyle = "font : 13px; color: rgb(125, 125, 125); border-right: 1px solid rgb(61, 61, 61);";
const char* const kPlainStyle = "font : 13px; color: rgb(125, 125, 125);";
constexpr int kLabelTop = 5;
constexpr int kLabelHeight = 17;
constexpr int kLabelPadding = 20;
constexpr int kLabelGap = 20;
// Amber on the bar's dark grey: noticed without looking like an error box.
const char* const kNoteStyle = "font : 13px; color: rgb(226, 168, 72);";

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
    m_countLabel->setText(getText("IDCS_DEVICE_ONLINE_NUM_D").arg(n));
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
    m_countLabel->setGeometry(10, kLabelTop, 200, kLabelHeight);
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
    placeRouteNote();
}

void StatusBar::setRouteNote(const QString& command)
{
    m_routeCommand = command;
    if (command.isEmpty()) {
        delete m_routeNote;
        m_routeNote = nullptr;
        return;
    }
    if (m_routeNote == nullptr) {
        m_routeNote = statusLabel("routeNoteLabel", kNoteStyle, this);
        // The command is there to be copied into a terminal.
        m_routeNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_routeNote->setContextMenuPolicy(Qt::NoContextMenu);
    }
    const QString note = getText("IDCS_LINK_LOCAL_ROUTE_MISSING_D").arg(command);
    m_routeNote->setToolTip(note);
    m_routeNote->setAccessibleName(note);
    placeRouteNote();
    m_routeNote->show();
}

// Between the count and the host settings. Where the whole sentence does not fit, the command
// alone still tells what to do; the sentence stays in the tooltip.
void StatusBar::placeRouteNote()
{
    if (m_routeNote == nullptr) {
        return;
    }
    m_routeNote->ensurePolished();
    const QFontMetrics metrics(m_routeNote->font());
    const int left = 10 + QFontMetrics(m_countLabel->font()).horizontalAdvance(m_countLabel->text()) + kLabelGap;
    const int right = m_ipLabel->x() - kLabelGap;
    const int room = std::max(0, right - left);
    const QString note = m_routeNote->toolTip();
    QString shown = note;
    if (metrics.horizontalAdvance(note) > room) {
        shown = metrics.elidedText(m_routeCommand, Qt::ElideRight, room);
    }
    m_routeNote->setText(shown);
    m_routeNote->setGeometry(left, kLabelTop, room, kLabelHeight);
}
