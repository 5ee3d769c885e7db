// The board simulator as the instrument meets it: the prepared root, the FPGA emulation over the
// two memory files, the signal model seen through the default calibration, the stand-in commands
// as SystemHelper parses them, and the fault switches.

#include "util/BootEnvironment.h"
#include "util/ConversionHelper.h"
#include "common/SimulatedBoard.h"
#include "util/SystemHelper.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr quint32 RegVersion = 0x00;
constexpr quint32 RegControl = 0x04;
constexpr quint32 RegClocks = 0x08;
constexpr quint32 RegSamples = 0x0C;
constexpr quint32 SimMagic = 0x100;
constexpr quint32 SimBlocks = 0x104;
constexpr quint32 SimStarts = 0x108;
constexpr quint32 SimLastFrequency = 0x10C;
constexpr quint32 MinBuffer = 0x0000;
constexpr quint32 AvgBuffer = 0x2000;
constexpr quint32 MaxBuffer = 0x4000;

const char* const pllFile = "/sys/bus/iio/devices/iio:device3/out_altvoltage0_frequency";


double toDbm(double raw, bool preamplifierOn)
{
    const double level = preamplifierOn ? -75.0 : -45.0;
    const double offset = preamplifierOn ? 7150.0 : 7000.0;
    return level + (ConversionHelper::linearizeValue(int(raw)) - offset) / 195.0;
}

struct BlockSummary
{
    double averageRaw = 0.0; // mean of the average buffer
    double peakRaw = 0.0;    // largest maximum
    bool ordered = true;     // min <= avg <= max in every slot
    bool tagged = false;     // bits above 13 used
};

} // namespace

class TestBoardSimulator : public QObject
{
    Q_OBJECT

private:
    // Arms one software-start block and waits for it; false when the start bit stayed set.
    static bool softwareStart(SimulatedBoard& board, quint32 samples, quint32 clocks, int timeoutMs = 2000)
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

    static BlockSummary summarise(const SimulatedBoard& board, int samples)
    {
        BlockSummary summary;
        double sum = 0.0;
        for (int i = 0; i < samples; ++i) {
            const quint32 lo = board.sample(MinBuffer, i);
            const quint32 avg = board.sample(AvgBuffer, i);
            const quint32 hi = board.sample(MaxBuffer, i);
            summary.tagged = summary.tagged || (hi & ~0x3FFFu) != 0;
            summary.ordered = summary.ordered && (lo & 0x3FFF) <= (avg & 0x3FFF) && (avg & 0x3FFF) <= (hi & 0x3FFF);
            sum += avg & 0x3FFF;
            summary.peakRaw = qMax(summary.peakRaw, double(hi & 0x3FFF));
        }
        summary.averageRaw = sum / samples;
        return summary;
    }

    // Receiver set-up as the board I/O functions write it.
    static void setLines(SimulatedBoard& board, std::initializer_list<std::pair<int, int>> lines)
    {
        for (const auto& line : lines)
            board.writeBoardFile(QStringLiteral("/sys/class/gpio/gpio%1/value").arg(line.first),
                                 QByteArray::number(line.second));
    }

    static void setSpectrumReceiver(SimulatedBoard& board, bool preamplifierOn, int bandwidth)
    {
        // LOG detector, UHF main antenna, bandwidth lines, preamplifier, offset amplifier at 630.
        setLines(board, {{218, 1}, {219, 0}, {227, 0}, {208, 1}, {211, 1}, {212, 0}, {237, 0}, {207, 0}, {210, 0},
                         {213, preamplifierOn ? 0 : 1}});
        if (bandwidth == 1000)
            setLines(board, {{214, 1}, {215, 1}});
        else if (bandwidth == 20000)
            setLines(board, {{214, 1}, {215, 0}});
        else
            setLines(board, {{214, 0}, {215, 1}});
        board.writeBoardFile(QStringLiteral("/sys/bus/iio/devices/iio:device2/out_voltage0_raw"), "630");
    }

    static void tune(SimulatedBoard& board, int megahertz)
    {
        board.writeBoardFile(QLatin1String(pllFile), QByteArray::number(qint64(megahertz) * 2000000));
    }

