// Board I/O over the sysfs files of a test root, and the sync radio's receive-mode requests.
#include "OutputCapture.h"
#include "SystemCallLog.h"
#include "common/TestRoot.h"
#include "hardware/BoardIO.h"
#include "hardware/SyncRadio.h"

#include <QtTest>

#include <unistd.h>

namespace {

const QString Pll = "/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency";
const QString Battery = "/sys/class/power_supply/ds2782-0/";
const QString Backlight = "/sys/class/backlight/backlight.7/brightness";
QString dac(int device) { return QString("/sys/bus/iio/devices/iio:device%1/out_voltage0_raw").arg(device); }
QString gpio(int line, const char* file = "value") { return QString("/sys/class/gpio/gpio%1/%2").arg(line).arg(file); }

// The board's sysfs files as the drivers present them; the GPIO values start as "x", so that a
// test sees which lines were written.
void makeBoardFiles(const TestRoot& root)
{
    root.writeFile("/sys/class/gpio/export", QByteArray());
    for (int line = 207; line <= 237; ++line) {
        root.writeFile(gpio(line), "x");
        root.writeFile(gpio(line, "direction"), "none");
        root.writeFile(gpio(line, "edge"), "none");
    }
    const QList<QPair<QString, QByteArray>> files {{"/sys/bus/iio/devices/iio:device0/in_temp0_raw", "1234\n"},
                                                   {dac(1), "0\n"}, {dac(2), "0\n"}, {Pll, "400000000\n"},
                                                   {Battery + "status", "Discharging\n"}, {Battery + "capacity", "87\n"},
                                                   {Battery + "voltage_now", "3700000\n"}, {Battery + "current_now", "-250000\n"},
                                                   {Battery + "temp", "253\n"}, {Backlight, "100\n"}};
    for (const auto& file : files)
        root.writeFile(file.first, file.second);
}

} // namespace

