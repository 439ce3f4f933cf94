#include "PortLineEdit.h"

#include <QKeyEvent>
#include <QValidator>

namespace {
constexpr unsigned long long kHighestPort = 65535;

// Plain ASCII digits and nothing else, whatever the locale. A locale-aware integer
// validator would let group separators ("1,000", "1.000", "1 000") and a pasted sign
// through, and those texts read back as 0, so a port filter would silently pick the
// wrong devices. A number above the highest port can never become valid by typing
// more, so it is refused outright rather than left as intermediate.
class PortValidator : public QValidator
{
public:
    explicit PortValidator(QObject* parent)
        : QValidator(parent)
    {}

    State validate(QString& input, int& /*pos*/) const override
    {
        if (input.isEmpty()) {
            return Intermediate;
        }
        for (const QChar c : input) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                return Invalid;
            }
        }
        bool isNumber = false;
        const qulonglong value = input.toULongLong(&isNumber);
        return isNumber && value <= kHighestPort ? Acceptable : Invalid;
    }
};
} // namespace

PortLineEdit::PortLineEdit(QWidget* parent)
    : QMXLineEdit(parent)
{
    setValidator(new PortValidator(this));
}

// The validator already refuses a sign; swallowing the key as well keeps the cursor
// and selection exactly as they were, as if the key had never been pressed.
void PortLineEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Plus) {
        event->accept();
        return;
    }
    QMXLineEdit::keyPressEvent(event);
}
