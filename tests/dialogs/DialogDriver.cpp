#include "DialogDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMap>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QTest>
#include <QTimer>

namespace DialogDriver {

void applyStyleSheet()
{
    QFile file(QStringLiteral(":/qss/default.qss"));
    if (file.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
}

void whenShown(QDialog* dialog, std::function<void()> action)
{
    QTimer::singleShot(10, dialog, [dialog, action]() {
        if (dialog->isVisible() && QApplication::activeModalWidget() == dialog) {
            // The offscreen platform does not always activate a window that is shown again.
            QApplication::setActiveWindow(dialog);
            action();
        } else
            whenShown(dialog, action);
    });
}

void tap(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
}

void tap(QListWidget* list, QListWidgetItem* item)
{
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(item).center());
}

void pressKey(QWidget* dialog, int key, bool autoRepeat)
{
    QWidget* target = dialog->focusWidget();
    if (target == nullptr || !target->isVisible())
        target = dialog;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(target, &press);
    if (!autoRepeat) {
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(), false);
        QApplication::sendEvent(target, &release);
    }
}

int run(QDialog* dialog, const QString& script, const std::function<int()>& exec, const std::function<void()>& probe,
        const std::function<void(const QString&)>& other)
{
    static const QMap<QString, int> keys {{"Up", Qt::Key_Up},         {"Down", Qt::Key_Down},
                                          {"Left", Qt::Key_Left},     {"Right", Qt::Key_Right},
                                          {"Return", Qt::Key_Return}, {"Escape", Qt::Key_Escape}};
    whenShown(dialog, [=]() {
        for (const QString& token : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const bool held = token.endsWith(QLatin1Char('*'));
            const QString name = held ? token.chopped(1) : token;
            if (keys.contains(name)) {
                pressKey(dialog, keys.value(name), held);
            } else if (token.startsWith(QLatin1Char('@'))) {
                if (auto* button = dialog->findChild<QAbstractButton*>(token.mid(1)))
                    tap(button);
                else
                    qWarning("DialogDriver::run(): no button %s", qPrintable(token));
            } else if (token.startsWith(QLatin1Char('#'))) {
                for (QListWidget* list : dialog->findChildren<QListWidget*>())
                    if (list->isVisible()) // the dialog's list: a dialog shows one at most
                        tap(list, list->item(token.mid(1).toInt()));
            } else if (token == QLatin1String("?")) {
                if (probe)
                    probe();
            } else if (other) {
                other(token);
            }
            QCoreApplication::processEvents();
            if (!dialog->isVisible())
                return;
        }
        dialog->reject();
    });
    return exec();
}

} // namespace DialogDriver
