#include "AddrPartLineEdit.h"

#include "LanguageSrc.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

AddrPartLineEdit::AddrPartLineEdit(int index, const Format& format, QWidget* parent)
    : QLineEdit(parent)
    , m_index(index)
    , m_format(format)
{
    setMaxLength(format.maxLength);
    setFrame(false);
    setAlignment(Qt::AlignCenter);
    setValidator(new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(format.pattern)), this));
    setContextMenuPolicy(Qt::NoContextMenu);
    // A screen reader announces which part of the address the cursor is in.
    const QString name = getText(format.accessibleNameKey);
    if (name.contains(QLatin1String("%1"))) {
        setAccessibleName(name.arg(index + 1).arg(format.fieldCount));
    }
    connect(this, &QLineEdit::textEdited, this, &AddrPartLineEdit::text_edited);
}

int AddrPartLineEdit::index() const
{
    return m_index;
}

void AddrPartLineEdit::setNextField(AddrPartLineEdit* next)
{
    m_nextField = next;
}

void AddrPartLineEdit::setPreviousField(AddrPartLineEdit* previous)
{
    m_previousField = previous;
}

void AddrPartLineEdit::text_edited(const QString& text)
{
    if (completesField(text)) {
        advanceToNext();
    }
}

bool AddrPartLineEdit::acceptsWhole(const QString& text, int position, int replaced) const
{
    QString result = this->text();
    result.replace(position, replaced, text);
    if (result.size() > maxLength()) {
        return false;
    }
    int cursor = position + static_cast<int>(text.size());
    return validator() == nullptr || validator()->validate(result, cursor) != QValidator::Invalid;
}

bool AddrPartLineEdit::acceptsAtCursor(const QString& text) const
{
    if (hasSelectedText()) {
        return acceptsWhole(text, selectionStart(), static_cast<int>(selectedText().size()));
    }
    return acceptsWhole(text, cursorPosition(), 0);
}

// The moves happen first and the key still reaches the line edit, whose validator refuses
// a typed separator; so a field never holds one.
void AddrPartLineEdit::keyPressEvent(QKeyEvent* event)
{
    // The line edit would cut a pasted address to the field's length and take its first part.
    if (event->matches(QKeySequence::Paste) && !acceptsAtCursor(QGuiApplication::clipboard()->text())) {
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Period:
        if (!text().isEmpty()) {
            advanceToNext();
        }
        break;
    case Qt::Key_Backspace:
        if (text().isEmpty()) {
            handleBackspace();
        }
        break;
    case Qt::Key_Left:
        if (m_previousField && cursorPosition() == 0) {
            focusWithCursor(m_previousField, CursorAtEnd);
        }
        break;
    case Qt::Key_Right:
        if (m_nextField && cursorPosition() == text().length()) {
            focusWithCursor(m_nextField, CursorAtStart);
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

void AddrPartLineEdit::focusInEvent(QFocusEvent* event)
{
    selectAll();
    QLineEdit::focusInEvent(event);
}

// Input methods (Chinese ones in particular) commit a separator as text rather than as a key,
// often in its wide form.
void AddrPartLineEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    QLineEdit::inputMethodEvent(event);
    if (commit.size() == 1 && (commit.at(0) == m_format.separator || commit.at(0) == m_format.wideSeparator) &&
        !text().isEmpty()) {
        advanceToNext();
    }
}

void AddrPartLineEdit::advanceToNext()
{
    if (!m_nextField) {
        return;
    }
    m_nextField->setFocus(Qt::OtherFocusReason);
    // Also when the window is not active yet and the focus-in comes later.
    m_nextField->selectAll();
}

// Backspace in an empty field goes on deleting in the previous one.
void AddrPartLineEdit::handleBackspace()
{
    if (!m_previousField) {
        return;
    }
    QString previousText = m_previousField->text();
    if (!previousText.isEmpty()) {
        previousText.chop(1);
        m_previousField->setText(previousText);
    }
    focusWithCursor(m_previousField, CursorAtEnd);
}

void AddrPartLineEdit::focusWithCursor(AddrPartLineEdit* field, CursorPlace place)
{
    field->setFocus(Qt::OtherFocusReason);
    // Focusing selects the whole field; the cursor goes where typing continues, unselected.
    if (place == CursorAtEnd) {
        field->end(false);
    } else {
        field->home(false);
    }
}

// A middle click pastes the selection where the platform has one.
void AddrPartLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection() && !isReadOnly()) {
        const int position = cursorPositionAt(event->position().toPoint());
        if (!acceptsWhole(clipboard->text(QClipboard::Selection), position, 0)) {
            event->accept();
            return;
        }
    }
    QLineEdit::mouseReleaseEvent(event);
}

void AddrPartLineEdit::dragMoveEvent(QDragMoveEvent* event)
{
    QLineEdit::dragMoveEvent(event);
    const QMimeData* dropped = event->mimeData();
    if (dropped == nullptr || !acceptsWhole(dropped->text(), cursorPositionAt(event->position().toPoint()), 0)) {
        event->ignore();
    }
}

void AddrPartLineEdit::dropEvent(QDropEvent* event)
{
    const QMimeData* dropped = event->mimeData();
    if (dropped == nullptr || !acceptsWhole(dropped->text(), cursorPositionAt(event->position().toPoint()), 0)) {
        event->ignore();
        return;
    }
    QLineEdit::dropEvent(event);
}
