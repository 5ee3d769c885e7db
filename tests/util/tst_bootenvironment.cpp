#include "common/TestRoot.h"
#include "util/BootEnvironment.h"

#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <cstring>

namespace {

using Variables = QMap<QString, QString>;
const int SIZE = BootEnvironment::IMAGE_SIZE;

// An image holding the given raw data from byte 4 on, with a correct checksum unless told.
QByteArray rawImage(const QByteArray& data, char fill = '\0', bool correctChecksum = true)
{
    QByteArray image(SIZE, fill);
    std::memcpy(image.data() + 4, data.constData(), size_t(qMin(data.size(), SIZE - 4)));
    quint32 crc = BootEnvironment::crc32(reinterpret_cast<const uchar*>(image.constData()) + 4, SIZE - 4);
    if (!correctChecksum)
        crc ^= 1u;
    for (int i = 0; i < 4; ++i)
        image[i] = char(crc >> (8 * i));
    return image;
}

Variables parse(const QByteArray& image, BootEnvironment::ReadResult* result = nullptr)
{
    Variables variables;
    variables.insert(QStringLiteral("stale"), QStringLiteral("x"));
    const BootEnvironment::ReadResult r
        = BootEnvironment::parseImage(reinterpret_cast<const uchar*>(image.constData()), &variables);
    if (result)
        *result = r;
    return variables;
}

} // namespace

