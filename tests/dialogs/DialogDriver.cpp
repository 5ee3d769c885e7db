#include "DialogDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QPixmap>
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

void screenshot(QWidget* dialog, const QString& name)
{
    const QString dir = qEnvironmentVariable("CORVANE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    dialog->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}

} // namespace DialogDriver
