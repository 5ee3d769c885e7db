// The board simulator as the instrument meets it: the prepared root read through the
// instrument's own board I/O and system helper, the FPGA emulation over the two memory files,
// the signal model seen through the default calibration, the stand-in commands and the faults.
// (The unlocked PLL, and each block's start and frequency, are hardware.dataworker's.)
#include "common/SimulatedBoard.h"
#include "hardware/BoardIO.h"
#include "util/BootEnvironment.h"
#include "util/ConversionHelper.h"
#include "util/SystemHelper.h"

#include <QtTest>

#include <sys/stat.h>

namespace {

constexpr quint32 RegControl = 0x04, RegClocks = 0x08, RegSamples = 0x0C;
constexpr quint32 SimBlocks = 0x104;
const QString PllFile = "/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency";

// Arms one software-start block and waits for it; false when the start bit stayed set.
bool softwareStart(SimulatedBoard& board, quint32 samples, quint32 clocks, int timeoutMs = 2000)
{
    board.writeRegister(RegClocks, clocks - 1);
    board.writeRegister(RegSamples, samples);
    board.writeRegister(RegControl, 1 + 8);
    QElapsedTimer timer;
    timer.start();
    while (board.readRegister(RegControl) & 8) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::usleep(100);
    }
    return true;
}

struct Levels
{
    double average = 0, peak = 0; // raw counts: mean of the averages, largest maximum
    bool ordered = true;          // minimum <= average <= maximum in every slot
};

Levels measure(SimulatedBoard& board, int blocks, int samples = 500)
{
    Levels levels;
    for (int b = 0; b < blocks; ++b) {
        if (!softwareStart(board, quint32(samples), 1000))
            return Levels {0, 0, false};
        for (int i = 0; i < samples; ++i) {
            const quint32 low = board.sample(0x0000, i) & 0x3FFF, avg = board.sample(0x2000, i) & 0x3FFF,
                          high = board.sample(0x4000, i) & 0x3FFF;
            levels.ordered = levels.ordered && low <= avg && avg <= high;
            levels.average += double(avg) / samples / blocks;
            levels.peak = qMax(levels.peak, double(high));
        }
    }
    return levels;
}

// Sets the receiver up as the board I/O would, from words such as "tune=446 rms lin=400":
// the spectrum set-up (LOG detector, UHF, 5 MHz, preamplifier on, offset 630) changed by
// nopre, bw=N (kHz), rms, lin=N, off=N (the two amplifier DACs), comb (pulse generator fed in),
// cal (input disconnected for the offset calibration) and tune=N (MHz).
void setUp(SimulatedBoard& board, const QString& words)
{
    QMap<int, int> lines {{218, 1}, {219, 0}, {227, 0}, {208, 1}, {211, 1}, {212, 0}, {237, 0},
                          {207, 0}, {209, 0}, {210, 0}, {213, 0}, {214, 0}, {215, 1}};
    QByteArray linear = "127", offset = "630";
    for (const QString& word : words.split(' ', Qt::SkipEmptyParts)) {
        const QString value = word.section('=', 1);
        if (word == "nopre")
            lines[213] = 1;
        else if (word == "bw=1000")
            lines[214] = lines[215] = 1;
        else if (word == "bw=20000")
            lines[214] = 1, lines[215] = 0;
        else if (word == "rms")
            lines[218] = 0, lines[219] = lines[227] = 1;
        else if (word == "comb")
            lines[207] = lines[209] = 1;
        else if (word == "cal")
            lines[210] = lines[212] = lines[213] = 1, lines[208] = 0;
        else if (word.startsWith("lin="))
            linear = value.toLatin1();
        else if (word.startsWith("off="))
            offset = value.toLatin1();
        else if (word.startsWith("tune="))
            board.writeBoardFile(PllFile, QByteArray::number(value.toLongLong() * 2000000));
    }
    for (auto it = lines.cbegin(); it != lines.cend(); ++it)
        board.writeBoardFile(QString("/sys/class/gpio/gpio%1/value").arg(it.key()), QByteArray::number(it.value()));
    board.writeBoardFile("/sys/bus/iio/devices/iio:device1/out_voltage0_raw", linear);
    board.writeBoardFile("/sys/bus/iio/devices/iio:device2/out_voltage0_raw", offset);
}

double dBm(double raw, const QString& words)
{
    const bool preamplifier = !words.contains("nopre");
    return (preamplifier ? -75.0 : -45.0) + (ConversionHelper::linearizeValue(int(raw)) - (preamplifier ? 7150 : 7000)) / 195.0;
}

} // namespace

class TestBoardSimulator : public QObject
{
    Q_OBJECT

