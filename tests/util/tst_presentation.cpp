// What the operator sees beside the screens: the installed languages and their fonts, the
// notices, and our icons.
#include "common/TestMain.h"
#include "common/TestRoot.h"
#include "util/InfoMessageBox.h"
#include "util/LanguageManager.h"

#include <QDirIterator>
#include <QPainter>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QtTest>

class TestPresentation : public QObject
{
    Q_OBJECT

    TestRoot m_root;
    QByteArray m_germanQm;
    void write(const QString& code, const QByteArray& cfg, bool translation = true)
    {
        QVERIFY(m_root.writeFile("/usr/lib/language/corvane_" + code + ".cfg", cfg));
        if (translation)
            QVERIFY(m_root.writeFile("/usr/lib/language/corvane_" + code + ".qm", m_germanQm));
    }

    static int visibleBoxes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            count += qobject_cast<QMessageBox*>(widget) && widget->isVisible();
        return count;
    }

private slots:
    void initTestCase()
    {
        QFile qm(QCoreApplication::applicationDirPath() + "/../translations/corvane_de.qm");
        QVERIFY2(qm.open(QIODevice::ReadOnly), qPrintable(qm.fileName()));
        m_germanQm = qm.readAll();
    }

    // Which description files count: a translation, an English and a native name are needed.
    // Switching exchanges the translation and announces it; the font rule in the style sheet is
    // replaced, never added twice.
    void descriptionFilesAndSwitching()
    {
        LanguageManager* manager = LanguageManager::instance();
        manager->reloadLanguages();
        QVERIFY(manager->languages().isEmpty() && !manager->changeLanguage("en"));
        write("en", "name=English\nnative=English\n", false);
        write("de", "name=German\nnative=Deutsch\nfont=DejaVu Serif\n");
        write("kb", "name=Mono\nnative=Mono\nfont=DejaVu Sans Mono\n");
        write("kc", "name=Missing\nnative=Missing\nfont=No Such Family\n");
        write("fr", "name=French\nnative=Francais\n", false);
        write("it", "name=Italian\n");
        write("es", "native=Espanol\n");
        write("pl", "NAME=Polish\nNative=Polski\nFONT=DejaVu Serif\n"); // keys in any case
        write("pt", "name=Portuguese, Brazil\nnative=Portugu\xc3\xaas\ncode=pt_BR\n");
        QDir().mkpath(m_root.path("/usr/lib/language/corvane_sv.cfg")); // a folder, not a file
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Language fr ignored, translation file .*corvane_fr.qm not exists!"));
        QTest::ignoreMessage(QtWarningMsg, "Language it ignored, no native language name found (i.e. native=\"..\")!");
        QTest::ignoreMessage(QtWarningMsg, "Language es ignored, no english language name found in configuration file (i.e. name=\"..\")!");
        manager->reloadLanguages();
        QStringList codes;
        for (const QVariant& language : manager->languages())
            codes << language.toMap().value("code").toString();
        codes.sort();
        QCOMPARE(codes, QStringList({"de", "en", "kb", "kc", "pl", "pt_BR"}));
        QCOMPARE(manager->language("de").value("file").toString(), m_root.path("/usr/lib/language/corvane_de.qm"));
        QCOMPARE(manager->language("pl").value("font").toString(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(manager->language("pt_BR").value("name").toString(), QStringLiteral("Portuguese, Brazil"));
        QSignalSpy changed(manager, &LanguageManager::languageChanged);
        const QString base = "QLabel { color: #222222; }\n";
        qApp->setStyleSheet(base);
        QVERIFY(manager->changeLanguage("de"));
        QCOMPARE(QCoreApplication::translate("SetupDialog", "Setup"), QStringLiteral("Einstellungen"));
        QCOMPARE(qApp->styleSheet(), base + "/*LANGUAGEMANAGER_BEGIN*/QWidget { font-family: DejaVu Serif }/*LANGUAGEMANAGER_END*/");
        QVERIFY(!manager->changeLanguage("xx") && !manager->changeLanguage(QString()));
        QCOMPARE(changed.count(), 1);
        QVERIFY(manager->changeLanguage("kb"));
        const QString sheet = qApp->styleSheet();
        QVERIFY(sheet.startsWith(base) && sheet.count("LANGUAGEMANAGER_BEGIN") == 1 && !sheet.contains("DejaVu Serif"));
        // English has no translation file: the texts fall back, the change is still announced, and
        // a language without a font keeps the rule; an unknown font leaves the sheet alone.
        QVERIFY(!manager->changeLanguage("en"));
        QCOMPARE(QCoreApplication::translate("SetupDialog", "Setup"), QStringLiteral("Setup"));
        QCOMPARE(changed.last().at(0).toString(), QStringLiteral("en"));
        QCOMPARE(qApp->styleSheet(), sheet);
        QTest::ignoreMessage(QtWarningMsg, "Font No Such Family not found!");
        QVERIFY(manager->changeLanguage("kc"));
        QCOMPARE(qApp->styleSheet(), sheet);
        // An end marker without a begin marker is left as it is.
        qApp->setStyleSheet(base + "/*LANGUAGEMANAGER_END*/");
        QVERIFY(manager->changeLanguage("de"));
        QCOMPARE(qApp->styleSheet().count("LANGUAGEMANAGER_END"), 2);
    }

    // A timed notice blocks for its time, frameless, on top and without buttons. One progress
    // notice at a time; one closed elsewhere is forgotten.
    void notices()
    {
        QString seen;
        QTimer::singleShot(50, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            seen = box ? box->text() + QString::number(box->buttons().size() + int(box->windowFlags() & Qt::FramelessWindowHint) +
                                                       int(box->windowFlags() & Qt::WindowStaysOnTopHint))
                       : "none";
        });
        QElapsedTimer clock;
        clock.start();
        InfoMessageBox::information("Folder 3", 300, QString(), QMessageBox::Information);
        QVERIFY2(clock.elapsed() >= 290, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(seen, QString("Folder 3") + QString::number(int(Qt::FramelessWindowHint) + int(Qt::WindowStaysOnTopHint)));
        QCOMPARE(visibleBoxes(), 0);
        InfoMessageBox::showProgress("Copying data...");
        QPointer<QMessageBox> first = InfoMessageBox::progress();
        QVERIFY(first && first->isVisible() && first->buttons().isEmpty());
        InfoMessageBox::showProgress("Clearing data...", "t", QMessageBox::Warning);
        QCOMPARE(visibleBoxes(), 1);
        QVERIFY(first.isNull());
        QCOMPARE(InfoMessageBox::progress()->text(), QStringLiteral("Clearing data..."));
        QCOMPARE(InfoMessageBox::progress()->icon(), QMessageBox::Warning);
        InfoMessageBox::closeProgress();
        QCOMPARE(visibleBoxes(), 0);
        QVERIFY(!InfoMessageBox::progress());
        InfoMessageBox::showProgress("Saving data...");
        InfoMessageBox::progress()->accept();
        QCOMPARE(visibleBoxes(), 0);
        QVERIFY(!InfoMessageBox::progress());
        InfoMessageBox::closeProgress(); // must not touch the deleted notice
    }

    // Every icon a valid SVG in the 48 x 48 box that draws something at the main menu's 60 x 60,
    // on a transparent background.
    void icons()
    {
        int count = 0;
        for (QDirIterator it(":/resources/svg"); it.hasNext(); ++count) {
            const QString name = it.next();
            QSvgRenderer renderer(name);
            QVERIFY2(renderer.isValid() && renderer.viewBox() == QRect(0, 0, 48, 48), qPrintable(name));
            QImage image(60, 60, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
            painter.end();
            const QImage alpha = image.convertToFormat(QImage::Format_Alpha8); // 60 x 60 bytes, no padding
            const auto opaque = std::count_if(alpha.bits(), alpha.bits() + 3600, [](uchar a) { return a > 128; });
            QVERIFY2(opaque > 150 && qAlpha(image.pixel(0, 0)) == 0, qPrintable(name));
        }
        QVERIFY(count >= 20);
    }
};

CORVANE_TEST_MAIN(TestPresentation)
#include "tst_presentation.moc"
