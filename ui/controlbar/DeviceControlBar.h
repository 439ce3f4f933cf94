#pragma once

#include <QString>
#include <QWidget>

class BorderImage;
class ButtonControl;
class IpAddrEdit;
class MacAddrEdit;
class QFrame;
class QMXLabel;
class QMXLineEdit;
class QMXPushButton;
class QProgressBar;

// The side panel of the main window: the network-parameter form and the password-restore
// panel, each under a header that folds it in and out. Every child sits at a fixed rectangle
// computed in relayout(); user actions leave the bar only as signals.
class DeviceControlBar : public QWidget
{
    Q_OBJECT

public:
    explicit DeviceControlBar(QWidget* parent = nullptr);

    // The width the main window gives the bar.
    static constexpr int kWidth = 301;

    // Shows the selected device's addresses (empty texts: none selected); the password and
    // the restore panel keep theirs.
    void setNetworkParam(const QString& mac, const QString& ip, const QString& subnet, const QString& gateway);
    // Puts the selected device's MAC into the restore panel, where the user may type another.
    void setRestoreMac(const QString& mac);
    void clearRestoreMac();
    // Which sections are open; opening and closing them as clicks on their headers would.
    bool networkSectionOpen() const;
    bool restoreSectionOpen() const;
    void setSectionsOpen(bool network, bool restore);
    // While a request waits for its device: both forms are disabled and say so.
    void setBusy(bool busy);

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

public slots:
    void slot_visibleNetworkParam(bool visible);
    void slot_visibleDevice(bool visible);

private slots:
    void slot_changeNetworkParamClicked();
    void slot_restorePwdClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void createNetworkSection();
    void createRestoreSection();
    QMXLabel* caption(const char* key);
    template <class Edit> Edit* field(QMXLabel* caption, const char* name);
    void relayout();
    void placeNetworkBody();
    void placeRestoreBody();

    bool m_networkVisible = true;
    bool m_restoreVisible = false;

    QWidget* m_background = nullptr;
    ButtonControl* m_networkHeader = nullptr;
    QFrame* m_networkBody = nullptr;
    QMXLabel* m_macCaption = nullptr;
    MacAddrEdit* m_mac = nullptr;
    QMXLabel* m_ipCaption = nullptr;
    IpAddrEdit* m_ip = nullptr;
    QMXLabel* m_maskCaption = nullptr;
    IpAddrEdit* m_mask = nullptr;
    QMXLabel* m_gatewayCaption = nullptr;
    IpAddrEdit* m_gateway = nullptr;
    QMXLineEdit* m_password = nullptr;
    QMXPushButton* m_save = nullptr;
    BorderImage* m_networkInfoIcon = nullptr;
    QMXLabel* m_networkInfo = nullptr;
    ButtonControl* m_restoreHeader = nullptr;
    QFrame* m_restoreBody = nullptr;
    MacAddrEdit* m_restoreMac = nullptr;
    QMXPushButton* m_ok = nullptr;
    BorderImage* m_restoreInfoIcon = nullptr;
    QMXLabel* m_restoreInfo = nullptr;
    QProgressBar* m_networkBusy = nullptr;
    QProgressBar* m_restoreBusy = nullptr;
};
