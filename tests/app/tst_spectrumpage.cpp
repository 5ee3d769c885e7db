#include "MainWindow.h"
#include "common/TestRoot.h"
#include "dialogs/SpectrumDialog.h"
#include "util/Configuration.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

#include <qwt_plot_curve.h>

// The spectrum page of the main window: the spectrum button opens it (UHF antenna only), its
// exit button returns to the main menu. The board has no FPGA here, so the worker stays idle.
class TestSpectrumPage : public QObject
{
    Q_OBJECT

private:
    QScopedPointer<TestRoot> m_root;

    MainWindow* window() const { return MainWindow::instance(); }
    template <typename T>
    T* child(const char* name) const
    {
        return window()->findChild<T*>(QLatin1String(name));
    }
    QString status() const { return child<QLabel>("statusLabel")->text(); }

private slots:
    void initTestCase()
    {
        m_root.reset(new TestRoot);
        QVERIFY(m_root->installMount());
        QVERIFY(m_root->writeFile(QStringLiteral("/data/recall.xml"),
                                  "<recall><freeze name=\"Stored\" freqMin=\"150\" freqMax=\"1000\">-50 -51</freeze>"
                                  "</recall>"));
        window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(window()));
    }

    void cleanupTestCase()
    {
        QTest::ignoreMessage(QtDebugMsg, "closing");
        window()->close();
        m_root.reset();
    }

    void spectrumPageIsInTheStack()
    {
        auto* stack = child<QStackedWidget>("MainWidget");
        auto* spectrum = window()->findChild<SpectrumDialog*>();
        QVERIFY(spectrum);
        QCOMPARE(stack->indexOf(spectrum), 1);
        // The stored curves were read when the screen was built.
        QCOMPARE(spectrum->curve(SpectrumDialog::CURVE_FREEZE_1)->title().text(), QStringLiteral("Stored"));
    }

    void specButtonOnlyForTheUhfAntenna()
    {
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_TEV, QStringLiteral("system"));
        window()->gotoMainMenu();
        QVERIFY(!child<QPushButton>("SpecButton")->isEnabled());
        Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_UHF, QStringLiteral("system"));
        window()->gotoMainMenu();
        QVERIFY(child<QPushButton>("SpecButton")->isEnabled());
    }

    void specButtonOpensAndExitReturns()
    {
        auto* stack = child<QStackedWidget>("MainWidget");
        auto* spectrum = window()->findChild<SpectrumDialog*>();
        QTest::mouseClick(child<QPushButton>("SpecButton"), Qt::LeftButton);
        QCOMPARE(stack->currentWidget(), spectrum);
        QCOMPARE(status(), QStringLiteral("Spectrum"));
        QCOMPARE(spectrum->freqMin(), 150);
        QCOMPARE(spectrum->freqMax(), 1000);
        QTest::mouseClick(spectrum->findChild<QPushButton*>(QStringLiteral("ExitButton")), Qt::LeftButton);
        QCOMPARE(stack->currentWidget(), child<QWidget>("MainMenu"));
        QCOMPARE(status(), QStringLiteral("Main menu"));
        QVERIFY(!spectrum->isTimerRunning());
    }
};

QTEST_MAIN(TestSpectrumPage)
#include "tst_spectrumpage.moc"
