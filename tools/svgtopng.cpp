// corvane-svgtopng IN.svg OUT.png WIDTH HEIGHT: renders one of our SVG drawings into a PNG of the
// given size (transparent background), for resources that have to be PNG files.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList args = application.arguments();
    QTextStream err(stderr);
    if (args.size() != 5) {
        err << "usage: corvane-svgtopng IN.svg OUT.png WIDTH HEIGHT\n";
        return 2;
    }
    QSvgRenderer renderer(args.at(1));
    const int width = args.at(3).toInt();
    const int height = args.at(4).toInt();
    if (!renderer.isValid() || width <= 0 || height <= 0) {
        err << "cannot render " << args.at(1) << "\n";
        return 1;
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    return image.save(args.at(2), "png") ? 0 : 1;
}
