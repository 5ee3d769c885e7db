#include "DialogDriver.h"
#include "common/TestRoot.h"

#include "dialogs/RecordSaving.h"
#include "dialogs/ValueSelectDialog.h"
#include "util/Configuration.h"
#include "util/InfoMessageBox.h"
#include "util/MarkerPresets.h"

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace DialogDriver;

// The save steps the measurement screens share, and the marker lists they hand each other.
class TestRecordSaving : public QObject {
    Q_OBJECT

private:
    static QDomDocument record()
    {
        QDomDocument document;
        document.appendChild(document.createElement(QStringLiteral("level")));
        return document;
    }

    // Closes the timed notice that follows "Saving data..." and returns its text through `text`.
    // It looks every 20 ms, so a slow machine cannot make it fire before the notice is up.
    static void closeNextNotice(QString* text)
    {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [poll, text]() {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == InfoMessageBox::progress())
                return;
            *text = box->text();
            box->done(0);
            poll->deleteLater();
        });
        poll->start(20);
    }

private slots:
    void phasePrompt_data()
    {
        QTest::addColumn<bool>("promptOn");
        QTest::addColumn<int>("row"); // -1: leave with Escape
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("phase");
        QTest::newRow("prompt off") << false << -1 << true << int(Configuration::PHASE_Unspecified);
        QTest::newRow("L2 chosen") << true << 1 << true << int(Configuration::PHASE_L2);
        QTest::newRow("cancelled") << true << -1 << false << int(Configuration::PHASE_Unspecified);
    }

    void phasePrompt()
    {
        QFETCH(bool, promptOn);
        QFETCH(int, row);
        QFETCH(bool, accepted);
        QFETCH(int, phase);
        TestRoot root;
        Configuration::setValue(Configuration::VT_PromptPhase, promptOn ? 1 : 0, QStringLiteral("system"));
        ValueSelectDialog* dialog = ValueSelectDialog::instance();
        if (promptOn) {
            whenShown(dialog, [&]() {
                auto* list = dialog->findChild<QListWidget*>(QStringLiteral("ListWidget"));
                if (row < 0)
                    pressKey(dialog, Qt::Key_Escape);
                else
                    tap(list, list->item(row));
            });
        }
        Configuration::Phase chosen = Configuration::PHASE_L3;
        QCOMPARE(RecordSaving::askPhase(&chosen), accepted);
        QCOMPARE(int(chosen), phase);
    }

    void saveReportsTheOutcome_data()
    {
        QTest::addColumn<bool>("mountFails");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<int>("files");
        QTest::newRow("written") << false << QStringLiteral("Data saved in folder:\n") << 1;
        QTest::newRow("remount fails") << true << QStringLiteral("Saving data failed!") << 0;
    }

    void saveReportsTheOutcome()
    {
        QFETCH(bool, mountFails);
        QFETCH(QString, notice);
        QFETCH(int, files);
        TestRoot root;
        QVERIFY(root.installMount());
        root.setMountFails(mountFails);
        QString shown;
        closeNextNotice(&shown);
        QCOMPARE(RecordSaving::saveAndReport(QStringLiteral("level"), QPixmap(), record()), !mountFails);
        QCOMPARE(shown, notice);
        QCOMPARE(QDir(root.path(QStringLiteral("/data/corvane_data"))).entryList(QDir::Files).size(), files);
        QVERIFY(!InfoMessageBox::progress());
    }

    void markerPresets()
    {
        MarkerPresets::store({433, 600, 433}, {-35, -20});
        const QList<QPair<int, QString>> presets = MarkerPresets::frequencyPresets();
        QCOMPARE(presets.size(), 3);
        QCOMPARE(presets.at(1), qMakePair(600, QStringLiteral("600 MHz\n[Marker 2]")));
        int amplitude = 0;
        QVERIFY(MarkerPresets::amplitudeAt(433, &amplitude));
        QCOMPARE(amplitude, -35); // the first marker at a frequency wins
        QVERIFY(!MarkerPresets::amplitudeAt(700, &amplitude));
        MarkerPresets::store({}, {});
        QVERIFY(MarkerPresets::frequencyPresets().isEmpty());
    }
};

QTEST_MAIN(TestRecordSaving)
#include "tst_recordsaving.moc"
