#include "StatusBar.h"

#include "LanguageSrc.h"
#include "QMXLabel.h"

#include <QFontMetrics>
#include <QPixmap>
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
constexpr int kNoteIconSize = 15;
constexpr int kNoteIconGap = 5;
// Closer than the host settings' spacing: the note needs the room more.
constexpr int kNoteGap = 14;

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
    // The note begins where the count's text ends.
    placeRouteNote();
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
        delete m_routeIcon;
        delete m_routeNote;
        m_routeIcon = nullptr;
        m_routeNote = nullptr;
        return;
    }
    if (m_routeNote == nullptr) {
        // The skin's warning sign, small: the line reads as a note even when only the
        // command fits beside it.
        m_routeIcon = statusLabel("routeNoteIcon", "", this);
        const qreal ratio = devicePixelRatioF();
        QPixmap sign =
            QPixmap(QStringLiteral(":/skin/Warning.png"))
                .scaled(QSize(kNoteIconSize, kNoteIconSize) * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        sign.setDevicePixelRatio(ratio);
        m_routeIcon->setPixmap(sign);
        m_routeNote = statusLabel("routeNoteLabel", kNoteStyle, this);
        // The command is there to be copied into a terminal.
        m_routeNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_routeNote->setContextMenuPolicy(Qt::NoContextMenu);
    }
    const QString note = getText("IDCS_LINK_LOCAL_ROUTE_MISSING_D").arg(command);
    m_routeNote->setToolTip(note);
    m_routeNote->setAccessibleName(note);
    m_routeIcon->setToolTip(note);
    m_routeIcon->setAccessibleName(note);
    placeRouteNote();
    m_routeIcon->show();
    m_routeNote->show();
}

// Between the count and the host settings. Where the whole sentence does not fit, the command
// alone still tells what to do (in a narrow window without its "sudo", which any user of it
// knows to add); the sentence stays in the tooltip.
void StatusBar::placeRouteNote()
{
    if (m_routeNote == nullptr) {
        return;
    }
    m_routeNote->ensurePolished();
    const QFontMetrics metrics(m_routeNote->font());
    const int countText = QFontMetrics(m_countLabel->font()).horizontalAdvance(m_countLabel->text());
    const int iconLeft = 10 + countText + kNoteGap;
    m_routeIcon->setGeometry(iconLeft, kLabelTop + (kLabelHeight - kNoteIconSize) / 2, kNoteIconSize, kNoteIconSize);
    const int left = iconLeft + kNoteIconSize + kNoteIconGap;
    const int room = std::max(0, m_ipLabel->x() - kNoteGap - left);
    QString bare = m_routeCommand;
    if (bare.startsWith(QLatin1String("sudo "))) {
        bare.remove(0, 5);
    }
    QString shown = metrics.elidedText(bare, Qt::ElideRight, room);
    for (const QString& candidate : {m_routeNote->toolTip(), m_routeCommand}) {
        if (metrics.horizontalAdvance(candidate) <= room) {
            shown = candidate;
            break;
        }
    }
    m_routeNote->setText(shown);
    m_routeNote->setGeometry(left, kLabelTop, room, kLabelHeight);
}
