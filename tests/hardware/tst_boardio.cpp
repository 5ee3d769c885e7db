#include "BoardFiles.h"
#include "OutputCapture.h"
#include "common/TestRoot.h"
#include "hardware/BoardIO.h"
#include "util/Configuration.h"

#include <QtTest>

#include <unistd.h>

namespace {

// The lines a role table touches, with the value each should hold afterwards ('x' = untouched).
using LineStates = QList<QPair<int, QByteArray>>;

void verifyLines(const BoardFiles& board, const LineStates& expected)
{
    for (const auto& line : expected) {
        QByteArray actual = board.gpio(line.first);
        QVERIFY2(actual == line.second,
                 qPrintable(QStringLiteral("GPIO %1 holds '%2', expected '%3'")
                                .arg(line.first)
                                .arg(QString::fromLatin1(actual), QString::fromLatin1(line.second))));
    }
}

} // namespace

class TestBoardIO : public QObject
{
    Q_OBJECT

private slots:
    void antennaPath_data();
    void antennaPath();
    void antennaUhfLeavesLine209();
    void bandwidth_data();
    void bandwidth();
    void measMode_data();
    void measMode();
    void syncSource_data();
    void syncSource();
    void singleLineRoles();

    void gpioExportWritesDirectionAndEdge();
    void gpioGetValue();

    void dacArithmetic();
    void backlightArithmetic();
    void pllArithmetic();
    void temperature();
    void batteryStatus_data();
    void batteryStatus();
    void batteryValues();
    void unparsableValuesFallBack();

    void boardInitEndState();
    void missingFilesAreNoOps();
};

void TestBoardIO::antennaPath_data()
{
    QTest::addColumn<int>("antenna");
    QTest::addColumn<LineStates>("expected");
    QTest::newRow("UHF") << int(Configuration::ANTENNA_UHF)
                         << LineStates {{208, "1"}, {209, "x"}, {211, "1"}, {212, "0"}, {237, "0"}};
    QTest::newRow("TEV") << int(Configuration::ANTENNA_TEV)
                         << LineStates {{208, "0"}, {209, "1"}, {211, "0"}, {212, "1"}, {237, "0"}};
    QTest::newRow("HFCT") << int(Configuration::ANTENNA_HFCT)
                          << LineStates {{208, "0"}, {209, "1"}, {211, "0"}, {212, "0"}, {237, "0"}};
    const LineStates untouched {{208, "x"}, {209, "x"}, {211, "x"}, {212, "x"}, {237, "x"}};
    QTest::newRow("3") << 3 << untouched;
    QTest::newRow("-1") << -1 << untouched;
    QTest::newRow("1000") << 1000 << untouched;
}

void TestBoardIO::antennaPath()
{
    QFETCH(int, antenna);
    QFETCH(LineStates, expected);
    TestRoot root;
    BoardFiles board(root);
    setAntennaPath(antenna);
    verifyLines(board, expected);
}

void TestBoardIO::antennaUhfLeavesLine209()
{
    TestRoot root;
    BoardFiles board(root);
    setAntennaPath(Configuration::ANTENNA_TEV);
    setAntennaPath(Configuration::ANTENNA_UHF);
    QCOMPARE(board.gpio(209), QByteArray("1"));
    QVERIFY(antennaSelectB());

    setAntennaSelectB(false);
    setAntennaPath(Configuration::ANTENNA_UHF);
    QCOMPARE(board.gpio(209), QByteArray("0"));
    QVERIFY(!antennaSelectB());
    QVERIFY(antennaSelectA());
}

void TestBoardIO::bandwidth_data()
{
    QTest::addColumn<int>("bandwidth");
    QTest::addColumn<LineStates>("expected");
    QTest::newRow("5000") << 5000 << LineStates {{214, "0"}, {215, "1"}};
    QTest::newRow("20000") << 20000 << LineStates {{214, "1"}, {215, "0"}};
    QTest::newRow("1000") << 1000 << LineStates {{214, "1"}, {215, "1"}};
    QTest::newRow("2000") << 2000 << LineStates {{214, "x"}, {215, "x"}};
    QTest::newRow("0") << 0 << LineStates {{214, "x"}, {215, "x"}};
    QTest::newRow("-5000") << -5000 << LineStates {{214, "x"}, {215, "x"}};
}

