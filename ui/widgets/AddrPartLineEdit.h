#pragma once

#include <QLineEdit>

// One field of a segmented address editor (an IPv4 octet or a MAC pair). The two kinds share
// their key handling and focus moves and differ only in what the Format below says.
class AddrPartLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    struct Format
    {
        int maxLength;
        // What the field accepts while typing (a full match is a complete field).
        const char* pattern;
        int fieldCount;
        // Committed by an input method, this text (or its wide form) moves on like the "." key.
        QChar separator;
        QChar wideSeparator;
        // "%1 of %2" style translation key for the field's accessible name.
        const char* accessibleNameKey;
    };

    AddrPartLineEdit(int index, const Format& format, QWidget* parent);

    int index() const;
    void setNextField(AddrPartLineEdit* next);
    void setPreviousField(AddrPartLineEdit* previous);

private slots:
    void text_edited(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // True when the user's edit left a complete field, so typing goes on in the next one.
    virtual bool completesField(const QString& text) const = 0;

private:
    // Whether putting text in place of the selection (or at the cursor) leaves a field the
    // validator takes, whole: a paste is taken entirely or not at all, never cut to fit.
    bool acceptsWhole(const QString& text, int position, int replaced) const;
    bool acceptsAtCursor(const QString& text) const;
    void advanceToNext();
    void handleBackspace();
    enum CursorPlace
    {
        CursorAtStart,
        CursorAtEnd
    };
    static void focusWithCursor(AddrPartLineEdit* field, CursorPlace place);

    int m_index;
    Format m_format;
    AddrPartLineEdit* m_nextField = nullptr;
    AddrPartLineEdit* m_previousField = nullptr;
};
