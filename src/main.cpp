#include "MainWindow.h"
#include "util/EventHandler.h"
#include "util/Platform.h"

#include <QApplication>
#include <QDebug>
#include <QFontDatabase>

int main(int argc, char* argv[])
{
    // Off the device (the board simulator, a developer's desktop) the board's files live below
    // another root; the device itself never sets this.
    const QByteArray root = qgetenv("CORVANE_ROOT");
    if (!root.isEmpty())
        Platform::setRoot(QString::fromLocal8Bit(root));

    QApplication application(argc, argv);

    // Page keys, key repeat, barcodes and the screenshot chord, before any window exists.
    application.installEventFilter(EventHandler::instance());

    const QFontDatabase fonts;
    qDebug() << fonts.families(QFontDatabase::Any);
    qDebug() << fonts.families(QFontDatabase::Japanese);

    MainWindow::instance()->show();
    return application.exec();
}