void TestBoardIO::bandwidth()
{
    QFETCH(int, bandwidth);
    QFETCH(LineStates, expected);
    TestRoot root;
    BoardFiles board(root);
    setBandwidth(bandwidth);
    verifyLines(board, expected);
}

void TestBoardIO::measMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<LineStates>("expected");
    QTest::newRow("LOG") << int(Configuration::MEAS_MODE_LOG) << LineStates {{218, "1"}, {219, "0"}, {227, "0"}};
    QTest::newRow("RMS") << int(Configuration::MEAS_MODE_RMS) << LineStates {{218, "0"}, {219, "1"}, {227, "1"}};
    QTest::newRow("ENV") << int(Configuration::MEAS_MODE_ENV) << LineStates {{218, "1"}, {219, "1"}, {227, "1"}};
    QTest::newRow("KAL") << int(Configuration::MEAS_MODE_KAL) << LineStates {{218, "0"}, {219, "0"}, {227, "x"}};
    QTest::newRow("4") << 4 << LineStates {{218, "x"}, {219, "x"}, {227, "x"}};
    QTest::newRow("-1") << -1 << LineStates {{218, "x"}, {219, "x"}, {227, "x"}};
}

void TestBoardIO::measMode()
{
    QFETCH(int, mode);
    QFETCH(LineStates, expected);
    TestRoot root;
    BoardFiles board(root);
    setMeasMode(mode);
    verifyLines(board, expected);
}

void TestBoardIO::syncSource_data()
{
    QTest::addColumn<int>("sync");
    QTest::addColumn<LineStates>("expected");
    QTest::newRow("INT_E") << int(Configuration::SYNC_INT_E) << LineStates {{216, "1"}, {217, "0"}};
    QTest::newRow("SENSOR_E") << int(Configuration::SYNC_SENSOR_E) << LineStates {{216, "0"}, {217, "1"}};
    QTest::newRow("SENSOR_H") << int(Configuration::SYNC_SENSOR_H) << LineStates {{216, "1"}, {217, "1"}};
    QTest::newRow("MAINS_RF") << int(Configuration::SYNC_MAINS_RF) << LineStates {{216, "0"}, {217, "0"}};
    QTest::newRow("4") << 4 << LineStates {{216, "x"}, {217, "x"}};
    QTest::newRow("-1") << -1 << LineStates {{216, "x"}, {217, "x"}};
}

void TestBoardIO::syncSource()
{
    QFETCH(int, sync);
    QFETCH(LineStates, expected);
    TestRoot root;
    BoardFiles board(root);
    setSyncSource(sync);
    verifyLines(board, expected);
}

void TestBoardIO::singleLineRoles()
{
    TestRoot root;
    BoardFiles board(root);
    setPulseGenerator(true);
    setPreamplifierOff(true);
    setPulseMode(true);
    setAntennaSelectA(false);
    setCalibrationSwitch(true);
    verifyLines(board, {{207, "1"}, {213, "1"}, {221, "1"}, {211, "0"}, {210, "1"}});
    QVERIFY(pulseGenerator());
    QVERIFY(preamplifierOff());
    QVERIFY(pulseMode());
    QVERIFY(!antennaSelectA());

    setPulseGenerator(false);
    setPreamplifierOff(false);
    setPulseMode(false);
    setCalibrationSwitch(false);
    verifyLines(board, {{207, "0"}, {213, "0"}, {221, "0"}, {210, "0"}});
    QVERIFY(!pulseGenerator());
    QVERIFY(!preamplifierOff());
    QVERIFY(!pulseMode());

    // Line 222 is an input that the driver sets.
    board.setGpio(222, "1\n");
    QVERIFY(syncDetected());
    board.setGpio(222, "0\n");
    QVERIFY(!syncDetected());
}

