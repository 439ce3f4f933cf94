#pragma once

#include <QWidget>

// The side panel beside the device list. For now only the empty panel and the two requests it
// sends to the main window; the forms that emit them come with the panel's own work.
class DeviceControlBar : public QWidget
{
    Q_OBJECT

public:
    explicit DeviceControlBar(QWidget* parent = nullptr);

    static constexpr int kWidth = 301;

signals:
    void sig_changeNetworkParam(QString mac,
                                QString ip,
                                QString subnet,
                                QString gateway,
                                QString password,
                                QString httpPort,
                                QString dataPort,
                                bool bDHCP);
    void sig_restorePwd(QString mac);
};
