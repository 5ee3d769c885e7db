#include "SetupPageOperator.h"

#include "DialogDriver.h"
#include "dialogs/ValueEditDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "dialogs/ValueSliderDialog.h"
#include "util/InfoMessageBox.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

SetupPageOperator::SetupPageOperator()
{
    // Notices are seen as they are shown: a progress notice may be gone before the next poll.
    qApp->installEventFilter(this);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &SetupPageOperator::poll);
    timer->start(5);
}

void SetupPageOperator::choose(const QVariant& value)
{
    then([this, value](QDialog* dialog) { answer(dialog, value); });
}

void SetupPageOperator::then(std::function<void(QDialog*)> action)
{
    m_answers.append(action);
}

bool SetupPageOperator::eventFilter(QObject* object, QEvent* event)
{
    auto* box = qobject_cast<QMessageBox*>(object);
    if (box != nullptr && event->type() == QEvent::Show)
        notices << box->text();
    return QObject::eventFilter(object, event);
}

void SetupPageOperator::poll()
{
    // Timed notices are closed at once.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible() && box != InfoMessageBox::progress())
            box->accept();
    }
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || qobject_cast<QMessageBox*>(dialog) || m_seen.contains(dialog) || m_answers.isEmpty())
        return;
    m_seen.append(dialog);
    QApplication::setActiveWindow(dialog);
    if (QLabel* prompt = dialog->findChild<QLabel*>(QStringLiteral("labelStatusBar")))
        prompts << prompt->text();
    options.clear();
    if (auto* list = dialog->findChild<QListWidget*>()) {
        for (int i = 0; i < list->count(); ++i)
            options << list->item(i)->text();
    }
    m_answers.takeFirst()(dialog);
    m_seen.removeAll(dialog);
}

void SetupPageOperator::answer(QDialog* dialog, const QVariant& value)
{
    if (auto* editor = qobject_cast<ValueEditDialog*>(dialog)) {
        editor->updateValue(99999999);
        ranges << dialog->findChild<QLabel*>(QStringLiteral("labelStatusBar"))->text();
        editor->updateValue(value.isValid() ? value.toInt() : 0);
        const bool confirm = value.isValid() && dialog->findChild<QPushButton*>(QStringLiteral("ButtonOk"))->isEnabled();
        DialogDriver::pressKey(dialog, confirm ? Qt::Key_Return : Qt::Key_Escape);
    } else if (auto* selector = qobject_cast<ValueSelectDialog*>(dialog)) {
        auto* list = selector->findChild<QListWidget*>(QStringLiteral("ListWidget"));
        for (int i = 0; i < list->count() && value.isValid(); ++i) {
            if (static_cast<ValueSelectDialog::Option*>(list->item(i))->value() == value) {
                DialogDriver::tap(list, list->item(i));
                return;
            }
        }
        DialogDriver::pressKey(dialog, Qt::Key_Escape);
    } else if (qobject_cast<ValueSliderDialog*>(dialog)) {
        auto* slider = dialog->findChild<QSlider*>(QStringLiteral("Slider"));
        slider->setFocus();
        if (value.isValid())
            slider->setValue(value.toInt());
        DialogDriver::pressKey(slider, value.isValid() ? Qt::Key_Return : Qt::Key_Escape);
    } else {
        DialogDriver::pressKey(dialog, Qt::Key_Escape);
    }
}