void TestBoardIO::gpioExportWritesDirectionAndEdge()
{
    TestRoot root;
    BoardFiles board(root);
    QVERIFY(gpioExport(230, true, 0));
    QCOMPARE(root.readFile("/sys/class/gpio/export"), QByteArray("230"));
    QCOMPARE(board.gpio(230, "direction"), QByteArray("out"));
    QCOMPARE(board.gpio(230, "edge"), QByteArray("rising"));

    QVERIFY(gpioExport(231, false, 1));
    QCOMPARE(board.gpio(231, "direction"), QByteArray("in"));
    QCOMPARE(board.gpio(231, "edge"), QByteArray("falling"));

    QVERIFY(gpioExport(232, true, 2));
    QCOMPARE(board.gpio(232, "edge"), QByteArray("none"));

    // The result is the direction write's: a line without a direction file fails, and a
    // missing export file stops before the direction is touched.
    QVERIFY(!gpioExport(300, true, 2));
    QVERIFY(QFile::remove(root.path("/sys/class/gpio/export")));
    QVERIFY(!gpioExport(233, false, 1));
    QCOMPARE(board.gpio(233, "direction"), QByteArray("none"));
    QCOMPARE(board.gpio(233, "edge"), QByteArray("none"));
}

void TestBoardIO::gpioGetValue()
{
    TestRoot root;
    BoardFiles board(root);
    board.setGpio(207, "1\n");
    QVERIFY(::gpioGetValue(207));
    board.setGpio(207, "0\n");
    QVERIFY(!::gpioGetValue(207));
    // Anything but '0' reads as set; an empty or missing file as clear.
    board.setGpio(207, "x");
    QVERIFY(::gpioGetValue(207));
    board.setGpio(207, "");
    QVERIFY(!::gpioGetValue(207));
    QVERIFY(!::gpioGetValue(400));
    QVERIFY(gpioSetValue(207, true));
    QCOMPARE(board.gpio(207), QByteArray("1"));
}

void TestBoardIO::dacArithmetic()
{
    TestRoot root;
    BoardFiles board(root);
    QVERIFY(dacSetValue(1, 5000));
    QCOMPARE(root.readFile(BoardFiles::dacPath(1)), QByteArray("1023"));
    QCOMPARE(dacGetValue(1), 1023);
    QVERIFY(dacSetValue(1, 1023));
    QCOMPARE(root.readFile(BoardFiles::dacPath(1)), QByteArray("1023"));
    QVERIFY(dacSetValue(1, -5));
    QCOMPARE(root.readFile(BoardFiles::dacPath(1)), QByteArray("-5"));
    QCOMPARE(dacGetValue(1), -5);

    setLinearAmplifier(300);
    QCOMPARE(linearAmplifier(), 300);
    setOffsetAmplifier(2000);
    QCOMPARE(root.readFile(BoardFiles::dacPath(2)), QByteArray("1023"));
    QCOMPARE(dacGetValue(3 + 4), -1);
}

void TestBoardIO::backlightArithmetic()
{
    TestRoot root;
    BoardFiles board(root);
    const struct {
        int percent;
        const char* raw;
    } cases[] = {{150, "127"}, {100, "127"}, {50, "63"}, {1, "1"}, {0, "0"}, {-3, "0"}};
    for (const auto& c : cases) {
        QVERIFY(setBrightness(c.percent));
        QCOMPARE(root.readFile(BoardFiles::backlightPath()), QByteArray(c.raw));
    }
    root.writeFile(BoardFiles::backlightPath(), "127\n");
    QCOMPARE(brightness(), 100);
    root.writeFile(BoardFiles::backlightPath(), "63\n");
    QCOMPARE(brightness(), 49);
}

