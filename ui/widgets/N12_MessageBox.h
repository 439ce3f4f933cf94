#pragma once

#include "CustomDialog.h"

#include <QList>

class AdaptImage;
class QAbstractButton;
class QButtonGroup;
class QLabel;

// The application's only prompt: an icon and title by kind, one line of text and a row
// of buttons; result() tells which button ended it.
class N12_MessageBox : public CustomDialog
{
    Q_OBJECT

public:
    // Button bits: each is also the button's id and the dialog's result.
    enum Button
    {
        Yes = 1,
        No = 2,
        AllYes = 4,
        AllNot = 8,
        Ok = 16,
        Cancel = 32
    };
    // Kinds 1 to 4; any other value shows no icon and keeps the frame's own title.
    enum Kind
    {
        Warning = 1,
        Error = 2,
        Information = 3,
        Question = 4
    };

    N12_MessageBox(const QString& text, int buttons, int kind, QWidget* parent = nullptr);

    int result() const;
    int buttons() const;
    // The buttons in the order they were created (left to right on screen).
    QList<QAbstractButton*> buttonList() const;

    static constexpr int kButtonWidth = 70;
    static constexpr int kButtonHeight = 23;
    static constexpr int kAllPairGap = 20;
    static constexpr int kButtonMargin = 11;
    // How wide a long line of text may make the box.
    static constexpr int kMaxWidth = 600;

public slots:
    void slot_buttonClicked(int id);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_result = 0;
    int m_buttons;
    AdaptImage* m_icon;
    QLabel* m_text;
    QButtonGroup* m_group;
};

// Each builds the message box, runs it modally and destroys it.
void showWarning(const QString& text, QWidget* parent = nullptr);
void showError(const QString& text, QWidget* parent = nullptr);
void showInformation(const QString& text, QWidget* parent = nullptr);
int askOkCancel(const QString& text, QWidget* parent = nullptr);
int askYesNo(const QString& text, QWidget* parent = nullptr);
int showMessage(const QString& text, int buttons, int kind, QWidget* parent = nullptr);