    // A running board, the platform root until preparedRoot() makes its own.
    SimulatedBoard m_board {{"--seed", "3", "--radio-rate", "40"}};

private slots:
    void initTestCase()
    {
        QVERIFY(m_board.start());
        QVERIFY(m_board.mapMemories());
        m_board.useAsPlatformRoot();
    }

    void phaseSynchronousBlocks()
    {
        setUp(m_board, "rms tune=600 lin=500 off=250");
        m_board.writeBoardFile("/sys/class/gpio/gpio216/value", "1");
        m_board.writeRegister(RegSamples, 500);
        // Blocks per second against the clock, not the requested sleep (a busy machine oversleeps).
        const auto blockRate = [this] {
            QElapsedTimer clock;
            const quint32 before = m_board.readRegister(SimBlocks);
            clock.start();
            QThread::msleep(600);
            return double(m_board.readRegister(SimBlocks) - before) * 1000.0 / double(clock.elapsed());
        };
        const auto rateAt = [&](int mains, quint32 clocks) {
            m_board.writeRegister(RegClocks, clocks);
            m_board.writeRegister(RegControl, 1 + 4 + (mains == 60 ? 16 : 0));
            QThread::msleep(60);
            const double rate = blockRate();
            QVERIFY2(rate >= mains * 0.84 && rate <= mains * 1.12, qPrintable(QString::number(rate)));
            QVERIFY(m_board.readRegister(RegControl) & 128);
        };
        rateAt(50, 999);
        rateAt(60, 832);
        // Radio sync with monitoring: bit 7 and the sync input follow the sensor, its interrupt
        // count too; without sync the blocks run free.
        m_board.writeRegister(RegControl, 1 + 4 + 32 + 64);
        QTRY_VERIFY_WITH_TIMEOUT(m_board.readRegister(RegControl) & 128, 1000);
        const int count = SystemHelper::interruptCount();
        QTRY_VERIFY_WITH_TIMEOUT(SystemHelper::interruptCount() >= count + 3, 2000);
        QVERIFY(m_board.setFault("radio-silent", true));
        QTRY_VERIFY_WITH_TIMEOUT(!(m_board.readRegister(RegControl) & 128), 1000);
        QThread::msleep(150);
        const int silent = SystemHelper::interruptCount();
        const quint32 blocks = m_board.readRegister(SimBlocks);
        QThread::msleep(300);
        QCOMPARE(SystemHelper::interruptCount(), silent);
        QVERIFY(m_board.readRegister(SimBlocks) > blocks);
        m_board.writeBoardFile("/sys/class/gpio/gpio216/value", "0");
        QTRY_VERIFY_WITH_TIMEOUT(!syncDetected(), 1000);
        QVERIFY(m_board.setFault("radio-silent", false));
        QTRY_VERIFY_WITH_TIMEOUT(syncDetected() && (m_board.readRegister(RegControl) & 128), 1000);
        // The stopping word stays as written and no further block comes.
        m_board.writeRegister(RegControl, 116);
        QThread::msleep(50);
        const quint32 stopped = m_board.readRegister(SimBlocks);
        QThread::msleep(200);
        QCOMPARE(m_board.readRegister(SimBlocks), stopped);
        QCOMPARE(m_board.readRegister(RegControl), 116u);
    }

    // A software start makes one block; while the FPGA is missing none comes.
    void softwareStartsAndFaults()
    {
        QVERIFY(softwareStart(m_board, 500, 1000));
        QCOMPARE(m_board.readRegister(RegControl), 1u); // only the start bit was taken away
        QVERIFY(m_board.sample(0x4000, 0) & ~0x3FFFu); // bits above the detector value are in use
        QVERIFY(measure(m_board, 1, 2048).ordered); // the largest block
        QVERIFY((m_board.sample(0x2000, 2047) & 0x3FFF) > 0);
        // FPGA missing: the device files are gone and a start bit stays set; a mapping lives on.
        QVERIFY(m_board.setFault("fpga-missing", true));
        QVERIFY(!QFileInfo::exists(m_board.path("/dev/bram0")) && !QFileInfo::exists(m_board.path("/dev/bram1")));
        QVERIFY(!softwareStart(m_board, 100, 1000, 300));
        QVERIFY(m_board.setFault("fpga-missing", false));
        QTRY_VERIFY_WITH_TIMEOUT(!(m_board.readRegister(RegControl) & 8), 1000);
        QByteArray states;
        QCOMPARE(m_board.runProgram({"--faults"}, &states), 0);
        QVERIFY(states.contains("fpga-missing=off"));
        QCOMPARE(m_board.runProgram({"--fault", "no-such-fault", "on"}), 1);
        QCOMPARE(m_board.runProgram({"--fault", "pll-unlocked", "maybe"}), 1);
    }