void TestBoardIO::pllArithmetic()
{
    TestRoot root;
    BoardFiles board(root);
    QVERIFY(pllSetFrequency(3, 500000000));
    QCOMPARE(root.readFile(BoardFiles::pllPath()), QByteArray("1000000000"));
    QCOMPARE(pllGetFrequency(3), 500000000);
    root.writeFile(BoardFiles::pllPath(), "2000000001\n");
    QCOMPARE(pllGetFrequency(3), 1000000000);
    // Beyond 1073 MHz the doubled value no longer fits an int: still written correctly.
    QVERIFY(pllSetFrequency(3, 1500000000));
    QCOMPARE(root.readFile(BoardFiles::pllPath()), QByteArray("3000000000"));
    QCOMPARE(pllGetFrequency(3), -1);
    QVERIFY(pllSetFrequency(3, 0));
    QCOMPARE(pllGetFrequency(3), 0);
    // An unreadable synthesiser (the driver's file missing) reads -1.
    QVERIFY(QFile::remove(root.path(BoardFiles::pllPath())));
    QCOMPARE(pllGetFrequency(3), -1);
    QVERIFY(!pllSetFrequency(3, 500000000));
    QVERIFY(!root.exists(BoardFiles::pllPath()));
}

void TestBoardIO::temperature()
{
    TestRoot root;
    BoardFiles board(root);
    QCOMPARE(temperatureRaw(), 1234);
    root.writeFile("/sys/bus/iio/devices/iio:device0/in_temp0_raw", "-17\n");
    QCOMPARE(temperatureRaw(), -17);
}

void TestBoardIO::batteryStatus_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("status");
    QTest::newRow("Charging") << QByteArray("Charging\n") << 1;
    QTest::newRow("Discharging") << QByteArray("Discharging\n") << 2;
    QTest::newRow("Not charging") << QByteArray("Not charging\n") << 3;
    QTest::newRow("Full") << QByteArray("Full\n") << 4;
    QTest::newRow("Unknown") << QByteArray("Unknown\n") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("lower case") << QByteArray("charging\n") << 0;
    QByteArray longText(300, 'a');
    longText.append("Full");
    QTest::newRow("beyond 256 bytes") << longText << 0;
}

void TestBoardIO::batteryStatus()
{
    QFETCH(QByteArray, text);
    QFETCH(int, status);
    TestRoot root;
    BoardFiles board(root);
    root.writeFile(BoardFiles::batteryPath("status"), text);
    QCOMPARE(::batteryStatus(0), status);
}

void TestBoardIO::batteryValues()
{
    TestRoot root;
    BoardFiles board(root);
    QCOMPARE(batteryCapacity(0), 87);
    QCOMPARE(batteryVoltage(0), 7400);
    QCOMPARE(batteryCurrent(0), -250);
    QCOMPARE(batteryTemperature(0), 253);
    root.writeFile(BoardFiles::batteryPath("voltage_now"), "3999\n");
    QCOMPARE(batteryVoltage(0), 7);
    // A second gauge does not exist.
    QCOMPARE(batteryCapacity(1), -1);
    QCOMPARE(::batteryStatus(1), 0);
}

void TestBoardIO::unparsableValuesFallBack()
{
    TestRoot root;
    BoardFiles board(root);
    root.writeFile(BoardFiles::batteryPath("capacity"), "");
    root.writeFile(BoardFiles::batteryPath("voltage_now"), "n/a\n");
    root.writeFile(BoardFiles::batteryPath("temp"), "99999999999999999999\n");
    root.writeFile(BoardFiles::pllPath(), "locked\n");
    QCOMPARE(batteryCapacity(0), -1);
    QCOMPARE(batteryVoltage(0), -1);
    QCOMPARE(batteryTemperature(0), -1);
    QCOMPARE(pllGetFrequency(3), -1);

    int value = 42;
    QVERIFY(!readFileInt(qPrintable(root.path("/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency")), &value));
    QCOMPARE(value, 42);
}

