#include "SegmentedAddrEdit.h"

#include "AddrPartLineEdit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QRegularExpression>

SegmentedAddrEdit::SegmentedAddrEdit(QChar separator, const char* addressPattern, QWidget* parent)
    : QFrame(parent)
    , m_separator(separator)
    , m_addressPattern(QRegularExpression::anchoredPattern(QString::fromLatin1(addressPattern)))
{}

void SegmentedAddrEdit::setUpFields(const QList<AddrPartLineEdit*>& fields)
{
    m_fields = fields;
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < m_fields.size(); ++i) {
        AddrPartLineEdit* field = m_fields.at(i);
        layout->addWidget(field, 0);
        if (i > 0) {
            QWidget::setTabOrder(m_fields.at(i - 1), field);
            m_fields.at(i - 1)->setNextField(field);
            field->setPreviousField(m_fields.at(i - 1));
        }
        connect(field, &QLineEdit::textChanged, this, &SegmentedAddrEdit::slot_textchanged);
        field->installEventFilter(this);
    }
    setStyleSheet(restStyleSheet());
    setFocusProxy(m_fields.value(0));
}

QString SegmentedAddrEdit::text() const
{
    for (const AddrPartLineEdit* field : m_fields) {
        if (!field->text().isEmpty()) {
            return joinedText();
        }
    }
    return QString();
}

bool SegmentedAddrEdit::setText(const QString& address)
{
    const bool complete = m_addressPattern.match(address).hasMatch();
    const QStringList parts = complete ? address.split(m_separator) : QStringList();
    for (int i = 0; i < m_fields.size(); ++i) {
        m_fields.at(i)->setText(parts.value(i));
    }
    return complete;
}

void SegmentedAddrEdit::slot_textchanged(const QString&)
{
    const QString joined = joinedText();
    // Assistive technology reads the whole address from the box, not field by field.
    setAccessibleDescription(text());
    emit textchanged(joined);
    emit textedited(joined);
}

// Focus-out of one field comes before focus-in of the next, so the focused look stays while
// the user moves between the fields and goes only when the focus leaves the editor.
bool SegmentedAddrEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        setStyleSheet(focusedStyleSheet());
    } else if (event->type() == QEvent::FocusOut) {
        setStyleSheet(restStyleSheet());
    }
    return QFrame::eventFilter(watched, event);
}

void SegmentedAddrEdit::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        const QColor colour = isEnabled() ? QColor(172, 172, 172) : QColor(70, 73, 77);
        painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter.setFont(font());
        for (int k = 1; k < m_fields.size(); ++k) {
            painter.drawText(separatorPosition(k), QString(m_separator));
        }
    }
    QFrame::paintEvent(event);
}

// A line edit centres its one line of text vertically in its contents; the fields have no
// frame or padding, so that is their whole height.
int SegmentedAddrEdit::textBaseline() const
{
    if (m_fields.isEmpty()) {
        return 0;
    }
    const QWidget* field = m_fields.first();
    const QFontMetrics metrics(field->font());
    return field->y() + (field->height() - metrics.height() + 1) / 2 + metrics.ascent();
}

QChar SegmentedAddrEdit::separator() const
{
    return m_separator;
}

QString SegmentedAddrEdit::joinedText() const
{
    QStringList texts;
    for (const AddrPartLineEdit* field : m_fields) {
        texts << field->text();
    }
    return texts.join(m_separator);
}

// The sheets select on the concrete class name, so each editor styles only its own box.
QString SegmentedAddrEdit::restStyleSheet() const
{
    const QString name = QString::fromLatin1(metaObject()->className());
    return QStringLiteral(
               "QLineEdit { color:rgb(172,172,172); background: transparent; }"
               "QLineEdit:disabled { color: rgb(70,73,77); background-color:transparent; }"
               "%1{ border: 1px solid rgb(103,111,116); border-radius: 2px; background: rgb(19, 20, 24); }"
               "%1:disabled{ border: 1px solid rgb(45,47,49); border-radius: 2px; background:rgb(28,29,30); }"
               "%1:hover { border: 1px solid rgb(37,96,118); }")
        .arg(name);
}

QString SegmentedAddrEdit::focusedStyleSheet() const
{
    const QString name = QString::fromLatin1(metaObject()->className());
    return QStringLiteral("QLineEdit { color:white; background: transparent; }"
                          "%1{ border: 1px solid rgb(56,145,180); border-radius: 2px; background:rgb(0,30,36);}")
        .arg(name);
}
