// The offset calibration without a running worker: each step's mean reading comes from a small
// model of the board that follows the detector lines and the offset amplifier the screen set.

#include "MainWindow.h"
#include "common/TestRoot.h"
#include "dialogs/KalibDialog.h"
#include "util/Calibration.h"

#include <QLabel>
#include <QStackedWidget>
#include <QtTest>

#include <memory>
#include <vector>

class TestKalibDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;

    QByteArray file(const QString& path) const { return m_root->readFile(path).trimmed(); }
    QByteArray line(int gpio) const { return file(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(gpio)); }
    int offsetDac() const { return file(QStringLiteral("/sys/bus/iio/devices/iio:device2/out_voltage0_raw")).toInt(); }
    // One step with the reading of the detector now selected (LOG: 8 counts per offset step,
    // reaching the floor at in[0]; RMS in[1], envelope in[2]); returns the state afterwards.
    unsigned step(KalibDialog& dialog, const QVector<int>& in)
    {
        const QByteArray detector = line(218) + line(219);
        const int log = std::max(0, 8 * (in[0] - offsetDac()) - 16);
        const int average = detector == "01" ? in[1] : detector == "11" ? in[2] : detector == "10" ? log : 40;
        const std::vector<quint32> values(500, 0x12340000u | quint32(average));
        dialog.onMeasurementFinished(500000, nullptr, values.data(), nullptr, 500, nullptr);
        return dialog.state();
    }

private slots:
    void init()
    {
        m_root = std::make_unique<TestRoot>();
        m_root->installMount();
        for (int gpio = 207; gpio <= 237; ++gpio)
            m_root->writeFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(gpio), "0");
        m_root->writeFile(QStringLiteral("/sys/bus/iio/devices/iio:device2/out_voltage0_raw"), "0");
        Calibration::clear();
        Calibration::setValue(Calibration::VT_NullOffsetLOG, 111);
        Calibration::setValue(Calibration::VT_NullOffsetRMS, 222);
    }
    void cleanup() { m_root.reset(); }

    void procedureStoresItsResultsAtTheEnd_data()
    {
        QTest::addColumn<QVector<int>>("in"); // LOG floor at, RMS and envelope readings
        QTest::addColumn<QVector<int>>("expected"); // LOG, RMS, envelope null offsets
        QTest::newRow("the simulated board") << QVector<int>{630, 507, 146} << QVector<int>{630, 249, 64};
        QTest::newRow("LOG floor at once, 19 gives -1") << QVector<int>{0, 500, 19} << QVector<int>{0, 246, 0};
        QTest::newRow("LOG never falls") << QVector<int>{5000, 500, 146} << QVector<int>{1023, 246, 64};
    }
    void procedureStoresItsResultsAtTheEnd()
    {
        QFETCH(QVector<int>, in);
        QFETCH(QVector<int>, expected);
        KalibDialog dialog(nullptr);
        dialog.exec();
        QCOMPARE(step(dialog, in), unsigned(KalibDialog::STATE_IDLE));
        QCOMPARE(line(210), QByteArray("1")); // input disconnected
        dialog.on_StartKalButton_clicked();
        QList<unsigned> states;
        for (int i = 0; i < 1000 && (states.isEmpty() || states.last() != KalibDialog::STATE_IDLE); ++i) {
            if (dialog.state() == KalibDialog::STATE_LOG_SEARCH) // nothing stored before the end
                QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetRMS), 222);
            const unsigned state = step(dialog, in);
            if (states.isEmpty() || states.last() != state)
                states << state;
        }
        QCOMPARE(states.mid(0, 8), (QList<unsigned>{2, 3, 4, 5, 6, 7, 8, 9}));
        QTRY_COMPARE((QVector<int>{Calibration::getInt(Calibration::VT_NullOffsetLOG),
                               Calibration::getInt(Calibration::VT_NullOffsetRMS),
                               Calibration::getInt(Calibration::VT_NullOffsetENV)}),
                 expected);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(Calibration::getString(Calibration::VT_KalibTimestamp))
                    .hasMatch());
        QTRY_COMPARE(dialog.findChild<QLabel*>("KalibDoneLabel")->text(), QStringLiteral("Calibration Done."));
        QCOMPARE(dialog.findChild<QLabel*>("LogOffsetLabel")->text(), QString::number(expected[0]));
    }

    // Opened as the service page opens it (the main window's worker finds no FPGA here).
    void leavingHalfWayStoresNothing()
    {
        MainWindow::instance()->gotoDialog(MainWindow::DIALOG_KALIB);
        auto* stack = MainWindow::instance()->findChild<QStackedWidget*>(QStringLiteral("MainWidget"));
        auto* dialog = qobject_cast<KalibDialog*>(stack->currentWidget());
        QVERIFY(dialog);
        dialog->on_StartKalButton_clicked();
        while (step(*dialog, {630, 507, 146}) != KalibDialog::STATE_LOG_SEARCH) {
        }
        dialog->on_ExitButton_clicked();
        QCOMPARE(stack->currentWidget()->objectName(), QStringLiteral("MainMenu"));
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetRMS), 222);
        QVERIFY(Calibration::getString(Calibration::VT_KalibTimestamp).isEmpty());
        QCOMPARE(line(210), QByteArray("0"));
        QCOMPARE(offsetDac(), 111);
    }
};

QTEST_MAIN(TestKalibDialog)
#include "tst_kalibdialog.moc"