void TestBoardIO::boardInitEndState()
{
    TestRoot root;
    BoardFiles board(root);
    OutputCapture errors(STDERR_FILENO);
    boardInit();
    // No radio device under this root: the receive-mode request reports and carries on.
    QVERIFY(errors.text().contains("open cc1101"));

    const LineStates values {{207, "0"}, {208, "0"}, {209, "0"}, {210, "0"}, {211, "0"}, {212, "0"},
                             {213, "0"}, {214, "0"}, {215, "1"}, {216, "1"}, {217, "0"}, {218, "1"},
                             {219, "0"}, {221, "0"}, {227, "0"}, {228, "0"}, {237, "0"},
                             // Exported only: their values stay as the driver had them.
                             {222, "x"}, {233, "x"}, {234, "x"}, {220, "x"}, {229, "x"}};
    verifyLines(board, values);
    for (int gpio : {207, 208, 209, 210, 211, 212, 213, 214, 215, 216, 217, 218, 219, 221, 227, 228, 233, 234, 237})
        QVERIFY2(board.gpio(gpio, "direction") == "out", qPrintable(QString::number(gpio)));
    QCOMPARE(board.gpio(222, "direction"), QByteArray("in"));
    // Lines the board does not use are not exported; no edge is set on any line.
    for (int gpio : {220, 223, 224, 225, 226, 229, 230, 231, 232, 235, 236})
        QCOMPARE(board.gpio(gpio, "direction"), QByteArray("none"));
    for (int gpio = 207; gpio <= 237; ++gpio)
        QCOMPARE(board.gpio(gpio, "edge"), QByteArray("none"));
    // Line 222 is the last one exported.
    QCOMPARE(root.readFile("/sys/class/gpio/export"), QByteArray("222"));
    QCOMPARE(root.readFile(BoardFiles::dacPath(1)), QByteArray("127"));
    QCOMPARE(root.readFile(BoardFiles::dacPath(2)), QByteArray("0\n"));
}

void TestBoardIO::missingFilesAreNoOps()
{
    TestRoot root;
    const QStringList before = QDir(root.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    OutputCapture errors(STDERR_FILENO);
    boardInit();
    setAntennaPath(Configuration::ANTENNA_TEV);
    setBandwidth(1000);
    setMeasMode(Configuration::MEAS_MODE_RMS);
    setSyncSource(Configuration::SYNC_SENSOR_H);
    setPulseGenerator(true);
    setOffsetAmplifier(10);
    QVERIFY(!gpioExport(207, true, 0));
    QVERIFY(!gpioSetValue(207, true));
    QVERIFY(!dacSetValue(1, 1));
    QVERIFY(!pllSetFrequency(3, 1000));
    QVERIFY(!setBrightness(50));
    QVERIFY(!writeFileString("/sys/class/gpio/gpio207/value", "1"));
    errors.text();

    // Nothing was created below the root.
    QCOMPARE(QDir(root.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);

    QVERIFY(!::gpioGetValue(207));
    QVERIFY(!pulseGenerator());
    QVERIFY(!syncDetected());
    QCOMPARE(dacGetValue(1), -1);
    QCOMPARE(linearAmplifier(), -1);
    QCOMPARE(pllGetFrequency(3), -1);
    QCOMPARE(temperatureRaw(), -1);
    QCOMPARE(::batteryStatus(0), 0);
    QCOMPARE(batteryCapacity(0), -1);
    QCOMPARE(batteryVoltage(0), -1);
    QCOMPARE(batteryCurrent(0), -1);
    QCOMPARE(batteryTemperature(0), -1);
    QCOMPARE(brightness(), -1);
    char buffer[4] = {'a', 'b', 'c', 'd'};
    QVERIFY(!readFileBytes("/sys/class/power_supply/ds2782-0/status", buffer, sizeof(buffer)));
    QCOMPARE(buffer[0], 'a');
}

QTEST_GUILESS_MAIN(TestBoardIO)
#include "tst_boardio.moc"
