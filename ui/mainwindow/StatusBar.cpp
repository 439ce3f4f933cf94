#include "StatusBar.h"

#include "LanguageSrc.h"
#include "QMXLabel.h"

#include <QFontMetrics>
#include <QPixmap>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>

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
// Amber on the bar's dark grey: noticed without looking like an error box.
const char* const kNoteStyle = "font : 13px; color: rgb(226, 168, 72);";
constexpr int kNoteIconSize = 15;
constexpr int kNoteIconGap = 5;
// Closer than the host settings' spacing: the note needs the room more.
constexpr int kNoteGap = 14;
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
    setCountText(getText("IDCS_DEVICE_ONLINE_NUM_D").arg(n));
}

void StatusBar::setShownOfFound(int shown, int found)
{
    setCountText(getText("IDCS_DEVICE_SHOWN_OF_FOUND_D").arg(shown).arg(found));
}

// The count keeps at least its 200 pixels and grows for a longer text, so that no language's
// count is cut; the warning and the note begin where its text ends.
void StatusBar::setCountText(const QString& text)
{
    m_countLabel->setText(text);
    m_countLabel->ensurePolished();
    const int needed = m_countLabel->fontMetrics().horizontalAdvance(text) + kCountPadding;
    m_countLabel->setGeometry(kCountLeft, kLabelTop, std::max(kCountWidth, needed), kLabelHeight);
    placeDroppedLabel();
    placeRouteNote();
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
    placeRouteNote();
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
    m_countLabel->setGeometry(kCountLeft, kLabelTop, std::max(kCountWidth, m_countLabel->width()), kLabelHeight);
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
    // After the dropped-reports warning when that shows: it is the rarer and the more urgent.
    const int iconLeft = m_droppedLabel->isVisibleTo(this) ? m_droppedLabel->geometry().right() + kNoteGap
                                                           : kCountLeft + countText + kNoteGap;
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
