#pragma once

#include <QWidget>

#include <functional>

class QMXLabel;
class QTimer;

// The strip along the bottom of the main window: the number of listed devices on the left
// (followed by a warning when the search dropped device reports), the host's own address,
// mask, gateway and DNS server on the right.
class StatusBar : public QWidget
{
    Q_OBJECT

public:
    explicit StatusBar(QWidget* parent = nullptr);

    void setOnlineCount(int n);
    // While a filter is on: how many devices the list shows of how many were found.
    void setShownOfFound(int shown, int found);
    void setHostNetwork(const QString& ip, const QString& mask, const QString& gateway, const QString& dns);
    // The note that devices on link-local addresses cannot be reached, with the command that
    // adds the missing route; an empty command removes the note.
    void setRouteNote(const QString& command);
    // Reports the search dropped for want of room: shown as a warning while non-zero.
    void setDroppedCount(long long n);
    // Asks `source` for that count once a second (the search says nothing when it drops).
    void watchDroppedReports(std::function<long long()> source);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeRouteNote();
    void placeDroppedLabel();
    void setCountText(const QString& text);

    QWidget* m_background;
    QMXLabel* m_countLabel;
    QMXLabel* m_ipLabel;
    QMXLabel* m_maskLabel;
    QMXLabel* m_gatewayLabel;
    QMXLabel* m_dnsLabel;
    QMXLabel* m_routeIcon = nullptr;
    QMXLabel* m_routeNote = nullptr;
    QString m_routeCommand;
    QMXLabel* m_droppedLabel;
    QTimer* m_droppedTimer = nullptr;
    long long m_dropped = 0;
};
