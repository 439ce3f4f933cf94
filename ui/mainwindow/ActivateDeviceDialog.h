#pragma once

#include "CustomDialog.h"

class QLabel;
class QMXLineEdit;
class QMXPushButton;

// Asks for a device's first password: typed twice, checked against the activation rule before
// the dialog closes. The password leaves only through password(), for the engine to seal.
class ActivateDeviceDialog : public CustomDialog
{
    Q_OBJECT

public:
    ActivateDeviceDialog(const QString& deviceName, const QString& mac, QWidget* parent = nullptr);

    QString password() const;

public slots:
    void slot_accept();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_device;
    QLabel* m_newLabel;
    QLabel* m_confirmLabel;
    QMXLineEdit* m_newPassword;
    QMXLineEdit* m_confirmPassword;
    QLabel* m_rule;
    QLabel* m_problem;
    QMXPushButton* m_ok;
    QMXPushButton* m_cancel;
};
