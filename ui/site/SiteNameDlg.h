#pragma once

#include "CustomDialog.h"

class QMXLineEdit;
class QMXPushButton;

// Asks for the site's name that heads a commissioning report.
class SiteNameDlg : public CustomDialog
{
    Q_OBJECT

public:
    explicit SiteNameDlg(QWidget* parent = nullptr);

    QString siteName() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* m_prompt;
    QMXLineEdit* m_name;
    QMXPushButton* m_ok;
    QMXPushButton* m_cancel;
};