class TestBootEnvironment : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QVERIFY(m_root.installMount());
    }

    void checksumIsTheStandardCrc32()
    {
        const QByteArray check("123456789");
        QCOMPARE(BootEnvironment::crc32(reinterpret_cast<const uchar*>(check.constData()), size_t(check.size())),
            0xCBF43926u);
        QCOMPARE(BootEnvironment::crc32(nullptr, 0), 0u);
    }

    void imageLayoutAndRoundTrip()
    {
        Variables variables;
        variables.insert(QStringLiteral("bootdelay"), QStringLiteral("3"));
        variables.insert(QStringLiteral("calibAmpOnLOGFaktor"), QStringLiteral("195.5"));
        variables.insert(QStringLiteral("bootargs"), QStringLiteral("console=ttyS0,115200 root=/dev/mmcblk0p2"));
        QByteArray image;
        QVERIFY(BootEnvironment::buildImage(variables, &image));
        QCOMPARE(image.size(), SIZE);

        // Name order, NUL after each text, an empty text and zeros after the last one.
        const char texts[] = "bootargs=console=ttyS0,115200 root=/dev/mmcblk0p2\0bootdelay=3\0"
                             "calibAmpOnLOGFaktor=195.5\0";
        const QByteArray expected(texts, sizeof(texts) - 1);
        QCOMPARE(image.mid(4, expected.size()), expected);
        QVERIFY(image.mid(4 + expected.size()).count('\0') == SIZE - 4 - expected.size());

        // Little-endian CRC-32 of bytes 4 .. 0x3FFFF.
        const quint32 crc = BootEnvironment::crc32(reinterpret_cast<const uchar*>(image.constData()) + 4, SIZE - 4);
        QCOMPARE(uchar(image[0]), uchar(crc & 0xFF));
        QCOMPARE(uchar(image[1]), uchar((crc >> 8) & 0xFF));
        QCOMPARE(uchar(image[2]), uchar((crc >> 16) & 0xFF));
        QCOMPARE(uchar(image[3]), uchar((crc >> 24) & 0xFF));

        BootEnvironment::ReadResult result;
        QCOMPARE(parse(image, &result), variables);
        QCOMPARE(result, BootEnvironment::READ_OK);

        // Through a file standing in for the partition.
        QVERIFY(m_root.writeFile(QStringLiteral("/dev/roundtrip"), QByteArray(SIZE, '\x55')));
        QCOMPARE(BootEnvironment::writePartition(m_root.path(QStringLiteral("/dev/roundtrip")), image),
            BootEnvironment::WRITE_OK);
        QCOMPARE(m_root.readFile(QStringLiteral("/dev/roundtrip")), image);
        Variables read;
        QCOMPARE(BootEnvironment::readPartition(m_root.path(QStringLiteral("/dev/roundtrip")), &read),
            BootEnvironment::READ_OK);
        QCOMPARE(read, variables);
    }

    // Images read from a file standing in for the partition (a read past its end would fault).
    void parsing_data()
    {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<int>("result");
        QTest::addColumn<Variables>("expected");
        const QByteArray odd("a=1\0b=\0c\0=nameless\0d=x=y\0e=2\0\0f=after the end\0", 46);
        QTest::newRow("entries without name or separator")
            << rawImage(odd) << int(BootEnvironment::READ_OK) << Variables {{"a", "1"}, {"b", ""}, {"d", "x=y"}, {"e", "2"}};
        QTest::newRow("bad checksum") << rawImage(QByteArray("a=1\0\0", 5), '\0', false) << int(BootEnvironment::READ_BAD_CHECKSUM)
                                      << Variables();
        QTest::newRow("erased") << QByteArray(SIZE, '\xFF') << int(BootEnvironment::READ_BAD_CHECKSUM) << Variables();
        QTest::newRow("one text without end") << rawImage(QByteArray(), '\xFF') << int(BootEnvironment::READ_OK) << Variables();
        QTest::newRow("a text that runs to the last byte") << rawImage(QByteArray("a=1\0b=2", 7), 'z') << int(BootEnvironment::READ_OK)
                                                           << Variables {{"a", "1"}};
        QByteArray full = rawImage(QByteArray("k=", 2), 'y');
        full[SIZE - 1] = '\0';
        QTest::newRow("the last text ends with the last byte")
            << rawImage(full.mid(4, SIZE - 4)) << int(BootEnvironment::READ_OK) << Variables {{"k", QString(SIZE - 4 - 3, 'y')}};
    }
    void parsing()
    {
        QFETCH(QByteArray, image);
        QVERIFY(m_root.writeFile("/dev/image", image));
        Variables variables;
        QTEST(int(BootEnvironment::readPartition(m_root.path("/dev/image"), &variables)), "result");
        QTEST(variables, "expected");
    }

    void emptyValueIsWrittenAsBareName()
    {
        QByteArray image;
        QVERIFY(BootEnvironment::buildImage({{"a", "1"}, {"empty", ""}}, &image));
        QCOMPARE(image.mid(4, 11), QByteArray("a=1\0empty\0\0", 11));
        QCOMPARE(parse(image), Variables({{"a", "1"}}));
    }

    void shortOrMissingDevices()
    {
        Variables variables;
        QCOMPARE(BootEnvironment::readPartition(m_root.path(QStringLiteral("/dev/missing")), &variables),
            BootEnvironment::READ_OPEN_FAILED);
        QVERIFY(m_root.writeFile(QStringLiteral("/dev/short"), rawImage(QByteArray("a=1\0", 4)).left(4096)));
        QCOMPARE(BootEnvironment::readPartition(m_root.path(QStringLiteral("/dev/short")), &variables),
            BootEnvironment::READ_MAP_FAILED);
        QVERIFY(m_root.writeFile(QStringLiteral("/dev/empty"), QByteArray()));
        QCOMPARE(BootEnvironment::readPartition(m_root.path(QStringLiteral("/dev/empty")), &variables),
            BootEnvironment::READ_MAP_FAILED);
        QVERIFY(variables.isEmpty());
        QCOMPARE(BootEnvironment::writePartition(m_root.path(QStringLiteral("/dev/missing")), rawImage(QByteArray())),
            BootEnvironment::WRITE_OPEN_FAILED);
        QVERIFY(!m_root.exists(QStringLiteral("/dev/missing")));
        // A longer file is fine: only the first 0x40000 bytes count.
        QVERIFY(m_root.writeFile(QStringLiteral("/dev/long"), rawImage(QByteArray("a=1\0", 4)) + QByteArray(100, 'q')));
        QCOMPARE(BootEnvironment::readPartition(m_root.path(QStringLiteral("/dev/long")), &variables),
            BootEnvironment::READ_OK);
        QCOMPARE(variables.value(QStringLiteral("a")), QStringLiteral("1"));
    }

    void variablesThatDoNotFit()
    {
        // Entries plus their NULs plus the closing empty text fill the data area exactly.
        const int room = SIZE - 4 - 1;
        Variables variables;
        variables.insert(QStringLiteral("a"), QString(room - 3, QLatin1Char('v'))); // "a=" + value + NUL
        QByteArray image;
        QVERIFY(BootEnvironment::buildImage(variables, &image));
        QCOMPARE(image.at(SIZE - 1), '\0');
        QCOMPARE(image.at(SIZE - 2), '\0');
        QCOMPARE(image.at(SIZE - 3), 'v');
        QCOMPARE(parse(image), variables);

        variables.insert(QStringLiteral("a"), QString(room - 2, QLatin1Char('v')));
        QVERIFY(!BootEnvironment::buildImage(variables, &image));
        QVERIFY(image.isEmpty());

        Variables many;
        for (int i = 0; i < 20000; ++i)
            many.insert(QStringLiteral("variable%1").arg(i), QStringLiteral("value"));
        QVERIFY(!BootEnvironment::buildImage(many, &image));
    }

    // The one instance of the process: reads the partition of this test's root.
    void instanceReadsChangesAndSaves()
    {
        const QByteArray original = rawImage(QByteArray("baudrate=115200\0bootcmd=run boot\0\0", 34));
        QVERIFY(m_root.writeFile(QStringLiteral("/dev/mtdblock1"), original));
        QVERIFY(QFile::link(m_root.path(QStringLiteral("/dev/mtdblock1")), m_root.path(QStringLiteral("/dev/mtd1"))));
        const QString device = m_root.path(QStringLiteral("/dev/mtdblock1"));

        BootEnvironment* env = BootEnvironment::instance();
        QVERIFY(env);
        QCOMPARE(BootEnvironment::instance(), env);
        QVERIFY(env->isWritable());
        QCOMPARE(env->value(QStringLiteral("baudrate")), QStringLiteral("115200"));
        QCOMPARE(env->value(QStringLiteral("missing"), QStringLiteral("fallback")), QStringLiteral("fallback"));
        QVERIFY(env->contains(QStringLiteral("bootcmd")));
        QVERIFY(!env->contains(QStringLiteral("missing")));

        // Nothing changed: the flash is not touched, not even remounted for.
        env->save();
        QVERIFY(m_root.mountLog().isEmpty());

        // Unusable names and values are refused and do not count as a change.
        env->setValue(QString(), QStringLiteral("1"));
        env->setValue(QStringLiteral("a=b"), QStringLiteral("1"));
        env->setValue(QStringLiteral("nul"), QStringLiteral("x") + QChar(0) + QStringLiteral("y"));
        QVERIFY(!env->contains(QStringLiteral("a=b")));
        QVERIFY(!env->contains(QStringLiteral("nul")));
        env->save();
        QVERIFY(m_root.mountLog().isEmpty());

        env->setValue(QStringLiteral("calibNullOffsetLOG"), QStringLiteral("630"));
        env->setValue(QStringLiteral("baudrate"), QStringLiteral("9600"));
        env->save();
        QCOMPARE(m_root.mountLog(),
            (QStringList { QStringLiteral("mount / -o remount,rw"), QStringLiteral("mount / -o remount,ro") }));
        Variables read;
        QCOMPARE(BootEnvironment::readPartition(device, &read), BootEnvironment::READ_OK);
        QCOMPARE(read, env->variables());
        QCOMPARE(read.value(QStringLiteral("baudrate")), QStringLiteral("9600"));
        QCOMPARE(read.value(QStringLiteral("bootcmd")), QStringLiteral("run boot"));
        QCOMPARE(QFileInfo(device).size(), qint64(SIZE));

        // Saved once; a second save has nothing to do.
        const QByteArray saved = m_root.readFile("/dev/mtdblock1");
        const int remounts = m_root.mountLog().size();
        env->save();
        QCOMPARE(m_root.mountLog().size(), remounts);

        // A failed remount skips the write; the change is then dropped like a failed write.
        m_root.setMountFails(true);
        env->setValue(QStringLiteral("baudrate"), QStringLiteral("38400"));
        env->save();
        QCOMPARE(m_root.readFile("/dev/mtdblock1"), saved);
        m_root.setMountFails(false);
        env->save();
        QCOMPARE(m_root.readFile("/dev/mtdblock1"), saved);

        // Variables too long to fit: nothing at all is written.
        env->setValue(QStringLiteral("huge"), QString(SIZE, QLatin1Char('h')));
        env->save();
        QCOMPARE(m_root.readFile("/dev/mtdblock1"), saved);
        QCOMPARE(BootEnvironment::readPartition(device, &read), BootEnvironment::READ_OK);
        QCOMPARE(read.value(QStringLiteral("baudrate")), QStringLiteral("9600"));
    }

private:
    TestRoot m_root;
};

QTEST_GUILESS_MAIN(TestBootEnvironment)
#include "tst_bootenvironment.moc"
