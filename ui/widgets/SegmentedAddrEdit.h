#pragma once

#include <QFrame>
#include <QList>
#include <QRegularExpression>

class AddrPartLineEdit;

// The framed box shared by IpAddrEdit and MacAddrEdit: borderless fields side by side, the
// separators painted between them, one text for the whole address and a focused look that
// holds while the focus moves between its own fields.
class SegmentedAddrEdit : public QFrame
{
    Q_OBJECT

public:
    // Empty when every field is empty, else the field texts joined by the separator.
    QString text() const;
    // Fills the fields from a complete address; anything else clears them and gives false.
    bool setText(const QString& address);

signals:
    // Both carry the joined field texts, also when all are empty (only separators then).
    void textchanged(const QString& text);
    void textedited(const QString& text);

private slots:
    void slot_textchanged(const QString& text);

protected:
    SegmentedAddrEdit(QChar separator, const char* addressPattern, QWidget* parent);

    // Called once by the concrete editor's constructor with its fields in order.
    void setUpFields(const QList<AddrPartLineEdit*>& fields);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    // Where separator k (1 for the one after the first field) is drawn: the left end of its baseline.
    virtual QPointF separatorPosition(int k) const = 0;
    // The baseline of the fields' text, so a separator sits on the line the digits stand on.
    int textBaseline() const;
    QChar separator() const;

private:
    QString joinedText() const;
    QString restStyleSheet() const;
    QString focusedStyleSheet() const;

    QChar m_separator;
    // The whole text must match: no surrounding spaces, no other separators.
    QRegularExpression m_addressPattern;
    QList<AddrPartLineEdit*> m_fields;
};
