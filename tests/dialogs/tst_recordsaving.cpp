// The save steps the measurement screens share, and the marker lists they hand each other.
#include "DialogDriver.h"
#include "SetupPageOperator.h"
#include "common/TestRoot.h"
#include "dialogs/RecordSaving.h"
#include "dialogs/ValueSelectDialog.h"
#include "util/InfoMessageBox.h"
#include "util/MarkerPresets.h"

#include <QtTest>

class TestRecordSaving : public QObject
{
    Q_OBJECT

private slots:
    // The phase prompt, when it is on, asks for the phase; leaving it cancels the save.
    void phasePrompt_data()
    {
        QTest::addColumn<bool>("promptOn");
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("phase");
        QTest::newRow("prompt off") << false << "" << true << int(Configuration::PHASE_Unspecified);
        QTest::newRow("L2 chosen") << true << "#1" << true << int(Configuration::PHASE_L2);
        QTest::newRow("cancelled") << true << "Escape" << false << int(Configuration::PHASE_Unspecified);
    }
    void phasePrompt()
    {
        QFETCH(bool, promptOn);
        QFETCH(QString, script);
        TestRoot root;
        Configuration::setValue(Configuration::VT_PromptPhase, promptOn, "system");
        Configuration::Phase chosen = Configuration::PHASE_L3;
        const auto ask = [&] { return int(RecordSaving::askPhase(&chosen)); };
        QTEST(bool(promptOn ? DialogDriver::run(ValueSelectDialog::instance(), script, ask) : ask()), "accepted");
        QTEST(int(chosen), "phase");
    }

    // The outcome is told in a notice; nothing is left half-written, no progress notice stays.
    void saveReportsTheOutcome()
    {
        for (bool mountFails : {false, true}) {
            TestRoot root;
            QVERIFY(root.installMount());
            root.setMountFails(mountFails);
            SetupPageOperator closer; // the notice runs its own event loop: closed once it is up
            QDomDocument record;
            record.appendChild(record.createElement("level"));
            QCOMPARE(RecordSaving::saveAndReport("level", QPixmap(), record), !mountFails);
            QCOMPARE(closer.notices.join('|'),
                     "Saving data...|" + QString(mountFails ? "Saving data failed!" : "Data saved in folder:\n"));
            QCOMPARE(QDir(root.path("/data/corvane_data")).entryList(QDir::Files).size(), mountFails ? 0 : 1);
            QVERIFY(!InfoMessageBox::progress());
        }
    }

    // Two markers at one frequency: both offered, the first one's level wins.
    void markerPresets()
    {
        MarkerPresets::store({433, 600, 433}, {-35, -20});
        QCOMPARE(MarkerPresets::frequencyPresets().size(), 3);
        int amplitude = 0;
        QVERIFY(MarkerPresets::amplitudeAt(433, &amplitude) && amplitude == -35);
    }
};

QTEST_MAIN(TestRecordSaving)
#include "tst_recordsaving.moc"
