// Board I/O over the sysfs files of a test root, and the sync radio's receive-mode requests.
#include "BoardFiles.h"
#include "OutputCapture.h"
#include "SystemCallLog.h"
#include "common/TestRoot.h"
#include "hardware/BoardIO.h"
#include "hardware/SyncRadio.h"
#include "util/Configuration.h"

#include <QtTest>

#include <functional>
#include <unistd.h>

namespace {

// GPIO lines and the value each should hold ('x' = untouched).
using LineStates = QList<QPair<int, QByteArray>>;
using Setter = std::function<void()>;

void verifyLines(const BoardFiles& board, const LineStates& expected)
{
    for (const auto& line : expected)
        QVERIFY2(board.gpio(line.first) == line.second,
                 qPrintable(QStringLiteral("GPIO %1 holds '%2'").arg(line.first).arg(QString(board.gpio(line.first)))));
}

} // namespace

Q_DECLARE_METATYPE(Setter)

class TestBoardIO : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { SystemCallLog::reset(); }

    void lineRoles_data()
    {
        QTest::addColumn<Setter>("set");
        QTest::addColumn<LineStates>("expected");
        const LineStates antennaLines {{208, "x"}, {209, "x"}, {211, "x"}, {212, "x"}, {237, "x"}};
        QTest::newRow("UHF") << Setter([] { setAntennaPath(Configuration::ANTENNA_UHF); })
                             << LineStates {{208, "1"}, {209, "x"}, {211, "1"}, {212, "0"}, {237, "0"}};
        QTest::newRow("TEV") << Setter([] { setAntennaPath(Configuration::ANTENNA_TEV); })
                             << LineStates {{208, "0"}, {209, "1"}, {211, "0"}, {212, "1"}, {237, "0"}};
        QTest::newRow("HFCT") << Setter([] { setAntennaPath(Configuration::ANTENNA_HFCT); })
                              << LineStates {{208, "0"}, {209, "1"}, {211, "0"}, {212, "0"}, {237, "0"}};
        QTest::newRow("antenna 3") << Setter([] { setAntennaPath(3); }) << antennaLines;
        QTest::newRow("antenna -1") << Setter([] { setAntennaPath(-1); }) << antennaLines;
        QTest::newRow("UHF after TEV keeps 209") << Setter([] {
            setAntennaPath(Configuration::ANTENNA_TEV);
            setAntennaPath(Configuration::ANTENNA_UHF);
        }) << LineStates {{209, "1"}};
        QTest::newRow("5 MHz") << Setter([] { setBandwidth(5000); }) << LineStates {{214, "0"}, {215, "1"}};
        QTest::newRow("20 MHz") << Setter([] { setBandwidth(20000); }) << LineStates {{214, "1"}, {215, "0"}};
        QTest::newRow("1 MHz") << Setter([] { setBandwidth(1000); }) << LineStates {{214, "1"}, {215, "1"}};
        QTest::newRow("2 MHz") << Setter([] { setBandwidth(2000); }) << LineStates {{214, "x"}, {215, "x"}};
        QTest::newRow("LOG") << Setter([] { setMeasMode(Configuration::MEAS_MODE_LOG); })
                             << LineStates {{218, "1"}, {219, "0"}, {227, "0"}};
        QTest::newRow("RMS") << Setter([] { setMeasMode(Configuration::MEAS_MODE_RMS); })
                             << LineStates {{218, "0"}, {219, "1"}, {227, "1"}};
        QTest::newRow("ENV") << Setter([] { setMeasMode(Configuration::MEAS_MODE_ENV); })
                             << LineStates {{218, "1"}, {219, "1"}, {227, "1"}};
        QTest::newRow("KAL") << Setter([] { setMeasMode(Configuration::MEAS_MODE_KAL); })
                             << LineStates {{218, "0"}, {219, "0"}, {227, "x"}};
        QTest::newRow("mode 4") << Setter([] { setMeasMode(4); }) << LineStates {{218, "x"}, {219, "x"}, {227, "x"}};
        QTest::newRow("INT_E") << Setter([] { setSyncSource(Configuration::SYNC_INT_E); })
                               << LineStates {{216, "1"}, {217, "0"}};
        QTest::newRow("SENSOR_E") << Setter([] { setSyncSource(Configuration::SYNC_SENSOR_E); })
                                  << LineStates {{216, "0"}, {217, "1"}};
        QTest::newRow("SENSOR_H") << Setter([] { setSyncSource(Configuration::SYNC_SENSOR_H); })
                                  << LineStates {{216, "1"}, {217, "1"}};
        QTest::newRow("MAINS_RF") << Setter([] { setSyncSource(Configuration::SYNC_MAINS_RF); })
                                  << LineStates {{216, "0"}, {217, "0"}};
        QTest::newRow("sync -1") << Setter([] { setSyncSource(-1); }) << LineStates {{216, "x"}, {217, "x"}};
        QTest::newRow("switches on") << Setter([] {
            setPulseGenerator(true);
            setPreamplifierOff(true);
            setPulseMode(true);
            setAntennaSelectA(false);
            setCalibrationSwitch(true);
        }) << LineStates {{207, "1"}, {213, "1"}, {221, "1"}, {211, "0"}, {210, "1"}};
        QTest::newRow("switches off") << Setter([] {
            setPulseGenerator(false);
            setPreamplifierOff(false);
            setPulseMode(false);
            setAntennaSelectB(false);
            setCalibrationSwitch(false);
        }) << LineStates {{207, "0"}, {213, "0"}, {221, "0"}, {209, "0"}, {210, "0"}};
    }
    void lineRoles()
    {
        QFETCH(Setter, set);
        QFETCH(LineStates, expected);
        TestRoot root;
        BoardFiles board(root);
        set();
        verifyLines(board, expected);
        // What the switches read back is what they wrote.
        QCOMPARE(pulseGenerator(), board.gpio(207) != "0");
        QCOMPARE(preamplifierOff(), board.gpio(213) != "0");
        QCOMPARE(pulseMode(), board.gpio(221) != "0");
        QCOMPARE(antennaSelectB(), board.gpio(209) != "0");
    }

    void gpioFiles()
    {
        TestRoot root;
        BoardFiles board(root);
        QVERIFY(gpioExport(230, true, 0));
        QCOMPARE(root.readFile("/sys/class/gpio/export"), QByteArray("230"));
        QCOMPARE(board.gpio(230, "direction") + board.gpio(230, "edge"), QByteArray("outrising"));
        QVERIFY(gpioExport(231, false, 1));
        QCOMPARE(board.gpio(231, "direction") + board.gpio(231, "edge"), QByteArray("infalling"));
        QVERIFY(gpioExport(232, true, 2));
        QCOMPARE(board.gpio(232, "edge"), QByteArray("none"));
        QVERIFY(!gpioExport(300, true, 2)); // no direction file
        // Anything but '0' reads as set; an empty or missing file as clear.
        for (const char* value : {"1\n", "x", "0\n", ""}) {
            board.setGpio(207, value);
            QCOMPARE(gpioGetValue(207), value[0] != '0' && value[0] != 0);
        }
        QVERIFY(!gpioGetValue(400));
        board.setGpio(222, "1\n");
        QVERIFY(syncDetected());
        // A missing export file stops before the direction is touched.
        QVERIFY(QFile::remove(root.path("/sys/class/gpio/export")));
        QVERIFY(!gpioExport(233, false, 1));
        QCOMPARE(board.gpio(233, "direction"), QByteArray("none"));
    }

    void valueArithmetic()
    {
        TestRoot root;
        BoardFiles board(root);
        const struct {
            int percent;
            const char* raw;
        } backlight[] = {{150, "127"}, {50, "63"}, {1, "1"}, {-3, "0"}};
        for (const auto& c : backlight) {
            QVERIFY(setBrightness(c.percent));
            QCOMPARE(root.readFile(BoardFiles::backlightPath()), QByteArray(c.raw));
        }
        root.writeFile(BoardFiles::backlightPath(), "63\n");
        QCOMPARE(brightness(), 49);
        QVERIFY(dacSetValue(1, 5000));
        QCOMPARE(root.readFile(BoardFiles::dacPath(1)), QByteArray("1023"));
        QVERIFY(dacSetValue(1, -5));
        QCOMPARE(dacGetValue(1), -5);
        setLinearAmplifier(300);
        QCOMPARE(linearAmplifier(), 300);
        setOffsetAmplifier(2000);
        QCOMPARE(root.readFile(BoardFiles::dacPath(2)), QByteArray("1023"));
        // The synthesiser runs at twice the frequency; beyond 1073 MHz the doubled value no
        // longer fits an int but is still written whole.
        QVERIFY(pllSetFrequency(3, 500000000));
        QCOMPARE(root.readFile(BoardFiles::pllPath()), QByteArray("1000000000"));
        QCOMPARE(pllGetFrequency(3), 500000000);
        QVERIFY(pllSetFrequency(3, 1500000000));
        QCOMPARE(root.readFile(BoardFiles::pllPath()), QByteArray("3000000000"));
        QCOMPARE(pllGetFrequency(3), -1);
        QCOMPARE(temperatureRaw(), 1234);
        QCOMPARE(batteryCapacity(0), 87);
        QCOMPARE(batteryVoltage(0), 7400);
        QCOMPARE(batteryCurrent(0), -250);
        QCOMPARE(batteryTemperature(0), 253);
        QCOMPARE(batteryCapacity(1), -1); // no second gauge
        // Unparsable values read as unreadable, and leave the caller's variable alone.
        root.writeFile(BoardFiles::batteryPath("voltage_now"), "n/a\n");
        root.writeFile(BoardFiles::batteryPath("temp"), "99999999999999999999\n");
        root.writeFile(BoardFiles::pllPath(), "locked\n");
        QCOMPARE(batteryVoltage(0), -1);
        QCOMPARE(batteryTemperature(0), -1);
        QCOMPARE(pllGetFrequency(3), -1);
        int value = 42;
        QVERIFY(!readFileInt(qPrintable(root.path(BoardFiles::pllPath())), &value));
        QCOMPARE(value, 42);
    }

    void batteryStatus_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("status");
        QTest::newRow("Charging") << QByteArray("Charging\n") << 1;
        QTest::newRow("Discharging") << QByteArray("Discharging\n") << 2;
        QTest::newRow("Not charging") << QByteArray("Not charging\n") << 3;
        QTest::newRow("Full") << QByteArray("Full\n") << 4;
        QTest::newRow("lower case") << QByteArray("charging\n") << 0;
        QTest::newRow("beyond 256 bytes") << QByteArray(300, 'a') + "Full" << 0;
    }
    void batteryStatus()
    {
        QFETCH(QByteArray, text);
        TestRoot root;
        BoardFiles board(root);
        root.writeFile(BoardFiles::batteryPath("status"), text);
        QTEST(::batteryStatus(0), "status");
    }

    void boardInitEndState()
    {
        TestRoot root;
        BoardFiles board(root);
        OutputCapture errors(STDERR_FILENO);
        boardInit();
        errors.text();
        verifyLines(board, {{207, "0"}, {208, "0"}, {209, "0"}, {210, "0"}, {211, "0"}, {212, "0"}, {213, "0"},
                            {214, "0"}, {215, "1"}, {216, "1"}, {217, "0"}, {218, "1"}, {219, "0"}, {221, "0"},
                            {227, "0"}, {228, "0"}, {237, "0"}, {222, "x"}, {233, "x"}, {234, "x"}});
        for (int gpio = 207; gpio <= 237; ++gpio) {
            const bool output = QList<int>({207, 208, 209, 210, 211, 212, 213, 214, 215, 216, 217, 218, 219, 221, 227,
                                            228, 233, 234, 237})
                                    .contains(gpio);
            const QByteArray direction = output ? "out" : gpio == 222 ? "in" : "none";
            QVERIFY2(board.gpio(gpio, "direction") == direction, qPrintable(QString::number(gpio)));
            QCOMPARE(board.gpio(gpio, "edge"), QByteArray("none"));
        }
        QCOMPARE(root.readFile(BoardFiles::dacPath(1)), QByteArray("127"));
        QCOMPARE(root.readFile(BoardFiles::dacPath(2)), QByteArray("0\n"));
    }

    void missingFilesAreNoOps()
    {
        TestRoot root;
        const QStringList before = QDir(root.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        OutputCapture errors(STDERR_FILENO);
        boardInit();
        setAntennaPath(Configuration::ANTENNA_TEV);
        setPulseGenerator(true);
        QVERIFY(!gpioSetValue(207, true));
        QVERIFY(!dacSetValue(1, 1));
        QVERIFY(!pllSetFrequency(3, 1000));
        QVERIFY(!setBrightness(50));
        errors.text();
        QCOMPARE(QDir(root.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QVERIFY(!pulseGenerator() && !syncDetected());
        for (int value : {dacGetValue(1), pllGetFrequency(3), temperatureRaw(), batteryCapacity(0), batteryCurrent(0),
                          brightness()})
            QCOMPARE(value, -1);
        QCOMPARE(::batteryStatus(0), 0);
        char buffer[1] = {'a'};
        QVERIFY(!readFileBytes("/sys/class/power_supply/ds2782-0/status", buffer, sizeof(buffer)));
        QCOMPARE(buffer[0], 'a');
    }

    // The sync radio's descriptor is kept for the whole process: first without the device,
    // then with it.
    void radioWithoutDeviceReportsEveryCall()
    {
        TestRoot root;
        OutputCapture errors(STDERR_FILENO);
        setReceiveMode(false);
        setReceiveMode(true);
        const QByteArray text = errors.text();
        QCOMPARE(text.count("open cc1101: No such file or directory"), 2);
        QVERIFY(!text.contains("SET_RECEIVE_MODE"));
    }
    void radioRequestsReachTheDriver()
    {
        TestRoot root;
        QVERIFY(root.writeFile("/dev/cc1101", QByteArray()));
        SystemCallLog::watchIoctl("/dev/cc1101");
        OutputCapture errors(STDERR_FILENO);
        setReceiveMode(true);
        setReceiveMode(true);
        setReceiveMode(false);
        QCOMPARE(errors.text(), QByteArray());
        const QVector<SystemCallLog::IoctlCall> calls = SystemCallLog::ioctlCalls();
        QCOMPARE(calls.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(calls[i].request, 0x40047208UL);
            QCOMPARE(calls[i].argument, i < 2 ? 2 : 0);
        }
        // A driver that refuses the request is reported; the descriptor is kept (no new open).
        SystemCallLog::reset();
        QVERIFY(QFile::remove(root.path("/dev/cc1101")));
        OutputCapture refused(STDERR_FILENO);
        setReceiveMode(false);
        QCOMPARE(refused.text().count("SET_RECEIVE_MODE: "), 1);
    }
};

QTEST_GUILESS_MAIN(TestBoardIO)
#include "tst_boardio.moc"
