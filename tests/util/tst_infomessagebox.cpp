#include "util/InfoMessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QtTest>

namespace {

QList<QMessageBox*> visibleBoxes()
{
    QList<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget)) {
            if (box->isVisible())
                boxes.append(box);
        }
    }
    return boxes;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TestInfoMessageBox : public QObject {
    Q_OBJECT

private slots:
    void timedNoticeBlocksAndHasNoButton()
    {
        QString seenText;
        int seenButtons = -1;
        Qt::WindowFlags seenFlags;
        QTimer::singleShot(50, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seenText = box->text();
            seenButtons = box->buttons().size();
            seenFlags = box->windowFlags();
        });
        QElapsedTimer clock;
        clock.start();
        InfoMessageBox::information(QStringLiteral("Folder 3"), 300, QString(), QMessageBox::Information);
        const qint64 waited = clock.elapsed();
        QVERIFY2(waited >= 290, qPrintable(QString::number(waited)));
        QCOMPARE(seenText, QStringLiteral("Folder 3"));
        QCOMPARE(seenButtons, 0);
        QVERIFY(seenFlags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(seenFlags.testFlag(Qt::WindowStaysOnTopHint));
        flushDeletes();
        QVERIFY(visibleBoxes().isEmpty());
    }

    void oneProgressNoticeAtATime()
    {
        InfoMessageBox::showProgress(QStringLiteral("Copying data..."));
        QPointer<QMessageBox> first = InfoMessageBox::progress();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QVERIFY(first->buttons().isEmpty());
        QVERIFY(first->parent() == nullptr);

        InfoMessageBox::showProgress(QStringLiteral("Clearing data..."), QStringLiteral("t"), QMessageBox::Warning);
        flushDeletes();
        QVERIFY(first.isNull());
        const QList<QMessageBox*> boxes = visibleBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.first(), InfoMessageBox::progress());
        QCOMPARE(boxes.first()->text(), QStringLiteral("Clearing data..."));
        QCOMPARE(boxes.first()->icon(), QMessageBox::Warning);
        QVERIFY(boxes.first()->buttons().isEmpty());

        QPointer<QMessageBox> second = InfoMessageBox::progress();
        InfoMessageBox::closeProgress();
        flushDeletes();
        QVERIFY(second.isNull());
        QVERIFY(InfoMessageBox::progress() == nullptr);
        QVERIFY(visibleBoxes().isEmpty());
    }

    void closeWithoutNoticeDoesNothing()
    {
        InfoMessageBox::closeProgress();
        InfoMessageBox::closeProgress();
        QVERIFY(InfoMessageBox::progress() == nullptr);
    }

    void noticeClosedElsewhereIsForgotten()
    {
        InfoMessageBox::showProgress(QStringLiteral("Saving data..."));
        InfoMessageBox::progress()->accept();
        flushDeletes();
        QVERIFY(InfoMessageBox::progress() == nullptr);
        InfoMessageBox::closeProgress(); // must not touch the deleted notice
        QVERIFY(visibleBoxes().isEmpty());
    }
};

QTEST_MAIN(TestInfoMessageBox)
#include "tst_infomessagebox.moc"
