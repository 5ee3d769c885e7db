#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

// Our icons: every one a valid SVG in the 48 x 48 box that draws something at the 60 x 60 of
// the main menu. With CORVANE_SCREENSHOT_DIR set, a contact sheet of all of them is saved there.
class TestIcons : public QObject
{
    Q_OBJECT

private slots:
    void mainMenuIconsExist()
    {
        for (const char* name : {"spectrum", "timedomain", "levelmeter", "einstellungen", "select_sensor", "new_folder",
                                 "info"}) {
            QVERIFY2(QFile::exists(QStringLiteral(":/resources/svg/%1.svg").arg(QLatin1String(name))), name);
        }
        QVERIFY(QFile::exists(QStringLiteral(":/qss/default.qss")));
    }

    void everyIconRenders()
    {
        QDirIterator it(QStringLiteral(":/resources/svg"));
        QStringList names;
        while (it.hasNext())
            names << it.next();
        names.sort();
        QVERIFY(names.size() >= 20);
        const int cell = 96;
        QImage sheet(cell * 6, cell * ((names.size() + 5) / 6), QImage::Format_ARGB32);
        sheet.fill(Qt::white);
        QPainter sheetPainter(&sheet);
        for (int i = 0; i < names.size(); ++i) {
            QSvgRenderer renderer(names.at(i));
            QVERIFY2(renderer.isValid(), qPrintable(names.at(i)));
            QCOMPARE(renderer.viewBox(), QRect(0, 0, 48, 48));
            QImage image(60, 60, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
            painter.end();
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    opaque += qAlpha(image.pixel(x, y)) > 128;
            QVERIFY2(opaque > 150, qPrintable(names.at(i)));
            // Transparent background: the corners stay clear.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            renderer.render(&sheetPainter, QRectF((i % 6) * cell + 12, (i / 6) * cell + 4, 72, 72));
            sheetPainter.drawText(QRectF((i % 6) * cell, (i / 6) * cell + 76, cell, 20), Qt::AlignCenter,
                                  QFileInfo(names.at(i)).baseName());
        }
        sheetPainter.end();
        const QString dir = qEnvironmentVariable("CORVANE_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QVERIFY(QDir().mkpath(dir));
            QVERIFY(sheet.save(dir + QStringLiteral("/icons.png"), "PNG"));
        }
    }
};

QTEST_MAIN(TestIcons)
#include "tst_icons.moc"