    void writesWhileTheRootIsReadOnlyAreReported()
    {
        QVERIFY(SystemHelper::mountData()); // bracketed, as every writer must: not reported
        QVERIFY(m_board.writeBoardFile("/data/config.ini", "[system]\n"));
        QVERIFY(SystemHelper::unmountData());
        QThread::msleep(100);
        QVERIFY(m_board.writeBoardFile("/data/stray.xml", "<x/>"));
        QTRY_VERIFY_WITH_TIMEOUT(
            m_board.readBoardFile("/sim/readonly-violations.log").contains("/data/stray.xml"), 3000);
        QThread::msleep(1200);
        const QByteArray report = m_board.readBoardFile("/sim/readonly-violations.log");
        QVERIFY(!report.contains("config.ini"));
        QCOMPARE(report.count("/data/stray.xml"), 1);
    }

    // The network stand-ins: ifconfig shows what ifup read from the network file, ifdown takes the
    // address away; umount, df and hwclock (the copy, update and date cases are dialogs.datamaintenance's,
    // through the system page).
    void standInsAnswerInTheBoardsLayouts()
    {
        const QString mac = "00:1E:C0:8A:21:5F";
        QCOMPARE(SystemHelper::interfaceAddresses("eth0"), QStringList({mac, "192.168.1.50", "192.168.1.255", "255.255.255.0"}));
        QVERIFY(SystemHelper::writeInterfaceConfig({"eth0", "inet", "static", "10.1.2.3", "255.255.0.0", ""}, "/etc/network/interfaces"));
        QVERIFY(SystemHelper::execute("ifdown", {"eth0"}));
        QCOMPARE(SystemHelper::interfaceAddresses("eth0"), QStringList {mac});
        QVERIFY(SystemHelper::execute("ifup", {"eth0"}));
        QCOMPARE(SystemHelper::interfaceAddresses("eth0"), QStringList({mac, "10.1.2.3", "10.1.255.255", "255.255.0.0"}));
        QVERIFY(!SystemHelper::execute("ifconfig", {"wlan7"}));
        QVERIFY(SystemHelper::execute("umount", {"/media/usb0"}) && !SystemHelper::execute("umount", {"/media/usb9"}));
        QCOMPARE(SystemHelper::diskUsage(QRegExp(), {}).first().at(5), QStringLiteral("/")); // the information page's
        QVERIFY(SystemHelper::execute("hwclock -u --systohc"));
        QVERIFY(m_board.readBoardFile("/sim/commands.log").contains("hwclock -u --systohc"));
    }

