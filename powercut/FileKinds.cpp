#include "FileKinds.h"

#include "storage/RecallFile.h"
#include "storage/RecordWriter.h"
#include "util/BootEnvironment.h"
#include "util/Calibration.h"
#include "util/Configuration.h"
#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QSettings>
#include <QTemporaryDir>

namespace {

// Files in folder that none of the expected names match: temporary files left by a cut write.
void noteLeftovers(const QString& folder, const QStringList& expected, QStringList* notes)
{
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (!QDir::match(expected, entry)) {
            // Temporary names end in six random characters; counted together.
            *notes << QStringLiteral("leftover %1").arg(QString(entry).replace(QRegExp(QStringLiteral("[.][A-Za-z0-9]{6}$")), QStringLiteral(".XXXXXX")));
        }
    }
}

// ---- config.ini ----------------------------------------------------------------------------

class ConfigFile : public FileKind
{
public:
    QString name() const override { return QStringLiteral("config"); }
    bool seed() override
    {
        Configuration::setValue(Configuration::VT_FreqMin, 160, QStringLiteral("spectrum"));
        Configuration::setValue(Configuration::VT_Language, QStringLiteral("de"), QStringLiteral("system"));
        Configuration::setValue(Configuration::VT_Brightness, 60, QStringLiteral("system"));
        Configuration::setValue(Configuration::VT_Sync, 1, QStringLiteral("time"));
        return write(0);
    }
    bool write(int version) override
    {
        Configuration::setValue(Configuration::VT_AmpMaxMicroVolt, 100 + version, QStringLiteral("level"));
        return true;
    }
    int inspect(QString* problem, QStringList* notes) const override
    {
        const QString file = Platform::path(QStringLiteral("/data/config.ini"));
        noteLeftovers(QFileInfo(file).absolutePath(), {QStringLiteral("config.ini")}, notes);
        if (!QFile::exists(file)) {
            *problem = QStringLiteral("config.ini missing");
            return -1;
        }
        const QSettings settings(file, QSettings::IniFormat);
        const bool kept = settings.status() == QSettings::NoError
            && settings.value(QStringLiteral("spectrum/FreqMin")).toString() == QLatin1String("160")
            && settings.value(QStringLiteral("system/Language")).toString() == QLatin1String("de")
            && settings.value(QStringLiteral("system/Brightness")).toString() == QLatin1String("60")
            && settings.value(QStringLiteral("time/Sync")).toString() == QLatin1String("1");
        bool ok = false;
        const int value = settings.value(QStringLiteral("level/AmpMaxMicroVolt")).toString().toInt(&ok);
        if (!kept || !ok) {
            *problem = QStringLiteral("config.ini lost settings");
            return -1;
        }
        return value - 100;
    }
};

// ---- calib.ini -----------------------------------------------------------------------------

