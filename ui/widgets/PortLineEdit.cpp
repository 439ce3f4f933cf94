#include "PortLineEdit.h"

#include <QIntValidator>
#include <QKeyEvent>

PortLineEdit::PortLineEdit(QWidget* parent)
    : QMXLineEdit(parent)
{
    setValidator(new QIntValidator(0, 65535, this));
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
