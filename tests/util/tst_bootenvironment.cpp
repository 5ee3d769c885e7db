// The boot loader's environment partition: its image (CRC-32, texts, room), reading it back from
// files standing in for the flash device, and the one instance that saves only its changes.
#include "common/TestRoot.h"
#include "util/BootEnvironment.h"

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
    const quint32 crc = BootEnvironment::crc32(reinterpret_cast<const uchar*>(image.constData()) + 4, SIZE - 4) ^ !correctChecksum;
    for (int i = 0; i < 4; ++i)
        image[i] = char(crc >> (8 * i)); // little-endian
    return image;
}

} // namespace

class TestBootEnvironment : public QObject
{
    Q_OBJECT

    TestRoot m_root;

private slots:
    void initTestCase() { QVERIFY(m_root.installMount()); }

    // Texts in name order, each ended by NUL, then an empty text; a bare name for an empty value.
    void imageLayout()
    {
        QCOMPARE(BootEnvironment::crc32(reinterpret_cast<const uchar*>("123456789"), 9), 0xCBF43926u);
        const Variables variables {{"bootdelay", "3"}, {"bootargs", "console=ttyS0,115200 root=/dev/mmcblk0p2"}, {"empty", ""}};
        QByteArray image;
        QVERIFY(BootEnvironment::buildImage(variables, &image));
        const QByteArray texts("bootargs=console=ttyS0,115200 root=/dev/mmcblk0p2\0bootdelay=3\0empty\0", 67);
        QCOMPARE(image, rawImage(texts));
        QVERIFY(m_root.writeFile("/dev/roundtrip", QByteArray(SIZE, '\x55')));
        QCOMPARE(BootEnvironment::writePartition(m_root.path("/dev/roundtrip"), image), BootEnvironment::WRITE_OK);
        Variables read {{"stale", "x"}};
        QCOMPARE(BootEnvironment::readPartition(m_root.path("/dev/roundtrip"), &read), BootEnvironment::READ_OK);
        QCOMPARE(read, Variables({{"bootdelay", "3"}, {"bootargs", variables.value("bootargs")}}));
        // The texts and the closing empty one fill the data area exactly; one byte more does not fit.
        QVERIFY(BootEnvironment::buildImage({{"a", QString(SIZE - 4 - 1 - 3, 'v')}}, &image));
        QCOMPARE(image.right(3), QByteArray("v\0\0", 3));
        QVERIFY(!BootEnvironment::buildImage({{"a", QString(SIZE - 4 - 1 - 2, 'v')}}, &image));
        QVERIFY(image.isEmpty());
        QCOMPARE(BootEnvironment::writePartition(m_root.path("/dev/missing"), rawImage(QByteArray())), BootEnvironment::WRITE_OPEN_FAILED);
        QVERIFY(!m_root.exists("/dev/missing"));
    }

    // Images read from files standing in for the partition (a read past its end would fault).
    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("result");
        QTest::addColumn<Variables>("expected");
        const QByteArray odd("a=1\0b=\0c\0=nameless\0d=x=y\0e=2\0\0f=after the end\0", 46);
        QTest::newRow("entries without name or separator") << rawImage(odd) << int(BootEnvironment::READ_OK)
                                                           << Variables {{"a", "1"}, {"b", ""}, {"d", "x=y"}, {"e", "2"}};
        QTest::newRow("bad checksum") << rawImage(QByteArray("a=1\0\0", 5), '\0', false) << int(BootEnvironment::READ_BAD_CHECKSUM)
                                      << Variables();
        QTest::newRow("one text without end") << rawImage(QByteArray(), '\xFF') << int(BootEnvironment::READ_OK) << Variables();
        QTest::newRow("a text that runs to the last byte") << rawImage(QByteArray("a=1\0b=2", 7), 'z') << int(BootEnvironment::READ_OK)
                                                           << Variables {{"a", "1"}};
        QByteArray full = rawImage(QByteArray("k=", 2), 'y');
        full[SIZE - 1] = '\0';
        QTest::newRow("the last text ends with the last byte") << rawImage(full.mid(4)) << int(BootEnvironment::READ_OK)
                                                               << Variables {{"k", QString(SIZE - 4 - 3, 'y')}};
        QTest::newRow("longer file") << rawImage(QByteArray("a=1\0", 4)) + "qqq" << int(BootEnvironment::READ_OK) << Variables {{"a", "1"}};
        QTest::newRow("short file") << rawImage(QByteArray("a=1\0", 4)).left(4096) << int(BootEnvironment::READ_MAP_FAILED) << Variables();
        QTest::newRow("no file") << QByteArray("none") << int(BootEnvironment::READ_OPEN_FAILED) << Variables();
    }
    void reading()
    {
        QFETCH(QByteArray, file);
        QFile::remove(m_root.path("/dev/image"));
        QVERIFY(file == "none" || m_root.writeFile("/dev/image", file));
        Variables variables;
        QTEST(int(BootEnvironment::readPartition(m_root.path("/dev/image"), &variables)), "result");
        QTEST(variables, "expected");
    }

    // The one instance of the process reads the partition of this test's root (what it saves, and
    // when, the calibration store's start shows); unusable names and values are refused and change
    // nothing; a failed remount or a change too long to fit drops the change.
    void instanceSavesItsChanges()
    {
        QVERIFY(m_root.writeFile("/dev/mtdblock1", rawImage(QByteArray("baudrate=115200\0bootcmd=run boot\0\0", 34))));
        QVERIFY(QFile::link(m_root.path("/dev/mtdblock1"), m_root.path("/dev/mtd1")));
        BootEnvironment* env = BootEnvironment::instance();
        QVERIFY(env->isWritable() && env->contains("bootcmd"));
        QCOMPARE(env->value("baudrate") + env->value("missing", "|fallback"), QStringLiteral("115200|fallback"));
        env->setValue(QString(), "1");
        env->setValue("a=b", "1");
        env->setValue("nul", QString("x") + QChar(0) + "y");
        env->save();
        QVERIFY(m_root.mountLog().isEmpty() && !env->contains("a=b") && !env->contains("nul"));
        const QByteArray saved = m_root.readFile("/dev/mtdblock1");
        m_root.setMountFails(true);
        env->setValue("baudrate", "38400");
        env->save();
        m_root.setMountFails(false);
        env->save();
        env->setValue("huge", QString(SIZE, 'h'));
        env->save();
        QCOMPARE(m_root.readFile("/dev/mtdblock1"), saved);
    }
};

QTEST_GUILESS_MAIN(TestBootEnvironment)
#include "tst_bootenvironment.moc"
