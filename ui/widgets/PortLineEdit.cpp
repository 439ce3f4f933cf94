#include "PortLineEdit.h"

#include <QIntValidator>
#include <QKeyEvent>

namespace {
// QIntValidator treats a number above the top with no more digits than the top as
// intermediate, so "65536" could be typed and left in the field. A port above 65535 can
// never become valid by typing more, so it is refused outright.
class PortValidator : public QIntValidator
{
public:
    explicit PortValidator(QObject* parent)
        : QIntValidator(0, 65535, parent)
    {}

    State validate(QString& input, int& pos) const override
    {
        const State state = QIntValidator::validate(input, pos);
        if (state != Intermediate || input.isEmpty()) {
            return state;
        }
        bool isNumber = false;
        const qlonglong value = input.toLongLong(&isNumber);
        return isNumber && value > top() ? Invalid : state;
    }
};
} // namespace

PortLineEdit::PortLineEdit(QWidget* parent)
    : QMXLineEdit(parent)
{
    setValidator(new PortValidator(this));
}

// The integer validator lets a leading plus sign through as an intermediate state;
// a port never has a sign, so the key is swallowed before the editor sees it.
void PortLineEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Plus) {
        event->accept();
        return;
    }
    QMXLineEdit::keyPressEvent(event);
}
