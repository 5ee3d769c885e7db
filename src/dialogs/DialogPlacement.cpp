#include "dialogs/DialogPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

QWidget* existingMainWindow()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window->inherits("MainWindow") || window->objectName() == QLatin1String("MainWindow"))
            return window;
    }
    return nullptr;
}

} // namespace

void DialogPlacement::sizeToContents(QWidget* dialog)
{
    dialog->adjustSize();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    dialog->adjustSize();
}

void DialogPlacement::centreOnMainWindow(QWidget* dialog)
{
    QRect area;
    if (QWidget* mainWindow = existingMainWindow())
        area = mainWindow->geometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->geometry();
    else
        return;
    const int x = area.x() + (area.width() - dialog->width()) / 2;
    const int y = area.y() + (area.height() - dialog->height()) / 2;
    dialog->move(x, y);
}
