#pragma once

#include <QWidget>

class QMXLabel;

// The strip along the bottom of the main window: the number of listed devices on the left,
// the host's own address, mask, gateway and DNS server on the right.
class StatusBar : public QWidget
{
    Q_OBJECT

public:
    explicit StatusBar(QWidget* parent = nullptr);

    void setOnlineCount(int n);
    void setHostNetwork(const QString& ip, const QString& mask, const QString& gateway, const QString& dns);
    // The note that devices on link-local addresses cannot be reached, with the command that
    // adds the missing route; an empty command removes the note.
    void setRouteNote(const QString& command);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeRouteNote();

    QWidget* m_background;
    QMXLabel* m_countLabel;
    QMXLabel* m_ipLabel;
    QMXLabel* m_maskLabel;
    QMXLabel* m_gatewayLabel;
    QMXLabel* m_dnsLabel;
    QMXLabel* m_routeIcon = nullptr;
    QMXLabel* m_routeNote = nullptr;
    QString m_routeCommand;
};
