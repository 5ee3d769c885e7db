// The offset calibration without a running worker: each step's mean reading comes from a small
// model of the board that follows the detector lines and the offset amplifier the screen set.

#include "common/TestRoot.h"
#include "dialogs/KalibDialog.h"
#include "util/Calibration.h"

#include <QLabel>
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
    // reaching the floor at fallsAt); returns the state afterwards.
    unsigned step(KalibDialog& dialog, int fallsAt)
    {
        const QByteArray detector = line(218) + line(219);
        const unsigned log = unsigned(std::max(0, 8 * (fallsAt - offsetDac()) - 16));
        const unsigned average = detector == "01" ? 500 : detector == "11" ? 146 : detector == "10" ? log : 40;
        const std::vector<quint32> values(500, 0x12340000u | average);
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

    void linearNullOffset_data()
    {
        QTest::addColumn<unsigned>("average");
        QTest::addColumn<int>("offset");
        QTest::newRow("500") << 500u << 246;
        QTest::newRow("507, the simulated board") << 507u << 249;
        QTest::newRow("19 gives -1: 0") << 19u << 0;
        QTest::newRow("0") << 0u << 0;
    }
    void linearNullOffset()
    {
        QFETCH(unsigned, average);
        QFETCH(int, offset);
        QCOMPARE(KalibDialog::linearNullOffset(average), offset);
    }

    void procedureStoresItsResultsAtTheEnd_data()
    {
        QTest::addColumn<int>("fallsAt");
        QTest::addColumn<int>("logOffset");
        QTest::newRow("falls at 630") << 630 << 630;
        QTest::newRow("floor at once") << 0 << 0;
        QTest::newRow("never falls") << 5000 << 1023;
    }
    void procedureStoresItsResultsAtTheEnd()
    {
        QFETCH(int, fallsAt);
        QFETCH(int, logOffset);
        KalibDialog dialog(nullptr);
        dialog.exec();
        QCOMPARE(step(dialog, fallsAt), unsigned(KalibDialog::STATE_IDLE));
        QCOMPARE(line(210), QByteArray("1")); // input disconnected
        dialog.on_StartKalButton_clicked();
        QList<unsigned> states;
        for (int i = 0; i < 1000 && (states.isEmpty() || states.last() != KalibDialog::STATE_IDLE); ++i) {
            if (dialog.state() == KalibDialog::STATE_LOG_SEARCH) // nothing stored before the end
                QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetRMS), 222);
            const unsigned state = step(dialog, fallsAt);
            if (states.isEmpty() || states.last() != state)
                states << state;
        }
        QCOMPARE(states.mid(0, 8), (QList<unsigned>{2, 3, 4, 5, 6, 7, 8, 9}));
        QCOMPARE(states.last(), unsigned(KalibDialog::STATE_IDLE));
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetRMS), 246);
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetENV), 64);
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetLOG), logOffset);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(Calibration::getString(Calibration::VT_KalibTimestamp))
                    .hasMatch());
        QTRY_COMPARE(dialog.findChild<QLabel*>("KalibDoneLabel")->text(), QStringLiteral("Calibration Done."));
        QCOMPARE(dialog.findChild<QLabel*>("LogOffsetLabel")->text(), QString::number(logOffset));
        QCOMPARE(dialog.findChild<QLabel*>("RMSOffsetLabel")->text(), QStringLiteral("246"));
    }

    void leavingHalfWayStoresNothing()
    {
        KalibDialog dialog(nullptr);
        dialog.exec();
        dialog.on_StartKalButton_clicked();
        while (step(dialog, 630) != KalibDialog::STATE_LOG_SEARCH) {
        }
        dialog.on_ExitButton_clicked();
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetRMS), 222);
        QCOMPARE(Calibration::getInt(Calibration::VT_NullOffsetLOG), 111);
        QVERIFY(Calibration::getString(Calibration::VT_KalibTimestamp).isEmpty());
        QCOMPARE(line(210), QByteArray("0"));
        QCOMPARE(offsetDac(), 111);
    }
};

QTEST_MAIN(TestKalibDialog)
#include "tst_kalibdialog.moc"