const QDateTime TIME_BASE(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
const QString TIME_FORMAT = QStringLiteral("yyyy-MM-dd hh:mm:ss");

class CalibFile : public FileKind
{
public:
    QString name() const override { return QStringLiteral("calib"); }
    bool seed() override
    {
        Calibration::setValue(Calibration::VT_AmpOnLOGOffset, 7100);
        Calibration::setValue(Calibration::VT_AmpOnLOGFaktor, 190.5);
        Calibration::setValue(Calibration::VT_NullOffsetLOG, 600);
        return write(0);
    }
    bool write(int version) override
    {
        // The calibration procedures end by storing the time of the calibration.
        Calibration::setValue(Calibration::VT_KalibTimestamp, TIME_BASE.addSecs(version).toString(TIME_FORMAT));
        return true;
    }
    int inspect(QString* problem, QStringList* notes) const override
    {
        const QString file = Platform::path(QStringLiteral("/data/calib.ini"));
        noteLeftovers(QFileInfo(file).absolutePath(), {QStringLiteral("calib.ini"), QStringLiteral("config.ini")}, notes);
        const QSettings settings(file, QSettings::IniFormat);
        const bool kept = QFile::exists(file) && settings.status() == QSettings::NoError
            && settings.value(QStringLiteral("AmpOnLOGOffset")).toString() == QLatin1String("7100")
            && settings.value(QStringLiteral("AmpOnLOGFaktor")).toString() == QLatin1String("190.5")
            && settings.value(QStringLiteral("NullOffsetLOG")).toString() == QLatin1String("600");
        QDateTime stamp = QDateTime::fromString(settings.value(QStringLiteral("KalibTimestamp")).toString(), TIME_FORMAT);
        stamp.setTimeSpec(Qt::UTC);
        if (!kept || !stamp.isValid()) {
            *problem = QStringLiteral("calib.ini lost values");
            return -1;
        }
        return int(TIME_BASE.secsTo(stamp));
    }
};

// ---- recall.xml ----------------------------------------------------------------------------

const int SLOTS = 501;

QVector<QPointF> trace(int version)
{
    QVector<QPointF> points;
    for (int i = 0; i < SLOTS; ++i)
        points << QPointF(150.0 + i * 1.7, -100.0 + (version * 7 + i) % 90);
    return points;
}

class RecallXml : public FileKind
{
public:
    QString name() const override { return QStringLiteral("recall"); }
    bool seed() override { return write(0); }
    bool write(int version) override
    {
        QVector<RecallFile::Trace> traces(RecallFile::SLOT_COUNT);
        traces[0] = {QStringLiteral("v%1").arg(version), trace(version)};
        traces[2] = {QStringLiteral("Cable end"), trace(-1)};
        return RecallFile::write(RecallFile::build(traces), fileName());
    }
    int inspect(QString* problem, QStringList* notes) const override
    {
        noteLeftovers(QFileInfo(fileName()).absolutePath(),
                      {QStringLiteral("recall.xml"), QStringLiteral("config.ini"), QStringLiteral("calib.ini")}, notes);
        const QVector<RecallFile::Slot> loaded = RecallFile::read(fileName());
        const auto matches = [](const RecallFile::Slot& slot, const QVector<QPointF>& points) {
            if (!slot.present || slot.values.size() != points.size())
                return false;
            for (int i = 0; i < points.size(); ++i) {
                if (slot.values.at(i) != points.at(i).y())
                    return false;
            }
            return true;
        };
        bool ok = false;
        const int version = loaded.value(0).name.mid(1).toInt(&ok);
        if (loaded.size() != RecallFile::SLOT_COUNT || !ok || !matches(loaded.at(0), trace(version))
            || loaded.at(1).present || !matches(loaded.at(2), trace(-1)) || loaded.at(3).present) {
            *problem = QStringLiteral("recall.xml damaged");
            return -1;
        }
        return version;
    }

private:
    static QString fileName() { return RecallFile::path(QStringLiteral("recall.xml"), QStringLiteral("/data")); }
};

// ---- /etc/network/interfaces ---------------------------------------------------------------

const QString INTERFACES = QStringLiteral("/etc/network/interfaces");
const QByteArray INTERFACES_SEED = "# The loopback network interface\n"
                                   "auto lo\n"
                                   "iface lo inet loopback\n"
                                   "\n"
                                   "# The primary network interface\n"
                                   "auto eth0\n"
                                   "iface eth0 inet dhcp\n"
                                   "\n"
                                   "# USB gadget\n"
                                   "iface usb0 inet static\n"
                                   "        address 169.254.10.1\n"
                                   "        netmask 255.255.0.0\n";

SystemHelper::InterfaceConfig interfaceConfig(int version)
{
    // Documentation addresses: the file is only text here, nothing is configured.
    return {QStringLiteral("eth0"), QStringLiteral("inet"), QStringLiteral("static"),
            QStringLiteral("192.0.2.%1").arg(version % 256), QStringLiteral("255.255.255.0"),
            QStringLiteral("198.51.100.%1").arg(version / 256)};
}

class InterfacesFile : public FileKind
{
public:
    QString name() const override { return QStringLiteral("interfaces"); }
    bool seed() override
    {
        QFile file(Platform::path(INTERFACES));
        QDir().mkpath(QFileInfo(file).absolutePath());
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(INTERFACES_SEED) == INTERFACES_SEED.size()
            && (file.close(), write(0));
    }
    bool write(int version) override { return SystemHelper::writeInterfaceConfig(interfaceConfig(version), INTERFACES); }
    int inspect(QString* problem, QStringList* notes) const override
    {
        const QString fileName = Platform::path(INTERFACES);
        noteLeftovers(QFileInfo(fileName).absolutePath(), {QStringLiteral("interfaces")}, notes);
        const SystemHelper::InterfaceConfig config = SystemHelper::readInterfaceConfig(QStringLiteral("eth0"), INTERFACES);
        const int version = config.address.section(QLatin1Char('.'), 3).toInt() + 256 * config.gateway.section(QLatin1Char('.'), 3).toInt();
        // The whole file must be what the writer makes of the seed for that version.
        QTemporaryDir scratch;
        const QString expectedName = scratch.filePath(QStringLiteral("interfaces"));
        QFile expected(expectedName);
        QFile actual(fileName);
        const bool same = expected.open(QIODevice::WriteOnly) && expected.write(INTERFACES_SEED) == INTERFACES_SEED.size()
            && (expected.close(), SystemHelper::writeInterfaceConfig(interfaceConfig(version), expectedName))
            && expected.open(QIODevice::ReadOnly) && actual.open(QIODevice::ReadOnly)
            && expected.readAll() == actual.readAll();
        if (config.method != QLatin1String("static") || !same) {
            *problem = QStringLiteral("interfaces damaged");
            return -1;
        }
        return version;
    }
};

// ---- records -------------------------------------------------------------------------------

QString recordFolder()
{
    return Platform::path(QStringLiteral("/data/corvane_data/Unknown/2024-01-31_PowerCut"));
}

QVector<QPointF> recordSeries(int version)
{
    QVector<QPointF> points;
    for (int i = 0; i < SLOTS; ++i)
        points << QPointF(i, -90.5 + (version + i) % 60);
    return points;
}

// A record is told by its version element; its picture by its colour.
QColor pictureColour(int version)
{
    return QColor(version % 256, (version / 256) % 256, 77);
}

class RecordFiles : public FileKind
{
public:
    QString name() const override { return QStringLiteral("records"); }
    bool needsGui() const override { return true; }
    bool seed() override { return write(0); }
    bool write(int version) override
    {
        QDomDocument document;
        QDomElement root = createRecordRoot(document, QStringLiteral("spectrum"), 1);
        root.appendChild(createTextElement(document, QStringLiteral("powercut_version"), QString::number(version)));
        root.appendChild(createSeriesElement(document, QStringLiteral("max"), recordSeries(version)));
        QPixmap picture(320, 240);
        picture.fill(pictureColour(version));
        return saveMeasurement(QStringLiteral("spectrum"), picture, document, recordFolder());
    }
    int inspect(QString* problem, QStringList* notes) const override
    {
        const QDir folder(recordFolder());
        noteLeftovers(folder.path(), {QStringLiteral("spectrum_*.xml"), QStringLiteral("spectrum_*.png")}, notes);
        int newest = -1;
        for (const QString& entry : folder.entryList({QStringLiteral("*.xml")}, QDir::Files)) {
            QFile file(folder.filePath(entry));
            QDomDocument document;
            if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file)) {
                *problem = QStringLiteral("%1 is no XML").arg(entry);
                return -1;
            }
            const QDomElement root = document.documentElement();
            bool ok = false;
            const int version = root.firstChildElement(QStringLiteral("powercut_version")).text().toInt(&ok);
            if (root.tagName() != QLatin1String("spectrum") || !ok
                || root.firstChildElement(QStringLiteral("max")).text() != seriesText(recordSeries(version))) {
                *problem = QStringLiteral("%1 incomplete").arg(entry);
                return -1;
            }
            const QImage picture(folder.filePath(QFileInfo(entry).completeBaseName() + QStringLiteral(".png")));
            if (picture.isNull())
                *notes << QStringLiteral("record without picture %1").arg(entry);
            else if (picture.pixelColor(0, 0) != pictureColour(version))
                *notes << QStringLiteral("picture of another save beside %1").arg(entry);
            newest = qMax(newest, version);
        }
        for (const QString& entry : folder.entryList({QStringLiteral("*.png")}, QDir::Files)) {
            if (!folder.exists(QFileInfo(entry).completeBaseName() + QStringLiteral(".xml")))
                *notes << QStringLiteral("picture without record %1").arg(entry);
        }
        if (newest < 0)
            *problem = QStringLiteral("no record");
        return newest;
    }
};

