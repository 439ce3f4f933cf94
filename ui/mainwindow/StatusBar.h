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
    // While a filter is on: how many devices the list shows of how many were found.
    void setShownOfFound(int shown, int found);
    void setHostNetwork(const QString& ip, const QString& mask, const QString& gateway, const QString& dns);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setCountText(const QString& text);

    QWidget* m_background;
    QMXLabel* m_countLabel;
    QMXLabel* m_ipLabel;
    QMXLabel* m_maskLabel;
    QMXLabel* m_gatewayLabel;
    QMXLabel* m_dnsLabel;
};
