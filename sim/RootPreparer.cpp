#include "RootPreparer.h"

#include "BoardHousekeeping.h"
#include "BoardLayout.h"
#include "BootEnvironmentImage.h"
#include "MappedFile.h"
#include "StandInCommands.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

RootPreparer::RootPreparer(const SimRoot& root)
    : m_root(root)
{
}

bool RootPreparer::isUsable(QString* error) const
{
    const QDir dir(m_root.root());
    if (!dir.exists() || QFileInfo::exists(m_root.simPath(markerName())))
        return true;
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (entries.isEmpty() || entries == QStringList{QStringLiteral("data")})
        return true;
    *error = QStringLiteral("%1 is neither empty nor a simulated root (no sim/%2); pick an empty folder")
                 .arg(m_root.root(), markerName());
    return false;
}

bool RootPreparer::wipe(QString* error) const
{
    QDir dir(m_root.root());
    if (!dir.exists())
        return true;
    // A new root holds only the lock the simulator has just taken on it: nothing to protect.
    const bool onlyTheLock = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
            == QStringList{ QStringLiteral("sim") }
        && QDir(m_root.simPath(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
            == QStringList{ QStringLiteral("lock") };
    if (!QFileInfo::exists(m_root.simPath(markerName())) && !dir.isEmpty() && !onlyTheLock) {
        *error = QStringLiteral("%1 is not a simulated root (no sim/%2); not removing it")
                     .arg(m_root.root(), markerName());
        return false;
    }
    if (!dir.removeRecursively()) {
        *error = QStringLiteral("cannot remove %1").arg(m_root.root());
        return false;
    }
    return true;
}

bool RootPreparer::prepareGpio() const
{
    bool ok = m_root.writeFile(QStringLiteral("/sys/class/gpio/export"), QByteArray())
        && m_root.writeFile(QStringLiteral("/sys/class/gpio/unexport"), QByteArray());
    for (int gpio = BoardLayout::GpioFirst; gpio <= BoardLayout::GpioLast; ++gpio) {
        const bool input = gpio == BoardLayout::GpioSyncDetected;
        ok = m_root.writeFile(m_root.gpioPath(gpio, "direction"), input ? "in\n" : "out\n") && ok;
        ok = m_root.writeFile(m_root.gpioPath(gpio, "edge"), "none\n") && ok;
        ok = m_root.writeFile(m_root.gpioPath(gpio, "active_low"), "0\n") && ok;
        ok = m_root.writeFile(m_root.gpioPath(gpio, "value"), input ? "1\n" : "0\n") && ok;
    }
    return ok;
}

bool RootPreparer::prepareIio() const
{
    using namespace BoardLayout;
    bool ok = m_root.writeFile(m_root.iioPath(IioTemperature, "name"), "imx-temp-adc\n")
        && m_root.writeFile(m_root.iioPath(IioTemperature, "in_temp0_raw"), "2710\n")
        && m_root.writeFile(m_root.iioPath(IioLinearAmplifier, "name"), "ad5311-linear\n")
        && m_root.writeFile(m_root.iioPath(IioLinearAmplifier, "out_voltage0_raw"), "127\n")
        && m_root.writeFile(m_root.iioPath(IioOffsetAmplifier, "name"), "ad5311-offset\n")
        && m_root.writeFile(m_root.iioPath(IioOffsetAmplifier, "out_voltage0_raw"), "630\n")
        && m_root.writeFile(m_root.iioPath(IioPll, "name"), "adf4351\n");
    // The PLL file may be the fault's dangling link: replace only a regular file or nothing.
    const QString pll = m_root.path(m_root.pllFrequencyPath());
    if (!QFileInfo(pll).isSymLink())
        ok = m_root.writeFile(m_root.pllFrequencyPath(), "1000000000\n") && ok;

    const QString battery = QStringLiteral("/sys/class/power_supply/ds2782-0/");
    ok = m_root.writeFile(battery + QStringLiteral("type"), "Battery\n") && ok;
    ok = m_root.writeFile(battery + QStringLiteral("present"), "1\n") && ok;
    ok = m_root.writeFile(battery + QStringLiteral("technology"), "Li-ion\n") && ok;
    const QString backlight = QStringLiteral("/sys/class/backlight/backlight.7/");
    ok = m_root.writeFile(backlight + QStringLiteral("brightness"), "127\n") && ok;
    ok = m_root.writeFile(backlight + QStringLiteral("max_brightness"), "127\n") && ok;
    ok = m_root.writeFile(backlight + QStringLiteral("actual_brightness"), "127\n") && ok;
    ok = m_root.writeFile(QStringLiteral("/sys/class/cc1101/country_variant"), "EU868\n") && ok;
    return ok;
}

bool RootPreparer::prepareBootEnvironment() const
{
    // One partition under two names: the block device reads it, the character device writes it.
    const QString block = m_root.path(QStringLiteral("/dev/mtdblock1"));
    const QString character = m_root.path(QStringLiteral("/dev/mtd1"));
    QFile existing(block);
    bool valid = false;
    if (existing.open(QIODevice::ReadOnly))
        valid = BootEnvironmentImage::isValid(existing.read(BootEnvironmentImage::Size + 1));
    existing.close();
    if (!valid) {
        // Written in place (never truncated to zero first), so a reader sees old or new bytes.
        QFile image(block);
        if (!image.open(QIODevice::ReadWrite))
            return false;
        const QByteArray content = BootEnvironmentImage::build(BootEnvironmentImage::defaultVariables());
        if (image.write(content) != content.size() || !image.resize(content.size()))
            return false;
    }
    struct stat blockInfo {};
    struct stat characterInfo {};
    const QByteArray blockName = QFile::encodeName(block);
    const QByteArray characterName = QFile::encodeName(character);
    if (::stat(blockName.constData(), &blockInfo) != 0)
        return false;
    if (::stat(characterName.constData(), &characterInfo) == 0 && characterInfo.st_ino == blockInfo.st_ino)
        return true;
    ::unlink(characterName.constData());
    return ::link(blockName.constData(), characterName.constData()) == 0;
}

bool RootPreparer::prepareMisc() const
{
    bool ok = true;
    for (const char* dir : {"/data", "/dev", "/etc/network", "/usr/lib/language", "/media/ram", "/bin", "/sbin", "/usr/sbin",
                            "/usr/bin", "/proc", "/sim/faults", "/sim/net", "/sim/hidden"})
        ok = QDir().mkpath(m_root.path(QLatin1String(dir))) && ok;
    // The stick stays where it is while it is pulled (fault "usb-removed").
    const bool pulled = QFileInfo::exists(m_root.simPath(QStringLiteral("faults/usb-removed")));
    const QString stick = pulled ? m_root.simPath(QStringLiteral("hidden/usb0")) : m_root.path(QStringLiteral("/media/usb0"));
    ok = QDir().mkpath(stick) && ok;
    ok = m_root.writeFile(QStringLiteral("/sim/") + markerName(), "corvane-boardsim\n") && ok;
    ok = m_root.writeFile(QStringLiteral("/sim/rootfs"), "ro\n") && ok;
    ok = m_root.writeFile(QStringLiteral("/sim/net/eth0"), "up\n") && ok;
    ok = m_root.writeFile(QStringLiteral("/sim/net/lo"), "up\n") && ok;

    // The FPGA memories: created or grown, never truncated (an instrument may have them mapped).
    using namespace BoardLayout;
    const bool hidden = QFileInfo::exists(m_root.simPath(QStringLiteral("faults/fpga-missing")));
    const QString sampleName = hidden ? m_root.simPath(QStringLiteral("hidden/bram0")) : m_root.path(QStringLiteral("/dev/bram0"));
    const QString registerName = hidden ? m_root.simPath(QStringLiteral("hidden/bram1")) : m_root.path(QStringLiteral("/dev/bram1"));
    ok = MappedFile::ensure(QFile::encodeName(sampleName), SampleMemorySize) && ok;
    ok = MappedFile::ensure(QFile::encodeName(registerName), RegisterMemorySize) && ok;
    {
        MappedFile registers;
        if (registers.map(QFile::encodeName(registerName), RegisterMemorySize))
            registers.store(RegVersion, FpgaVersion);
        else
            ok = false;
    }
    if (!m_root.exists(QStringLiteral("/dev/cc1101")))
        ok = m_root.writeFile(QStringLiteral("/dev/cc1101"), QByteArray()) && ok;

    if (!m_root.exists(QStringLiteral("/etc/network/interfaces")))
        ok = m_root.writeFile(QStringLiteral("/etc/network/interfaces"),
                              "# /etc/network/interfaces -- configuration file for ifup(8), ifdown(8)\n"
                              "\n"
                              "# The loopback interface\n"
                              "auto lo\n"
                              "iface lo inet loopback\n"
                              "\n"
                              "# Wired interface\n"
                              "auto eth0\n"
                              "iface eth0 inet static\n"
                              "        address 192.168.1.50\n"
                              "        netmask 255.255.255.0\n"
                              "        gateway 192.168.1.1\n")
            && ok;
    ok = m_root.writeFile(QStringLiteral("/etc/version.corvane"), "3.2.0 (Corvane board image, 2026-11-20)\n") && ok;
    // Two update images: one the updater accepts, and the same with a damaged payload.
    const QByteArray payload = "Simulated Corvane board image 3.2.1 for the board simulator.\n";
    const QByteArray image = updateImage(QStringLiteral("3.2.1"), payload);
    QByteArray damaged = image;
    damaged.replace("3.2.1 for", "3.2.l for");
    for (const auto& file : {qMakePair(QStringLiteral("corvane-3.2.1.upd"), image),
                             qMakePair(QStringLiteral("corvane-3.2.1-damaged.upd"), damaged)}) {
        QFile target(stick + QLatin1Char('/') + file.first);
        if (!target.exists())
            ok = target.open(QIODevice::WriteOnly) && target.write(file.second) == file.second.size() && ok;
    }
    return ok;
}

bool RootPreparer::prepare(QString* error) const
{
    if (!QDir().mkpath(m_root.root())) {
        *error = QStringLiteral("cannot create %1").arg(m_root.root());
        return false;
    }
    if (!prepareMisc() || !prepareGpio() || !prepareIio()) {
        *error = QStringLiteral("cannot write the board files below %1").arg(m_root.root());
        return false;
    }
    if (!prepareBootEnvironment()) {
        *error = QStringLiteral("cannot write the boot environment below %1").arg(m_root.root());
        return false;
    }
    // The slow board files (battery gauge, /proc/interrupts, sync input) in their start state.
    BoardHousekeeping(m_root, 1.0).initialise(0.0);
    const QStringList failed = StandInCommands::install(m_root);
    if (!failed.isEmpty()) {
        *error = QStringLiteral("cannot install the stand-ins %1").arg(failed.join(QLatin1Char(' ')));
        return false;
    }
    return true;
}

QByteArray RootPreparer::updateImage(const QString& version, const QByteArray& payload)
{
    return "CORVANE-UPDATE 1\nversion " + version.toLatin1() + "\nsha256 "
           + QCryptographicHash::hash(payload, QCryptographicHash::Sha256).toHex() + "\n\n" + payload;
}

int RootPreparer::installLanguages(const QString& sourceDir) const
{
    const QDir source(sourceDir);
    if (!source.exists())
        return 0;
    const QString target = m_root.path(QStringLiteral("/usr/lib/language"));
    QDir().mkpath(target);
    int copied = 0;
    const QStringList files = source.entryList({QStringLiteral("*.qm"), QStringLiteral("corvane_*.cfg")}, QDir::Files);
    for (const QString& name : files) {
        const QString destination = target + QLatin1Char('/') + name;
        QFile::remove(destination);
        if (QFile::copy(source.absoluteFilePath(name), destination))
            ++copied;
    }
    return copied;
}
