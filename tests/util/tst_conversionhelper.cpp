#include "util/ConversionHelper.h"

#include <QtTest>

class TestConversionHelper : public QObject {
    Q_OBJECT

private slots:
    void tableIsAscendingAndTerminated()
    {
        const auto& table = ConversionHelper::WW_LinTab;
        const int rows = int(sizeof(table) / sizeof(table[0]));
        QCOMPARE(rows, 17);
        QCOMPARE(table[0].threshold, 3980);
        QCOMPARE(table[0].correction, 1840);
        QCOMPARE(table[15].threshold, 5122);
        QCOMPARE(table[15].correction, 22);
        QCOMPARE(table[16].threshold, 0);
        QCOMPARE(table[16].correction, 0);
        for (int i = 1; i < rows - 1; ++i)
            QVERIFY(table[i].threshold > table[i - 1].threshold);
    }

    void boundaries_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("linear");
        QTest::newRow("zero") << 0 << -1840;
        QTest::newRow("below first") << 3000 << 3000 - 1840;
        QTest::newRow("first threshold") << 3980 << 3980 - 1840;
        QTest::newRow("just above first") << 3981 << 3981 - 1660;
        QTest::newRow("second threshold") << 4000 << 4000 - 1660;
        QTest::newRow("just above second") << 4001 << 4001 - 1485;
        QTest::newRow("middle threshold") << 4444 << 4444 - 314;
        QTest::newRow("just above middle") << 4445 << 4445 - 216;
        QTest::newRow("second last threshold") << 4958 << 4958 - 58;
        QTest::newRow("last threshold") << 5122 << 5122 - 22;
        QTest::newRow("just above last") << 5123 << 5123;
        QTest::newRow("top of the detector") << 16383 << 16383;
        QTest::newRow("negative") << -5 << -5 - 1840;
    }

    void boundaries()
    {
        QFETCH(int, raw);
        QFETCH(int, linear);
        QCOMPARE(ConversionHelper::linearizeValue(raw), linear);
    }

    void linearisedCountRisesWithTheRawCount()
    {
        // The corrections shrink from row to row, so the corrected count never falls when the
        // raw count rises, not even across a threshold.
        int previous = ConversionHelper::linearizeValue(3000);
        for (int raw = 3001; raw <= 6000; ++raw) {
            const int value = ConversionHelper::linearizeValue(raw);
            QVERIFY2(value > previous, qPrintable(QString::number(raw)));
            previous = value;
        }
    }

    void linearAmplifierForLevel_data()
    {
        QTest::addColumn<double>("level");
        QTest::addColumn<int>("dac");
        QTest::newRow("-35 dBm, preamplifier range") << -35.0 << 67;
        QTest::newRow("-34 dBm, upper line") << -34.0 << 544;
        QTest::newRow("0 dBm") << 0.0 << 15;
        QTest::newRow("strong signal is 0") << 10.0 << 0;
        QTest::newRow("-100 dBm is limited") << -100.0 << 1023;
        QTest::newRow("huge level") << -1e300 << 1023;
        QTest::newRow("not a number") << qQNaN() << 0;
    }

    void linearAmplifierForLevel()
    {
        QFETCH(double, level);
        QFETCH(int, dac);
        QCOMPARE(ConversionHelper::linearAmplifierForLevel(level), dac);
    }
};

QTEST_APPLESS_MAIN(TestConversionHelper)
#include "tst_conversionhelper.moc"