    void preparedRoot()
    {
        SimulatedBoard board;
        QTemporaryDir languages;
        for (const char* name : {"corvane_de.cfg", "corvane_de.qm", "unrelated.txt"})
            QFile(languages.filePath(name)).open(QIODevice::WriteOnly);
        QVERIFY(board.prepare({"--languages", languages.path()}));
        board.useAsPlatformRoot();
        // What the instrument reads from it.
        for (int gpio = 207; gpio <= 237; ++gpio)
            QVERIFY(gpioExport(gpio, gpio != 222, 2));
        QVERIFY(temperatureRaw() > 0);
        QVERIFY(batteryStatus(0) >= 1 && batteryCapacity(0) > 0 && batteryVoltage(0) > 6000);
        QCOMPARE(brightness(), 100);
        QCOMPARE(pllGetFrequency(3), 500000000);
        QCOMPARE(dacGetValue(1), 127);
        QVERIFY(board.mapMemories());
        QCOMPARE(SystemHelper::fpgaVersionText(board.readRegister(0x00)), QStringLiteral("1.4.27"));
        QCOMPARE(SystemHelper::radioCountryVariant(), QStringLiteral("EU868"));
        QCOMPARE(SystemHelper::readInterfaceConfig("eth0", "/etc/network/interfaces").address, QStringLiteral("192.168.1.50"));
        QVERIFY(QFileInfo::exists(board.path("/dev/cc1101")) && QFileInfo(board.path("/media/usb0")).isDir());
        QVERIFY(QDir(board.path("/data")).isEmpty());
        QVERIFY(QFileInfo::exists(board.path("/usr/lib/language/corvane_de.qm")));
        QVERIFY(!QFileInfo::exists(board.path("/usr/lib/language/unrelated.txt")));
        // One boot-environment partition under two names, with a valid checksum.
        QMap<QString, QString> variables;
        QCOMPARE(BootEnvironment::readPartition(board.path("/dev/mtd1"), &variables), BootEnvironment::READ_OK);
        QVERIFY(variables.contains("bootcmd"));
        struct stat block {}, character {};
        QVERIFY(::stat(qPrintable(board.path("/dev/mtdblock1")), &block) == 0 && ::stat(qPrintable(board.path("/dev/mtd1")), &character) == 0);
        QCOMPARE(block.st_ino, character.st_ino);
        // Preparing again keeps /data; --fresh starts over, but only on a folder the simulator made.
        QVERIFY(board.writeBoardFile("/data/config.ini", "[system]\n"));
        QVERIFY(board.prepare());
        QVERIFY(QFileInfo::exists(board.path("/data/config.ini")));
        QVERIFY(board.prepare({"--fresh"}));
        QVERIFY(!QFileInfo::exists(board.path("/data/config.ini")));
        QTemporaryDir foreign;
        QFile(foreign.filePath("keep.txt")).open(QIODevice::WriteOnly);
        for (const QStringList& extra : {QStringList {"--fresh"}, QStringList()})
            QCOMPARE(QProcess::execute(SimulatedBoard::program(), QStringList {"--root", foreign.path(), "--prepare-only"} + extra), 1);
        QCOMPARE(QDir(foreign.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList {"keep.txt"});
        // A root that does not exist yet is fresh too (only the simulator's lock is in it when it wipes).
        QCOMPARE(QProcess::execute(SimulatedBoard::program(), {"--root", foreign.filePath("new"), "--prepare-only", "--fresh"}), 0);
    }

    // The signal model through the default calibration: value(B) alone, or compared with A.
    void signalModel_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("measure"); // dBm, peak (dBm), crest (peak - dBm), raw
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::newRow("noise floor") << "" << "tune=160" << "dBm" << -110.0 << -98.0;
        QTest::newRow("without preamplifier") << "tune=160" << "tune=160 nopre" << "dBm" << 15.0 << 60.0;
        QTest::newRow("wider band, more noise") << "tune=160 bw=1000" << "tune=160 bw=20000" << "dBm" << 9.0 << 40.0;
        QTest::newRow("carrier") << "" << "tune=446" << "dBm" << -55.0 << -40.0;
        QTest::newRow("carrier is steady") << "" << "tune=446" << "crest" << -1.0 << 4.0;
        QTest::newRow("discharge maximum") << "" << "tune=600" << "peak" << -70.0 << 0.0;
        QTest::newRow("discharge pulses") << "" << "tune=600" << "crest" << 20.0 << 100.0;
        QTest::newRow("pulse generator comb") << "tune=500" << "tune=500 comb" << "dBm" << 20.0 << 100.0;
        QTest::newRow("linear amplifier") << "rms tune=446 off=250 lin=100" << "rms tune=446 off=250 lin=400" << "ratio" << 2.5 << 20.0;
        QTest::newRow("offset amplifier, 1.95 counts a step") << "rms tune=160 off=250 lin=400" << "rms tune=160 off=150 lin=400"
                                                              << "raw" << 175.0 << 215.0;
        QTest::newRow("offset calibration at rest") << "" << "rms cal off=0" << "raw" << 488.0 << 527.0;
    }
    void signalModel()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, measure);
        SimulatedBoard board({"--seed", "5"});
        QVERIFY(board.start());
        QVERIFY(board.mapMemories());
        const auto value = [&](const QString& words) {
            setUp(board, words);
            const Levels levels = ::measure(board, words.contains("600") ? 6 : 4);
            if (!levels.ordered)
                return qQNaN();
            if (measure == "peak")
                return dBm(levels.peak, words);
            if (measure == "crest")
                return dBm(levels.peak, words) - dBm(levels.average, words);
            return measure == "dBm" ? dBm(levels.average, words) : levels.average;
        };
        const double second = value(b);
        const double result = a.isEmpty() ? second : measure == "ratio" ? second / value(a) : second - value(a);
        QFETCH(double, low);
        QFETCH(double, high);
        QVERIFY2(result > low && result < high, qPrintable(QString::number(result)));
    }

    // Last, as it ends the shared board.
    void lifetime()
    {
        // A second simulator on the same root is refused; SIGTERM ends the first cleanly.
        QCOMPARE(m_board.runProgram({}), 1);
        QCOMPARE(m_board.stop(), 0);
        QVERIFY(!QFileInfo::exists(m_board.path("/sim/ready")));
        // Started in the background by a shell that ends, the simulator follows it.
        QProcess shell;
        shell.start("/bin/sh",
            {"-c", "\"$0\" --root \"$1\" 2>/dev/null & sleep 1", SimulatedBoard::program(), m_board.root()});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(m_board.path("/sim/ready")), 3000);
        QVERIFY(shell.waitForFinished(5000));
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(m_board.path("/sim/ready")), 3000);
    }
};

QTEST_GUILESS_MAIN(TestBoardSimulator)
#include "tst_boardsim.moc"
