#include "dialogs/TextEditEventFilter.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

TextEditEventFilter::TextEditEventFilter(QObject* parent)
    : QObject(parent)
{
}

bool TextEditEventFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* lineEdit = qobject_cast<QLineEdit*>(watched);
    if (lineEdit == nullptr)
        return false;
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Up:
        lineEdit->cursorBackward(false);
        return true;
    case Qt::Key_Down:
        lineEdit->cursorForward(false);
        return true;
    default:
        return false;
    }
}
