#include "MainWindow.h"
#include "util/Platform.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Off the device (the board simulator, a developer's desktop) the board's files live below
    // another root; the device itself never sets this.
    const QByteArray root = qgetenv("CORVANE_ROOT");
    if (!root.isEmpty())
        Platform::setRoot(QString::fromLocal8Bit(root));

    QApplication application(argc, argv);
    MainWindow::instance()->show();
    return application.exec();
}
