#include "dialogs/HelpDialog.h"
#include "dialogs/InfoDialog.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

// The help pages and the sensor page: navigation, their content, and leaving them.
class TestHelpDialog : public QObject
{
    Q_OBJECT

    static QPushButton* button(QWidget* page, const char* name) { return page->findChild<QPushButton*>(name); }
    static QTextBrowser* browser(QWidget* page) { return page->findChild<QTextBrowser*>("webView"); }

private slots:
    // Each step: a button name, a key ("Return"), or "link:<file>" (a tap on a link); then the
    // page index and which of Home, Back, Forward are enabled.
    void navigation_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("states");
        QTest::newRow("Return and Forward turn the pages, up to the last")
            << (QString("Return ").repeated(4) + QString("ForwardButton ").repeated(5) + "Return BackButton HomeButton")
                   .split(' ')
            << QStringList {"1 111", "2 111", "3 111", "4 111", "5 111", "6 111",
                            "7 111", "8 111", "9 110", "9 110", "8 111", "0 001"};
        QTest::newRow("links keep the buttons right") << QStringList {"link:page05.html", "ForwardButton", "link:tev_und_hfct_sensoren.html"}
                                                      << QStringList {"4 111", "5 111", "5 111"};
    }
    void navigation()
    {
        QFETCH(QStringList, steps);
        HelpDialog help;
        help.show();
        help.showHelp();
        QCOMPARE(help.currentPage(), 0);
        QVERIFY(!button(&help, "BackButton")->isEnabled() && button(&help, "ForwardButton")->isEnabled());
        QVERIFY(browser(&help)->source().toLocalFile().endsWith("page01.html"));
        const QString folder = QFileInfo(browser(&help)->source().toLocalFile()).absolutePath();
        QStringList states;
        for (const QString& step : steps) {
            if (step.startsWith("link:"))
                browser(&help)->setSource(QUrl::fromLocalFile(folder + "/" + step.mid(5)));
            else if (step == "Return")
                QTest::keyClick(browser(&help), Qt::Key_Return);
            else
                QTest::mouseClick(button(&help, qPrintable(step)), Qt::LeftButton);
            QString enabled;
            for (const char* name : {"HomeButton", "BackButton", "ForwardButton"})
                enabled += button(&help, name)->isEnabled() ? "1" : "0";
            states << QString("%1 %2").arg(help.currentPage()).arg(enabled);
            if (help.currentPage() == 9)
                QVERIFY(browser(&help)->source().toLocalFile().endsWith("page10.html"));
        }
        QTEST(states, "states");
        // Other keys than Escape do not leave (Exit, Escape and reopening: app.mainwindow's routes).
        QSignalSpy exitSpy(&help, &HelpDialog::exit);
        QTest::keyClick(browser(&help), Qt::Key_Down);
        QCOMPARE(exitSpy.count(), 0);
    }

    // Every page has a picture that loads and fits, and every link and picture it names exists.
    void pagesAndTheirReferences()
    {
        const QRegularExpression reference("(?:src|href)=\"([^\"]+)\"");
        const QStringList pages = QDir(":/resources/help").entryList({"*.html"});
        QCOMPARE(pages.size(), 11); // ten help pages and the sensor page
        for (const QString& name : pages) {
            QFile file(":/resources/help/" + name);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
            const QString html = QString::fromUtf8(file.readAll());
            int pictures = 0;
            for (auto it = reference.globalMatch(html); it.hasNext();) {
                const QString target = it.next().captured(1);
                QVERIFY2(QFile::exists(":/resources/help/" + target), qPrintable(name + ": " + target));
                const QImage image(":/resources/help/" + target);
                QVERIFY2(!target.endsWith(".png") || (!image.isNull() && image.width() <= 600), qPrintable(target));
                pictures += target.endsWith(".png");
            }
            QVERIFY2(pictures > 0, qPrintable(name));
        }
    }

    void sensorPage()
    {
        InfoDialog* info = InfoDialog::instance();
        info->show();
        info->showDocument("Sensor connection", ":resources/help/tev_und_hfct_sensoren.html");
        auto* headline = info->findChild<QLabel*>("labelHeadline");
        QVERIFY(headline->isVisible() && headline->text() == "Sensor connection");
        QVERIFY(!browser(info)->document()->resource(QTextDocument::ImageResource,
                                                      browser(info)->source().resolved(QUrl("tev_und_hfct_sensoren.png"))).isNull());
        info->showDocument(QString(), ":resources/help/page04.html");
        QVERIFY(!headline->isVisible());
        QSignalSpy exitSpy(info, &InfoDialog::exit);
        QTest::mouseClick(button(info, "Button"), Qt::LeftButton);
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Up})
            QTest::keyClick(info, key);
        QCOMPARE(exitSpy.count(), 2);
        info->hide();
    }
};

QTEST_MAIN(TestHelpDialog)
#include "tst_helpdialog.moc"
