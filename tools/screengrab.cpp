// corvane-screengrab: saves the whole X screen (for example the Xvfb screen the instrument runs
// on) as a PNG. Used to take the README's pictures from the real program:
//   corvane-screengrab OUT.png [DELAY_MS]
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>
#include <QThread>

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 2) {
        QTextStream(stderr) << "usage: corvane-screengrab OUT.png [DELAY_MS]\n";
        return 2;
    }
    if (arguments.size() > 2)
        QThread::msleep(arguments.at(2).toULong());
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap picture = screen ? screen->grabWindow(0) : QPixmap();
    if (picture.isNull() || !picture.save(arguments.at(1), "PNG")) {
        QTextStream(stderr) << "corvane-screengrab: no picture of the screen\n";
        return 1;
    }
    return 0;
}
