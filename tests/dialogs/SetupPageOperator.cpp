#include "SetupPageOperator.h"

#include "DialogDriver.h"
#include "dialogs/ValueEditDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "util/InfoMessageBox.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>

SetupPageOperator::SetupPageOperator()
{
    // Notices are seen as they are shown: a progress notice may be gone before the next poll.
    qApp->installEventFilter(this);
    startTimer(5);
}

bool SetupPageOperator::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::Show && qobject_cast<QMessageBox*>(object))
        notices << static_cast<QMessageBox*>(object)->text();
    return QObject::eventFilter(object, event);
}

void SetupPageOperator::timerEvent(QTimerEvent*)
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(widget) && widget->isVisible() && widget != InfoMessageBox::progress())
            static_cast<QMessageBox*>(widget)->accept();
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || qobject_cast<QMessageBox*>(dialog) || m_answers.isEmpty())
        return;
    QApplication::setActiveWindow(dialog);
    const QVariant value = m_answers.takeFirst();
    offered = QStringList{dialog->findChild<QLabel*>(QStringLiteral("labelStatusBar"))->text()};
    int key = value.isValid() ? Qt::Key_Return : Qt::Key_Escape;
    QWidget* target = dialog;
    if (auto* keypad = qobject_cast<ValueEditDialog*>(dialog)) {
        keypad->updateValue(99999999);
        offered << dialog->findChild<QLabel*>(QStringLiteral("labelStatusBar"))->text();
        keypad->updateValue(value.toInt());
        key = dialog->findChild<QPushButton*>(QStringLiteral("ButtonOk"))->isEnabled() ? key : int(Qt::Key_Escape);
    }
    if (auto* list = dialog->findChild<QListWidget*>()) {
        for (int i = 0; i < list->count(); ++i)
            offered << list->item(i)->text() + (list->item(i)->flags() & Qt::ItemIsEnabled ? "" : "-");
        for (int i = 0; i < list->count() && qobject_cast<ValueSelectDialog*>(dialog) && value.isValid(); ++i) {
            auto* option = static_cast<ValueSelectDialog::Option*>(list->item(i));
            if (option->value() == value || option->text() == value.toString())
                return DialogDriver::tap(list, option);
        }
        key = qobject_cast<ValueSelectDialog*>(dialog) ? int(Qt::Key_Escape) : key;
    } else if (auto* slider = dialog->findChild<QSlider*>()) {
        slider->setFocus();
        slider->setValue(qAbs(value.toInt()));
        target = slider;
        key = value.toInt() < 0 ? Qt::Key_Escape : key;
    } else if (auto* line = dialog->findChild<QLineEdit*>(QStringLiteral("lineEditText"))) {
        line->setCursorPosition(value.toList().value(0).toInt());
        for (const QVariant& step : value.toList().mid(1))
            DialogDriver::pressKey(dialog, step.toInt());
        offered << line->displayText();
        return;
    }
    for (QDateTimeEdit* editor : dialog->findChildren<QDateTimeEdit*>()) {
        if (!editor->isVisible() || !value.isValid())
            continue;
        editor->setDateTime(value.type() == QVariant::Time ? QDateTime(editor->date(), value.toTime())
                                                           : QDateTime(value.toDate(), editor->time()));
        for (int i = 1; i < editor->sectionCount(); ++i)
            DialogDriver::pressKey(dialog, Qt::Key_Return);
    }
    DialogDriver::pressKey(target, key);
}
