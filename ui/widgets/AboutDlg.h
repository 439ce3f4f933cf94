#pragma once

#include "CustomDialog.h"

class BorderImage;
class QMXLabel;
class QMXPushButton;

// The about box: logo, name, version, build date and copyright line.
class AboutDlg : public CustomDialog
{
    Q_OBJECT

public:
    explicit AboutDlg(QWidget* parent = nullptr);

    static const char* const kVersion;

    // A compiler date text ("Dec 16 2020", or "Dec  6 2020" for one-digit days) shown
    // as MM/dd/yyyy for language id 1033 and yyyy/MM/dd for every other id; empty when the
    // text is not such a date.
    static QString formatBuildDate(const QString& compilerDate, int languageId);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    BorderImage* m_logo;
    QMXLabel* m_name;
    QMXLabel* m_version;
    QMXLabel* m_date;
    QMXLabel* m_copyright;
    QMXPushButton* m_ok;
};