// ---- boot environment ----------------------------------------------------------------------

const QString ENVIRONMENT_VARIABLE = QStringLiteral("powercutVersion");

class BootEnvironmentImage : public FileKind
{
public:
    QString name() const override { return QStringLiteral("bootenv"); }
    bool seed() override
    {
        m_loaderVariables = BootEnvironment::instance()->variables();
        return !m_loaderVariables.isEmpty() && write(0);
    }
    bool write(int version) override
    {
        BootEnvironment* environment = BootEnvironment::instance();
        environment->setValue(ENVIRONMENT_VARIABLE, QString::number(version));
        environment->save();
        return environment->isWritable();
    }
    int inspect(QString* problem, QStringList* notes) const override
    {
        noteLeftovers(Platform::path(QStringLiteral("/data")),
                      {QStringLiteral("config.ini"), QStringLiteral("calib.ini"), QStringLiteral("recall.xml")}, notes);
        QMap<QString, QString> variables;
        const BootEnvironment::ReadResult result
            = BootEnvironment::readPartition(Platform::path(QStringLiteral("/dev/mtdblock1")), &variables);
        if (result != BootEnvironment::READ_OK) {
            *problem = QStringLiteral("boot environment unreadable (%1)").arg(int(result));
            return -1;
        }
        // The boot loader's own variables must all be there.
        for (const char* name : {"bootcmd", "bootdelay", "baudrate", "mmcboot", "serial#"}) {
            if (!variables.contains(QLatin1String(name))) {
                *problem = QStringLiteral("boot environment lost %1").arg(QLatin1String(name));
                return -1;
            }
        }
        bool ok = false;
        const int version = variables.value(ENVIRONMENT_VARIABLE).toInt(&ok);
        if (!ok)
            *problem = QStringLiteral("boot environment without the version");
        return ok ? version : -1;
    }

private:
    QMap<QString, QString> m_loaderVariables;
};

} // namespace

QStringList FileKind::names()
{
    return {QStringLiteral("config"), QStringLiteral("calib"), QStringLiteral("recall"),
            QStringLiteral("interfaces"), QStringLiteral("records"), QStringLiteral("bootenv")};
}

std::unique_ptr<FileKind> FileKind::create(const QString& name)
{
    if (name == QLatin1String("config"))
        return std::make_unique<ConfigFile>();
    if (name == QLatin1String("calib"))
        return std::make_unique<CalibFile>();
    if (name == QLatin1String("recall"))
        return std::make_unique<RecallXml>();
    if (name == QLatin1String("interfaces"))
        return std::make_unique<InterfacesFile>();
    if (name == QLatin1String("records"))
        return std::make_unique<RecordFiles>();
    if (name == QLatin1String("bootenv"))
        return std::make_unique<BootEnvironmentImage>();
    return nullptr;
}
