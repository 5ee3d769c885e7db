#include "dialogs/HelpDialog.h"
#include "dialogs/InfoDialog.h"

#include <QDir>
#include <QFile>
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

private:
    static QPushButton* button(QWidget* page, const char* name) { return page->findChild<QPushButton*>(name); }
    static QTextBrowser* browser(QWidget* page) { return page->findChild<QTextBrowser*>("webView"); }

private slots:
    void helpOpensOnFirstPage()
    {
        HelpDialog help;
        help.resize(640, 440);
        help.show();
        help.showHelp();
        QCOMPARE(help.pageCount(), 10);
        QCOMPARE(help.currentPage(), 0);
        QVERIFY(browser(&help)->source().toLocalFile().endsWith(QLatin1String("page01.html")));
        QVERIFY(!button(&help, "HomeButton")->isEnabled());
        QVERIFY(!button(&help, "BackButton")->isEnabled());
        QVERIFY(button(&help, "ForwardButton")->isEnabled());
        QVERIFY(browser(&help)->toPlainText().contains(QLatin1String("Connecting the UHF antenna")));
    }

    void buttonsWalkThroughThePages()
    {
        HelpDialog help;
        help.show();
        help.showHelp();
        for (int i = 1; i < 10; ++i) {
            QTest::mouseClick(button(&help, "ForwardButton"), Qt::LeftButton);
            QCOMPARE(help.currentPage(), i);
        }
        QVERIFY(browser(&help)->source().toLocalFile().endsWith(QLatin1String("page10.html")));
        QVERIFY(!button(&help, "ForwardButton")->isEnabled());
        QVERIFY(button(&help, "BackButton")->isEnabled());

        QTest::mouseClick(button(&help, "BackButton"), Qt::LeftButton);
        QCOMPARE(help.currentPage(), 8);
        QVERIFY(browser(&help)->source().toLocalFile().endsWith(QLatin1String("page09.html")));
        QVERIFY(button(&help, "ForwardButton")->isEnabled());

        QTest::mouseClick(button(&help, "HomeButton"), Qt::LeftButton);
        QCOMPARE(help.currentPage(), 0);
        QVERIFY(!button(&help, "HomeButton")->isEnabled());

        // Reopening help starts again on the first page.
        QTest::mouseClick(button(&help, "ForwardButton"), Qt::LeftButton);
        help.showHelp();
        QCOMPARE(help.currentPage(), 0);
        QVERIFY(!button(&help, "BackButton")->isEnabled());
    }

    void followingALinkKeepsTheButtonsRight()
    {
        HelpDialog help;
        help.show();
        help.showHelp();
        // The same as a tap on the "next" link at the bottom of page 4.
        const QString page05 = QFileInfo(browser(&help)->source().toLocalFile()).absolutePath() + "/page05.html";
        browser(&help)->setSource(QUrl::fromLocalFile(page05));
        QCOMPARE(help.currentPage(), 4);
        QVERIFY(button(&help, "BackButton")->isEnabled());
        QTest::mouseClick(button(&help, "ForwardButton"), Qt::LeftButton);
        QCOMPARE(help.currentPage(), 5);

        // A link to a page outside the numbered set leaves the index where it was.
        const QString sensor = QFileInfo(page05).absolutePath() + "/tev_und_hfct_sensoren.html";
        browser(&help)->setSource(QUrl::fromLocalFile(sensor));
        QCOMPARE(help.currentPage(), 5);
    }

    void everyPageHasItsPictureAndLinksThatExist()
    {
        const QStringList pictures = {"anschluss_an_uhf.png", "zwei_uhf_sensoren.png", "anschluss_dipol.png",
                                      "sensoranschluss.png", "tev_und_hfct_sensoren.png", "functional_check.png",
                                      "sync_1.png", "sync_2.png", "sync_3.png", "sync_4.png"};
        const QRegularExpression reference(QStringLiteral("(?:src|href)=\"([^\"]+)\""));
        for (int i = 1; i <= 11; ++i) {
            const QString name = i <= 10 ? QStringLiteral("page%1.html").arg(i, 2, 10, QLatin1Char('0'))
                                         : QStringLiteral("tev_und_hfct_sensoren.html");
            QFile file(":/resources/help/" + name);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
            const QString html = QString::fromUtf8(file.readAll());
            const QString picture = i <= 10 ? pictures.at(i - 1) : QStringLiteral("tev_und_hfct_sensoren.png");
            QVERIFY2(html.contains("src=\"" + picture + "\""), qPrintable(name));
            auto it = reference.globalMatch(html);
            while (it.hasNext()) {
                const QString target = it.next().captured(1);
                QVERIFY2(QFile::exists(":/resources/help/" + target), qPrintable(name + ": " + target));
            }
        }
        for (const QString& picture : pictures) {
            const QImage image(":/resources/help/" + picture);
            QVERIFY2(!image.isNull(), qPrintable(picture));
            QVERIFY(image.width() <= 600);
        }
    }

    void helpIsLeftWithExitOrEscape()
    {
        HelpDialog help;
        help.show();
        help.showHelp();
        QSignalSpy exitSpy(&help, &HelpDialog::exit);
        QTest::mouseClick(button(&help, "ExitButton"), Qt::LeftButton);
        QCOMPARE(exitSpy.count(), 1);
        // Escape reaches the page from the browser, which has the focus.
        QTest::keyClick(browser(&help), Qt::Key_Escape);
        QCOMPARE(exitSpy.count(), 2);
        QTest::keyClick(browser(&help), Qt::Key_Down);
        QCOMPARE(exitSpy.count(), 2);
    }

    void returnTurnsThePage()
    {
        HelpDialog help;
        help.show();
        help.showHelp();
        for (int i = 1; i < 12; ++i)
            QTest::keyClick(browser(&help), Qt::Key_Return);
        QCOMPARE(help.currentPage(), 9); // stops on the last page
        QVERIFY(browser(&help)->source().toLocalFile().endsWith(QLatin1String("page10.html")));
    }

    void infoPageShowsTheSensorDocument()
    {
        InfoDialog* info = InfoDialog::instance();
        info->resize(640, 440);
        info->show();
        info->showDocument(QStringLiteral("Sensor connection on channel REF/RFF/CAL"),
                           QStringLiteral(":resources/help/tev_und_hfct_sensoren.html"));
        auto* headline = info->findChild<QLabel*>("labelHeadline");
        QVERIFY(headline->isVisible());
        QCOMPARE(headline->text(), QStringLiteral("Sensor connection on channel REF/RFF/CAL"));
        QVERIFY(browser(info)->toPlainText().contains(QLatin1String("REF/RFF/CAL")));
        // The picture is part of the document that was loaded.
        const QVariant picture = browser(info)->document()->resource(
            QTextDocument::ImageResource, browser(info)->source().resolved(QUrl("tev_und_hfct_sensoren.png")));
        QVERIFY(!picture.isNull());

        info->showDocument(QString(), QStringLiteral(":resources/help/page04.html"));
        QVERIFY(!headline->isVisible());
        QVERIFY(!headline->isEnabled());
        info->hide();
    }

    void infoPageIsLeftWithItsButtonOrEscape()
    {
        InfoDialog* info = InfoDialog::instance();
        info->show();
        info->showDocument(QString(), QStringLiteral(":resources/help/tev_und_hfct_sensoren.html"));
        QSignalSpy exitSpy(info, &InfoDialog::exit);
        QTest::mouseClick(button(info, "Button"), Qt::LeftButton);
        QCOMPARE(exitSpy.count(), 1);
        QTest::keyClick(info, Qt::Key_Escape);
        QCOMPARE(exitSpy.count(), 2);
        QTest::keyClick(info, Qt::Key_Return);
        QTest::keyClick(info, Qt::Key_Up);
        QCOMPARE(exitSpy.count(), 2);
        info->hide();
    }
};

QTEST_MAIN(TestHelpDialog)
#include "tst_helpdialog.moc"