    // Mean of `blocks` blocks' average and largest maximum, in raw counts.
    static BlockSummary measure(SimulatedBoard& board, int blocks = 4, quint32 samples = 500)
    {
        BlockSummary total;
        for (int b = 0; b < blocks; ++b) {
            if (!softwareStart(board, samples, 1000)) {
                total.ordered = false;
                return total;
            }
            const BlockSummary one = summarise(board, int(samples));
            total.averageRaw += one.averageRaw / blocks;
            total.peakRaw = qMax(total.peakRaw, one.peakRaw);
            total.ordered = total.ordered && one.ordered;
            total.tagged = total.tagged || one.tagged;
        }
        return total;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!SimulatedBoard::program().isEmpty(), "CORVANE_SIM names the simulator program");
        QVERIFY(QFileInfo(SimulatedBoard::program()).isExecutable());
    }

    void preparedRootHoldsTheBoardFiles()
    {
        SimulatedBoard board;
        QTemporaryDir languages;
        QVERIFY(languages.isValid());
        QFile(languages.filePath(QStringLiteral("corvane_de.cfg"))).open(QIODevice::WriteOnly);
        QFile(languages.filePath(QStringLiteral("corvane_de.qm"))).open(QIODevice::WriteOnly);
        QFile(languages.filePath(QStringLiteral("unrelated.txt"))).open(QIODevice::WriteOnly);
        QVERIFY(board.prepare({QStringLiteral("--languages"), languages.path()}));

        for (int gpio = 207; gpio <= 237; ++gpio) {
            for (const char* file : {"value", "direction", "edge"})
                QVERIFY2(QFileInfo::exists(board.path(QStringLiteral("/sys/class/gpio/gpio%1/%2").arg(gpio).arg(QLatin1String(file)))),
                         qPrintable(QString::number(gpio)));
        }
        QCOMPARE(board.readBoardFile(QStringLiteral("/sys/class/gpio/gpio222/direction")), QByteArray("in\n"));
        QVERIFY(QFileInfo::exists(board.path(QStringLiteral("/sys/class/gpio/export"))));
        QVERIFY(board.readBoardFile(QStringLiteral("/sys/bus/iio/devices/iio:device0/in_temp0_raw")).trimmed().toInt() > 0);
        QCOMPARE(board.readBoardFile(QStringLiteral("/sys/bus/iio/devices/iio:device1/out_voltage0_raw")), QByteArray("127\n"));
        QVERIFY(QFileInfo::exists(board.path(QStringLiteral("/sys/bus/iio/devices/iio:device2/out_voltage0_raw"))));
        QCOMPARE(board.readBoardFile(QLatin1String(pllFile)).trimmed().toLongLong(), 1000000000LL);
        const QString gauge = QStringLiteral("/sys/class/power_supply/ds2782-0/");
        QVERIFY(board.readBoardFile(gauge + QStringLiteral("status")).contains("harging"));
        const int capacity = board.readBoardFile(gauge + QStringLiteral("capacity")).trimmed().toInt();
        QVERIFY(capacity > 0 && capacity <= 100);
        QVERIFY(board.readBoardFile(gauge + QStringLiteral("voltage_now")).trimmed().toLongLong() > 3000000);
        QVERIFY(!board.readBoardFile(gauge + QStringLiteral("current_now")).trimmed().isEmpty());
        QVERIFY(!board.readBoardFile(gauge + QStringLiteral("temp")).trimmed().isEmpty());
        QCOMPARE(board.readBoardFile(QStringLiteral("/sys/class/backlight/backlight.7/brightness")), QByteArray("127\n"));

        QCOMPARE(QFileInfo(board.path(QStringLiteral("/dev/bram0"))).size(), 65536);
        QCOMPARE(QFileInfo(board.path(QStringLiteral("/dev/bram1"))).size(), 16384);
        QVERIFY(board.mapMemories());
        QCOMPARE(board.readRegister(RegVersion), (1u << 24) | (4u << 16) | 27u);
        QCOMPARE(SystemHelper::fpgaVersionText(board.readRegister(RegVersion)), QStringLiteral("1.4.27"));

        // One boot-environment partition under two names, with a valid CRC and variables.
        const QByteArray image = board.readBoardFile(QStringLiteral("/dev/mtdblock1"));
        QCOMPARE(image.size(), 0x40000);
        const quint32 stored = quint8(image[0]) | quint32(quint8(image[1])) << 8 | quint32(quint8(image[2])) << 16
            | quint32(quint8(image[3])) << 24;
        QCOMPARE(stored, BootEnvironment::crc32(reinterpret_cast<const uchar*>(image.constData()) + 4, size_t(image.size() - 4)));
        QVERIFY(image.indexOf(QByteArray("bootdelay=", 10)) == 4 || image.contains("bootdelay="));
        struct stat block {};
        struct stat character {};
        QCOMPARE(::stat(QFile::encodeName(board.path(QStringLiteral("/dev/mtdblock1"))).constData(), &block), 0);
        QCOMPARE(::stat(QFile::encodeName(board.path(QStringLiteral("/dev/mtd1"))).constData(), &character), 0);
        QCOMPARE(block.st_ino, character.st_ino);

        QVERIFY(QFileInfo::exists(board.path(QStringLiteral("/dev/cc1101"))));
        QVERIFY(board.readBoardFile(QStringLiteral("/proc/interrupts")).contains("\n 89:"));
        QVERIFY(QDir(board.path(QStringLiteral("/data"))).isEmpty());
        QVERIFY(QFileInfo(board.path(QStringLiteral("/media/usb0"))).isDir());
        QVERIFY(QFileInfo::exists(board.path(QStringLiteral("/usr/lib/language/corvane_de.cfg"))));
        QVERIFY(QFileInfo::exists(board.path(QStringLiteral("/usr/lib/language/corvane_de.qm"))));
        QVERIFY(!QFileInfo::exists(board.path(QStringLiteral("/usr/lib/language/unrelated.txt"))));
        for (const char* standIn : {"/bin/mount", "/bin/umount", "/bin/df", "/sbin/ifconfig", "/sbin/ifup", "/sbin/ifdown",
                                    "/bin/date", "/sbin/hwclock", "/bin/editenv", "/usr/sbin/updater"})
            QVERIFY2(QFileInfo(board.path(QLatin1String(standIn))).isExecutable(), standIn);

        // The facts as SystemHelper reads them.
        board.useAsPlatformRoot();
        QCOMPARE(SystemHelper::osVersion(QStringLiteral("1")), QStringLiteral("3.2.0"));
        QCOMPARE(SystemHelper::productId(QStringLiteral("Unknown")), QStringLiteral("CV2026-0042"));
        QCOMPARE(SystemHelper::radioCountryVariant(), QStringLiteral("EU868"));
        const SystemHelper::InterfaceConfig eth0
            = SystemHelper::readInterfaceConfig(QStringLiteral("eth0"), QStringLiteral("/etc/network/interfaces"));
        QCOMPARE(eth0.method, QStringLiteral("static"));
        QCOMPARE(eth0.address, QStringLiteral("192.168.1.50"));
        QCOMPARE(SystemHelper::readInterfaceConfig(QStringLiteral("lo"), QStringLiteral("/etc/network/interfaces")).method,
                 QStringLiteral("loopback"));

        // Preparing again keeps /data and the boot environment, and a second simulator is refused.
        QVERIFY(board.writeBoardFile(QStringLiteral("/data/config.ini"), "[system]\n"));
        QVERIFY(board.prepare());
        QVERIFY(QFileInfo::exists(board.path(QStringLiteral("/data/config.ini"))));
        // --fresh starts over, but only on a folder the simulator made.
        QVERIFY(board.prepare({QStringLiteral("--fresh")}));
        QVERIFY(!QFileInfo::exists(board.path(QStringLiteral("/data/config.ini"))));
        QVERIFY(QFileInfo::exists(board.path(QStringLiteral("/dev/bram1"))));
        QTemporaryDir foreign;
        QVERIFY(foreign.isValid());
        QFile keep(foreign.filePath(QStringLiteral("keep.txt")));
        QVERIFY(keep.open(QIODevice::WriteOnly));
        keep.close();
        QCOMPARE(QProcess::execute(SimulatedBoard::program(), {QStringLiteral("--root"), foreign.path(),
                                                               QStringLiteral("--prepare-only"), QStringLiteral("--fresh")}),
                 1);
        QCOMPARE(QProcess::execute(SimulatedBoard::program(), {QStringLiteral("--root"), foreign.path(), QStringLiteral("--prepare-only")}),
                 1);
        QCOMPARE(QDir(foreign.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("keep.txt")});
    }

    void softwareStartIsConsumedAndFillsTheBuffers()
    {
        SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("11")});
        QVERIFY(board.start());
        QVERIFY(board.mapMemories());
        QCOMPARE(board.readRegister(SimMagic), 0x4D495343u);
        setSpectrumReceiver(board, true, 5000);
        tune(board, 300);

        const quint32 blocksBefore = board.readRegister(SimBlocks);
        const quint32 startsBefore = board.readRegister(SimStarts);
        QVERIFY(softwareStart(board, 500, 1000));
        QCOMPARE(board.readRegister(RegControl), 1u); // only the start bit was taken away
        QCOMPARE(board.readRegister(SimBlocks), blocksBefore + 1);
        QCOMPARE(board.readRegister(SimStarts), startsBefore + 1);
        QCOMPARE(board.readRegister(SimLastFrequency), 300000u);
        const BlockSummary summary = summarise(board, 500);
        QVERIFY(summary.ordered);
        QVERIFY(summary.tagged);
        QVERIFY(summary.averageRaw > 100.0);

        // The largest block: 2048 samples.
        QVERIFY(softwareStart(board, 2048, 100));
        QVERIFY(summarise(board, 2048).ordered);
        QVERIFY((board.sample(AvgBuffer, 2047) & 0x3FFF) > 0);

        // A second simulator on the same root is refused; SIGTERM ends the first cleanly.
        QCOMPARE(board.runProgram({}), 1);
        QCOMPARE(board.stop(), 0);
        QVERIFY(!QFileInfo::exists(board.path(QStringLiteral("/sim/ready"))));
    }

    void simulatorEndsWithTheProcessThatStartedIt()
    {
        SimulatedBoard board;
        QVERIFY(board.prepare());
        // A shell starts the simulator in the background and ends; the simulator follows it.
        QProcess shell;
        shell.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"), QStringLiteral("\"$0\" --root \"$1\" 2>/dev/null & sleep 1"), SimulatedBoard::program(),
                     board.root()});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(board.path(QStringLiteral("/sim/ready"))), 3000);
        QVERIFY(shell.waitForFinished(5000));
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(board.path(QStringLiteral("/sim/ready"))), 3000);
    }

    void signalsLookRightThroughTheDefaultCalibration()
    {
        SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("5")});
        QVERIFY(board.start());
        QVERIFY(board.mapMemories());

        // Noise floor with the preamplifier at 5 MHz, away from every source.
        setSpectrumReceiver(board, true, 5000);
        tune(board, 160);
        const BlockSummary quiet = measure(board);
        QVERIFY(quiet.ordered);
        const double floorDbm = toDbm(quiet.averageRaw, true);
        QVERIFY2(floorDbm > -110.0 && floorDbm < -98.0, qPrintable(QString::number(floorDbm)));

        // Without the preamplifier the floor rises (and the other calibration set applies).
        setSpectrumReceiver(board, false, 5000);
        const double floorOff = toDbm(measure(board).averageRaw, false);
        QVERIFY2(floorOff > floorDbm + 15.0, qPrintable(QStringLiteral("%1 %2").arg(floorOff).arg(floorDbm)));

        // A wider bandwidth lets in more noise.
        setSpectrumReceiver(board, true, 20000);
        const double floorWide = toDbm(measure(board).averageRaw, true);
        setSpectrumReceiver(board, true, 1000);
        const double floorNarrow = toDbm(measure(board).averageRaw, true);
        QVERIFY2(floorWide > floorNarrow + 9.0, qPrintable(QStringLiteral("%1 %2").arg(floorWide).arg(floorNarrow)));

        // The carrier: high average, maximum close to it.
        setSpectrumReceiver(board, true, 5000);
        tune(board, 446);
        const BlockSummary carrier = measure(board);
        const double carrierAvg = toDbm(carrier.averageRaw, true);
        const double carrierMax = toDbm(carrier.peakRaw, true);
        QVERIFY2(carrierAvg > -55.0 && carrierAvg < -40.0, qPrintable(QString::number(carrierAvg)));
        QVERIFY2(carrierMax - carrierAvg < 4.0, qPrintable(QString::number(carrierMax - carrierAvg)));

        // A discharge source: the maximum stands far above the average.
        tune(board, 600);
        const BlockSummary discharge = measure(board, 6);
        const double dischargeAvg = toDbm(discharge.averageRaw, true);
        const double dischargeMax = toDbm(discharge.peakRaw, true);
        QVERIFY2(dischargeMax > -70.0, qPrintable(QString::number(dischargeMax)));
        QVERIFY2(dischargeMax - dischargeAvg > 20.0, qPrintable(QStringLiteral("%1 %2").arg(dischargeMax).arg(dischargeAvg)));

        // The pulse generator's comb line at 500 MHz when it is fed in.
        tune(board, 500);
        const double withoutComb = toDbm(measure(board).averageRaw, true);
        setLines(board, {{207, 1}, {209, 1}});
        const double withComb = toDbm(measure(board).averageRaw, true);
        QVERIFY2(withComb > withoutComb + 20.0, qPrintable(QStringLiteral("%1 %2").arg(withComb).arg(withoutComb)));
        setLines(board, {{207, 0}, {209, 0}});

        // RMS detector: the linear amplifier raises the counts, the offset amplifier lowers them.
        setLines(board, {{218, 0}, {219, 1}, {227, 1}});
        tune(board, 446);
        board.writeBoardFile(QStringLiteral("/sys/bus/iio/devices/iio:device2/out_voltage0_raw"), "250");
        board.writeBoardFile(QStringLiteral("/sys/bus/iio/devices/iio:device1/out_voltage0_raw"), "100");
        const double lowGain = measure(board).averageRaw;
        board.writeBoardFile(QStringLiteral("/sys/bus/iio/devices/iio:device1/out_voltage0_raw"), "400");
        const double highGain = measure(board).averageRaw;
        QVERIFY2(highGain > 2.5 * lowGain, qPrintable(QStringLiteral("%1 %2").arg(highGain).arg(lowGain)));
        // Away from the carrier the offset amplifier's 1.95 counts per step show plainly.
        tune(board, 160);
        const double fullOffset = measure(board).averageRaw;
        board.writeBoardFile(QStringLiteral("/sys/bus/iio/devices/iio:device2/out_voltage0_raw"), "150");
        const double lessOffset = measure(board).averageRaw;
        QVERIFY2(qAbs(lessOffset - fullOffset - 195.0) < 20.0,
                 qPrintable(QStringLiteral("%1 %2").arg(lessOffset).arg(fullOffset)));

        // Offset calibration: input disconnected, RMS at DAC 0 reads about 507 counts.
        setLines(board, {{210, 1}, {208, 0}, {212, 1}, {213, 1}});
        board.writeBoardFile(QStringLiteral("/sys/bus/iio/devices/iio:device2/out_voltage0_raw"), "0");
        const double resting = measure(board).averageRaw;
        const int rmsOffset = int(100000u * quint32(resting) / 195055u) - 10;
        QVERIFY2(qAbs(rmsOffset - 250) < 10, qPrintable(QString::number(rmsOffset)));
    }

    void phaseSynchronousBlocksFollowTheMains()
    {
        SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("3"), QStringLiteral("--radio-rate"), QStringLiteral("40")});
        QVERIFY(board.start());
        QVERIFY(board.mapMemories());
        // Time-domain set-up: RMS detector, UHF, 600 MHz, linear amplifier 500.
        setSpectrumReceiver(board, true, 5000);
        setLines(board, {{218, 0}, {219, 1}, {227, 1}, {216, 1}, {217, 0}});
        board.writeBoardFile(QStringLiteral("/sys/bus/iio/devices/iio:device1/out_voltage0_raw"), "500");
        board.writeBoardFile(QStringLiteral("/sys/bus/iio/devices/iio:device2/out_voltage0_raw"), "250");
        tune(board, 600);
        board.writeRegister(RegClocks, 999);
        board.writeRegister(RegSamples, 500);

        const auto blocksIn = [&board](int ms) {
            const quint32 before = board.readRegister(SimBlocks);
            QThread::msleep(ms);
            return int(board.readRegister(SimBlocks) - before);
        };
        // Blocks per second over about 600 ms, measured against the clock rather than the
        // requested sleep, so that a busy machine oversleeping does not skew the rate.
        const auto blockRate = [&board]() {
            QElapsedTimer clock;
            const quint32 before = board.readRegister(SimBlocks);
            clock.start();
            QThread::msleep(600);
            const quint32 after = board.readRegister(SimBlocks);
            return double(after - before) * 1000.0 / double(clock.elapsed());
        };

        board.writeRegister(RegControl, 1 + 4);
        QThread::msleep(60);
        const double at50 = blockRate(); // 50 expected
        QVERIFY2(at50 >= 42.0 && at50 <= 56.0, qPrintable(QString::number(at50)));
        QVERIFY(board.readRegister(RegControl) & 128);
        QCOMPARE(board.readRegister(RegControl) & ~128u, 1u + 4u);

        // The pulses of the 600 MHz source cluster at 45 and 225 degrees of the mains cycle.
        QVector<double> peaks(500, 0.0);
        quint32 seen = board.readRegister(SimBlocks);
        for (int collected = 0; collected < 30;) {
            if (board.readRegister(SimBlocks) == seen) {
                QThread::usleep(500);
                continue;
            }
            seen = board.readRegister(SimBlocks);
            for (int i = 0; i < 500; ++i)
                peaks[i] += board.sample(MaxBuffer, i) & 0x3FFF;
            ++collected;
        }
        const auto mean = [&peaks](int from, int to) {
            double sum = 0.0;
            for (int i = from; i < to; ++i)
                sum += peaks[i];
            return sum / (to - from);
        };
        const double cluster = mean(50, 75);   // around 45 degrees
        const double quietPart = mean(130, 180); // around 110 degrees
        QVERIFY2(cluster > 1.5 * quietPart, qPrintable(QStringLiteral("%1 %2").arg(cluster).arg(quietPart)));

        // 60 Hz.
        board.writeRegister(RegClocks, 832);
        board.writeRegister(RegControl, 1 + 4 + 16);
        QThread::msleep(60);
        const double at60 = blockRate(); // 60 expected
        QVERIFY2(at60 >= 52.0 && at60 <= 67.0, qPrintable(QString::number(at60)));

        // Radio sync with monitoring: bit 7 follows the sensor; its interrupt count too.
        board.useAsPlatformRoot();
        board.writeRegister(RegControl, 1 + 4 + 32 + 64);
        QTRY_VERIFY_WITH_TIMEOUT(board.readRegister(RegControl) & 128, 1000);
        const int countBefore = SystemHelper::interruptCount();
        QTRY_VERIFY_WITH_TIMEOUT(SystemHelper::interruptCount() >= countBefore + 3, 2000);
        QVERIFY(board.setFault(QStringLiteral("radio-silent"), true));
        QTRY_VERIFY_WITH_TIMEOUT(!(board.readRegister(RegControl) & 128), 1000);
        QThread::msleep(150);
        const int silentCount = SystemHelper::interruptCount();
        QThread::msleep(300);
        QCOMPARE(SystemHelper::interruptCount(), silentCount);
        // Blocks keep coming without sync (free running), and the sync input reads 0 for the radio.
        QVERIFY(blocksIn(200) > 0);
        setLines(board, {{216, 0}, {217, 0}});
        QTRY_COMPARE_WITH_TIMEOUT(board.readBoardFile(QStringLiteral("/sys/class/gpio/gpio222/value")).trimmed(),
                                  QByteArray("0"), 1000);
        QVERIFY(board.setFault(QStringLiteral("radio-silent"), false));
        QTRY_VERIFY_WITH_TIMEOUT(board.readRegister(RegControl) & 128, 1000);
        QTRY_COMPARE_WITH_TIMEOUT(board.readBoardFile(QStringLiteral("/sys/class/gpio/gpio222/value")).trimmed(),
                                  QByteArray("1"), 1000);

        // The stopping word stays as written and no further block comes.
        board.writeRegister(RegControl, 116);
        QThread::msleep(50);
        QCOMPARE(blocksIn(200), 0);
        QCOMPARE(board.readRegister(RegControl), 116u);
    }

    void faultsSwitchAtRunTime()
    {
        SimulatedBoard board({QStringLiteral("--seed"), QStringLiteral("9")});
        QVERIFY(board.start());
        QVERIFY(board.mapMemories());
        setSpectrumReceiver(board, true, 5000);
        tune(board, 700);

        // PLL unlocked: the frequency file can be neither read nor written.
        QVERIFY(board.setFault(QStringLiteral("pll-unlocked"), true));
        const QByteArray pll = QFile::encodeName(board.path(QLatin1String(pllFile)));
        QVERIFY(std::fopen(pll.constData(), "r") == nullptr);
        QVERIFY(std::fopen(pll.constData(), "w") == nullptr);
        QVERIFY(softwareStart(board, 100, 1000));
        QCOMPARE(board.readRegister(SimLastFrequency), 0u);
        QVERIFY(board.setFault(QStringLiteral("pll-unlocked"), false));
        QCOMPARE(board.readBoardFile(QLatin1String(pllFile)).trimmed().toLongLong(), 1400000000LL);
        QVERIFY(softwareStart(board, 100, 1000));
        QCOMPARE(board.readRegister(SimLastFrequency), 700000u);

        // FPGA missing: the device files are gone and a start bit stays set; our mapping lives on.
        QVERIFY(board.setFault(QStringLiteral("fpga-missing"), true));
        QVERIFY(!QFileInfo::exists(board.path(QStringLiteral("/dev/bram0"))));
        QVERIFY(!QFileInfo::exists(board.path(QStringLiteral("/dev/bram1"))));
        QVERIFY(!softwareStart(board, 100, 1000, 300));
        QVERIFY(board.setFault(QStringLiteral("fpga-missing"), false));
        QVERIFY(QFileInfo::exists(board.path(QStringLiteral("/dev/bram1"))));
        QTRY_VERIFY_WITH_TIMEOUT(!(board.readRegister(RegControl) & 8), 1000);

        // Remount failure, through SystemHelper as every writer uses it.
        board.useAsPlatformRoot();
        QVERIFY(SystemHelper::mountData());
        QCOMPARE(board.readBoardFile(QStringLiteral("/sim/rootfs")).trimmed(), QByteArray("rw"));
        QVERIFY(SystemHelper::unmountData());
        QCOMPARE(board.readBoardFile(QStringLiteral("/sim/rootfs")).trimmed(), QByteArray("ro"));
        QVERIFY(board.setFault(QStringLiteral("remount-failure"), true));
        QVERIFY(!SystemHelper::mountData());
        QVERIFY(!SystemHelper::execute(QStringLiteral("mount"), {QStringLiteral("/media/usb0"), QStringLiteral("-o"),
                                                                 QStringLiteral("remount,rw")}));
        QVERIFY(board.setFault(QStringLiteral("remount-failure"), false));
        QVERIFY(SystemHelper::mountData());
        QVERIFY(SystemHelper::unmountData());
        const QByteArray mountLog = board.readBoardFile(QStringLiteral("/sim/mount.log"));
        QCOMPARE(mountLog.count("mount / -o remount,rw"), 3);
        QCOMPARE(mountLog.count("mount / -o remount,ro"), 2);

        QByteArray states;
        QCOMPARE(board.runProgram({QStringLiteral("--faults")}, &states), 0);
        QVERIFY(states.contains("pll-unlocked=off"));
        QCOMPARE(board.runProgram({QStringLiteral("--fault"), QStringLiteral("no-such-fault"), QStringLiteral("on")}), 1);
        QCOMPARE(board.runProgram({QStringLiteral("--fault"), QStringLiteral("pll-unlocked"), QStringLiteral("maybe")}), 1);
    }

    void writesWhileTheRootIsReadOnlyAreReported()
    {
        SimulatedBoard board;
        QVERIFY(board.start());
        board.useAsPlatformRoot();
        // Bracketed by the remount, as every writer must: not reported.
        QVERIFY(SystemHelper::mountData());
        QVERIFY(board.writeBoardFile(QStringLiteral("/data/config.ini"), "[system]\n"));
        QVERIFY(SystemHelper::unmountData());
        QThread::msleep(100);
        // Written while "/" is read-only (a real board refuses it): reported.
        QVERIFY(board.writeBoardFile(QStringLiteral("/data/stray.xml"), "<x/>"));
        QTRY_VERIFY_WITH_TIMEOUT(board.readBoardFile(QStringLiteral("/sim/readonly-violations.log")).contains("/data/stray.xml"),
                                 3000);
        QThread::msleep(1200);
        const QByteArray report = board.readBoardFile(QStringLiteral("/sim/readonly-violations.log"));
        QVERIFY(!report.contains("config.ini"));
        QCOMPARE(report.count("/data/stray.xml"), 1);
    }

    void standInsAnswerInTheBoardsLayouts()
    {
        SimulatedBoard board;
        QVERIFY(board.prepare());
        QDir().mkpath(board.path(QStringLiteral("/media/stick two")));
        board.useAsPlatformRoot();

        // df -h: the sticks (a mount point with a blank stays whole), the RAM disk excluded.
        const QList<QStringList> sticks
            = SystemHelper::diskUsage(QRegExp(QStringLiteral("/media/[.]*")), {QStringLiteral("/media/ram")});
        QCOMPARE(sticks.size(), 2);
        QCOMPARE(sticks.at(0).size(), 6);
        QStringList mountPoints{sticks.at(0).at(5), sticks.at(1).at(5)};
        mountPoints.sort();
        QCOMPARE(mountPoints, QStringList({QStringLiteral("/media/stick two"), QStringLiteral("/media/usb0")}));
        QVERIFY(sticks.at(0).at(4).endsWith(QLatin1Char('%')));
        const QList<QStringList> all = SystemHelper::diskUsage(QRegExp(), {});
        QVERIFY(all.size() >= 5);
        QCOMPARE(all.first().at(5), QStringLiteral("/"));

        // Mounting a stick that exists works, one that does not fails; umount alike.
        QVERIFY(SystemHelper::execute(QStringLiteral("mount"),
                                      {QStringLiteral("/media/usb0"), QStringLiteral("-o"), QStringLiteral("remount,rw")}));
        QVERIFY(SystemHelper::execute(QStringLiteral("umount"), {QStringLiteral("/media/usb0")}));
        QVERIFY(!SystemHelper::execute(QStringLiteral("umount"), {QStringLiteral("/media/usb9")}));

        // ifconfig: MAC on the first line, address, broadcast and mask on the second.
        QCOMPARE(SystemHelper::interfaceAddresses(QStringLiteral("eth0")),
                 QStringList({QStringLiteral("00:1E:C0:8A:21:5F"), QStringLiteral("192.168.1.50"),
                              QStringLiteral("192.168.1.255"), QStringLiteral("255.255.255.0")}));
        SystemHelper::InterfaceConfig config;
        config.name = QStringLiteral("eth0");
        config.family = QStringLiteral("inet");
        config.method = QStringLiteral("static");
        config.address = QStringLiteral("10.1.2.3");
        config.netmask = QStringLiteral("255.255.0.0");
        QVERIFY(SystemHelper::writeInterfaceConfig(config, QStringLiteral("/etc/network/interfaces")));
        QVERIFY(SystemHelper::execute(QStringLiteral("ifdown"), {QStringLiteral("eth0")}));
        QCOMPARE(SystemHelper::interfaceAddresses(QStringLiteral("eth0")), QStringList{QStringLiteral("00:1E:C0:8A:21:5F")});
        QVERIFY(SystemHelper::execute(QStringLiteral("ifup"), {QStringLiteral("eth0")}));
        QCOMPARE(SystemHelper::interfaceAddresses(QStringLiteral("eth0")),
                 QStringList({QStringLiteral("00:1E:C0:8A:21:5F"), QStringLiteral("10.1.2.3"),
                              QStringLiteral("10.1.255.255"), QStringLiteral("255.255.0.0")}));
        QVERIFY(!SystemHelper::execute(QStringLiteral("ifconfig"), {QStringLiteral("wlan7")}));

        // Clock commands only log; the updater refuses a missing file.
        QVERIFY(SystemHelper::execute(QStringLiteral("date -s 2031.01.02-03:04:05")));
        QVERIFY(SystemHelper::execute(QStringLiteral("hwclock -u --systohc")));
        QVERIFY(!SystemHelper::execute(QStringLiteral("/usr/sbin/updater"), {QStringLiteral("/media/usb0/none.upd")}));
        const QByteArray log = board.readBoardFile(QStringLiteral("/sim/commands.log"));
        QVERIFY(log.contains("date -s 2031.01.02-03:04:05"));
        QVERIFY(log.contains("hwclock -u --systohc"));
        QVERIFY(QDate::currentDate().year() < 2031);
    }
};

QTEST_GUILESS_MAIN(TestBoardSimulator)
#include "tst_boardsim.moc"