class TestBoardIO : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { SystemCallLog::reset(); }

    // What each receiver set-up writes to the lines ("x": untouched).
    void lineRoles_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("lines");
        QTest::newRow("UHF") << "antenna 0" << "208=1 209=x 211=1 212=0 237=0";
        QTest::newRow("TEV") << "antenna 1" << "208=0 209=1 211=0 212=1 237=0";
        QTest::newRow("HFCT") << "antenna 2" << "208=0 209=1 211=0 212=0 237=0";
        QTest::newRow("antenna 3") << "antenna 3" << "208=x 209=x 211=x 212=x 237=x";
        QTest::newRow("UHF after TEV keeps 209") << "antenna 1 antenna 0" << "209=1";
        QTest::newRow("5 MHz") << "bandwidth 5000" << "214=0 215=1";
        QTest::newRow("20 MHz") << "bandwidth 20000" << "214=1 215=0";
        QTest::newRow("1 MHz") << "bandwidth 1000" << "214=1 215=1";
        QTest::newRow("2 MHz") << "bandwidth 2000" << "214=x 215=x";
        QTest::newRow("LOG") << "mode 0" << "218=1 219=0 227=0";
        QTest::newRow("RMS") << "mode 1" << "218=0 219=1 227=1";
        QTest::newRow("ENV") << "mode 2" << "218=1 219=1 227=1";
        QTest::newRow("KAL") << "mode 3" << "218=0 219=0 227=x";
        QTest::newRow("mode 4") << "mode 4" << "218=x 219=x 227=x";
        QTest::newRow("INT E") << "sync 0" << "216=1 217=0";
        QTest::newRow("SENSOR E") << "sync 1" << "216=0 217=1";
        QTest::newRow("SENSOR H") << "sync 2" << "216=1 217=1";
        QTest::newRow("MAINS RF") << "sync 3" << "216=0 217=0";
        QTest::newRow("sync -1") << "sync -1" << "216=x 217=x";
        QTest::newRow("switches on") << "switches 1" << "207=1 213=1 221=1 211=0 209=1 210=1";
        QTest::newRow("switches off") << "switches 0" << "207=0 213=0 221=0 211=1 209=0 210=0";
    }
    void lineRoles()
    {
        QFETCH(QString, call);
        QFETCH(QString, lines);
        TestRoot root;
        makeBoardFiles(root);
        const QStringList words = call.split(' ');
        for (int i = 0; i < words.size(); i += 2) {
            const int value = words[i + 1].toInt();
            if (words[i] == "antenna")
                setAntennaPath(value);
            else if (words[i] == "bandwidth")
                setBandwidth(value);
            else if (words[i] == "mode")
                setMeasMode(value);
            else if (words[i] == "sync")
                setSyncSource(value);
            else {
                setPulseGenerator(value), setPreamplifierOff(value), setPulseMode(value), setCalibrationSwitch(value);
                setAntennaSelectA(!value), setAntennaSelectB(value);
            }
        }
        QStringList actual;
        for (const QString& line : lines.split(' '))
            actual << line.left(4) + root.readFile(gpio(line.left(3).toInt()));
        QCOMPARE(actual.join(' '), lines);
        // What the switches read back is what they wrote (anything but '0' reads as set).
        const QList<QPair<bool, int>> readBack {{pulseGenerator(), 207}, {preamplifierOff(), 213}, {pulseMode(), 221},
                                                {antennaSelectA(), 211}, {antennaSelectB(), 209}};
        for (const auto& pair : readBack)
            QCOMPARE(pair.first, root.readFile(gpio(pair.second)) != "0");
    }

    void gpioFiles()
    {
        TestRoot root;
        makeBoardFiles(root);
        QVERIFY(gpioExport(230, true, 0) && gpioExport(231, false, 1) && gpioExport(232, true, 2));
        QCOMPARE(root.readFile("/sys/class/gpio/export"), QByteArray("232"));
        QCOMPARE(root.readFile(gpio(230, "direction")) + root.readFile(gpio(230, "edge")), QByteArray("outrising"));
        QCOMPARE(root.readFile(gpio(231, "direction")) + root.readFile(gpio(231, "edge")), QByteArray("infalling"));
        QCOMPARE(root.readFile(gpio(232, "edge")), QByteArray("none"));
        QVERIFY(!gpioExport(300, true, 2)); // no direction file
        QVERIFY(!gpioGetValue(400));
        root.writeFile(gpio(222), "1\n");
        QVERIFY(syncDetected());
        root.writeFile(gpio(222), "");
        QVERIFY(!syncDetected());
        // A missing export file stops before the direction is touched.
        QVERIFY(QFile::remove(root.path("/sys/class/gpio/export")));
        QVERIFY(!gpioExport(233, false, 1));
        QCOMPARE(root.readFile(gpio(233, "direction")), QByteArray("none"));
    }

    void valueArithmetic()
    {
        TestRoot root;
        makeBoardFiles(root);
        for (const auto& c : QList<QPair<int, QByteArray>> {{150, "127"}, {50, "63"}, {1, "1"}, {-3, "0"}}) {
            QVERIFY(setBrightness(c.first));
            QCOMPARE(root.readFile(Backlight), c.second);
        }
        QCOMPARE(brightness(), 0);
        root.writeFile(Backlight, "63\n");
        QCOMPARE(brightness(), 49);
        QVERIFY(dacSetValue(1, 5000));
        QCOMPARE(root.readFile(dac(1)), QByteArray("1023"));
        QVERIFY(dacSetValue(1, -5));
        QCOMPARE(dacGetValue(1), -5);
        setLinearAmplifier(300);
        QCOMPARE(linearAmplifier(), 300);
        setOffsetAmplifier(2000);
        QCOMPARE(root.readFile(dac(2)), QByteArray("1023"));
        // The synthesiser runs at twice the frequency; beyond 1073 MHz the doubled value no
        // longer fits an int but is still written whole.
        QVERIFY(pllSetFrequency(3, 500000000));
        QCOMPARE(pllGetFrequency(3), 500000000);
        QVERIFY(pllSetFrequency(3, 1500000000));
        QCOMPARE(root.readFile(Pll), QByteArray("3000000000"));
        QCOMPARE(pllGetFrequency(3), -1);
        QCOMPARE(QList<int>({temperatureRaw(), batteryCapacity(0), batteryVoltage(0), batteryCurrent(0), batteryTemperature(0), batteryCapacity(1)}),
                 QList<int>({1234, 87, 7400, -250, 253, -1}));
        // Unparsable values read as unreadable and leave the caller's variable alone.
        root.writeFile(Battery + "voltage_now", "n/a\n");
        root.writeFile(Battery + "temp", "99999999999999999999\n");
        root.writeFile(Pll, "locked\n");
        QCOMPARE(QList<int>({batteryVoltage(0), batteryTemperature(0), pllGetFrequency(3)}), QList<int>({-1, -1, -1}));
        int value = 42;
        QVERIFY(!readFileInt(qPrintable(root.path(Pll)), &value));
        QCOMPARE(value, 42);
        const QList<QPair<QByteArray, int>> states {{"Charging\n", 1}, {"Discharging\n", 2}, {"Not charging\n", 3},
                                                    {"Full\n", 4}, {"charging\n", 0}, {QByteArray(300, 'a') + "Full", 0}};
        for (const auto& state : states) {
            root.writeFile(Battery + "status", state.first);
            QCOMPARE(batteryStatus(0), state.second);
        }
    }

    void boardInitEndState()
    {
        TestRoot root;
        makeBoardFiles(root);
        OutputCapture errors(STDERR_FILENO); // no radio device here: reported, and on it goes
        boardInit();
        errors.text();
        const QString values = "207=0 208=0 209=0 210=0 211=0 212=0 213=0 214=0 215=1 216=1 217=0 218=1 219=0 221=0 "
                               "227=0 228=0 237=0 222=x 233=x 234=x";
        QStringList actual;
        for (const QString& line : values.split(' '))
            actual << line.left(4) + root.readFile(gpio(line.left(3).toInt()));
        QCOMPARE(actual.join(' '), values);
        const QList<int> outputs {207, 208, 209, 210, 211, 212, 213, 214, 215, 216, 217, 218, 219, 221, 227, 228, 233, 234, 237};
        for (int line = 207; line <= 237; ++line) {
            const QByteArray direction = outputs.contains(line) ? "out" : line == 222 ? "in" : "none";
            QVERIFY2(root.readFile(gpio(line, "direction")) == direction && root.readFile(gpio(line, "edge")) == "none",
                     qPrintable(QString::number(line)));
        }
        QCOMPARE(root.readFile(dac(1)) + root.readFile(dac(2)), QByteArray("1270\n"));
    }

    void missingFilesAreNoOps()
    {
        TestRoot root;
        OutputCapture errors(STDERR_FILENO);
        boardInit();
        setAntennaPath(1);
        QVERIFY(!gpioSetValue(207, true) && !dacSetValue(1, 1) && !pllSetFrequency(3, 1000) && !setBrightness(50));
        errors.text();
        QCOMPARE(QDir(root.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList {"data"});
        QVERIFY(!pulseGenerator() && !syncDetected() && batteryStatus(0) == 0);
        for (int value : {dacGetValue(1), pllGetFrequency(3), temperatureRaw(), batteryCapacity(0), brightness()})
            QCOMPARE(value, -1);
        char buffer[1] = {'a'};
        QVERIFY(!readFileBytes("/sys/class/power_supply/ds2782-0/status", buffer, 1));
        QCOMPARE(buffer[0], 'a');
    }

    // The sync radio's descriptor is kept for the whole process: first without the device (every
    // call reports and tries again), then with it (the driver gets each request and argument).
    void syncRadio()
    {
        TestRoot root;
        OutputCapture missing(STDERR_FILENO);
        setReceiveMode(false);
        setReceiveMode(true);
        const QByteArray text = missing.text();
        QCOMPARE(text.count("open cc1101: No such file or directory"), 2);
        QVERIFY(!text.contains("SET_RECEIVE_MODE"));
        QVERIFY(root.writeFile("/dev/cc1101", QByteArray()));
        SystemCallLog::watch("/dev/cc1101");
        OutputCapture errors(STDERR_FILENO);
        for (bool on : {true, true, false})
            setReceiveMode(on);
        QCOMPARE(errors.text(), QByteArray());
        QStringList calls;
        for (const SystemCallLog::IoctlCall& call : SystemCallLog::ioctlCalls())
            calls << QString("%1 %2").arg(call.request, 0, 16).arg(call.argument);
        QCOMPARE(calls, QStringList({"40047208 2", "40047208 2", "40047208 0"}));
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
