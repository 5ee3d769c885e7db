#include "ModalResponder.h"

#include "DialogDriver.h"
#include "SoakLog.h"
#include "dialogs/AlgorithmDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QTimer>

#include <cstdio>

namespace {

// A notice without buttons that stays longer than this has left the operator stuck.
constexpr qint64 NoticeTimeoutMs = 5 * 60 * 1000;
// After this many answers a dialog that is still open is rejected (and counted).
constexpr int ForceAfterSteps = 30;

template <class T> QList<T*> visibleChildren(QWidget* widget)
{
    QList<T*> found;
    for (T* child : widget->findChildren<T*>())
        if (child->isVisible() && child->isEnabled())
            found << child;
    return found;
}

} // namespace

ModalResponder::ModalResponder(QRandomGenerator* random, QObject* parent)
    : QObject(parent)
    , m_random(random)
{
}

void ModalResponder::start()
{
    if (m_timerId == 0)
        m_timerId = startTimer(250);
}

void ModalResponder::stop()
{
    if (m_timerId != 0)
        killTimer(m_timerId);
    m_timerId = 0;
}

void ModalResponder::timerEvent(QTimerEvent*)
{
    tick();
}

QString ModalResponder::describeModal() const
{
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? QString::fromLatin1(modal->metaObject()->className()) + QLatin1Char(' ') + modal->windowTitle()
                 : QStringLiteral("none");
}

void ModalResponder::tick()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != m_modal) {
        // A new dialog: the operator reads it first.
        m_modal = modal;
        m_shown.start();
        m_steps = 0;
        m_stepLimit = m_random->bounded(1, 7);
        // The autodetection is mostly watched to its end, sometimes left early.
        m_patienceMs = m_random->bounded(4) == 0 ? m_random->bounded(2000, 30000) : 10 * 60 * 1000;
        m_stuckReported = false;
        return;
    }
    if (modal == nullptr || m_answering)
        return;
    m_answering = true;
    // Posted: a dialog the answer opens runs in a nested loop that this timer must still serve.
    QTimer::singleShot(0, this, [this, modal = QPointer<QWidget>(modal)] {
        if (modal && modal == QApplication::activeModalWidget())
            answer(modal);
        m_answering = false;
    });
}

void ModalResponder::answer(QWidget* modal)
{
    if (qobject_cast<AlgorithmDialog*>(modal)) {
        if (m_shown.elapsed() > m_patienceMs) {
            soakLog(QStringLiteral("  Escape on the autodetection"));
            DialogDriver::pressKey(modal, Qt::Key_Escape);
            ++m_taps;
        }
        return;
    }
    const QList<QAbstractButton*> buttons = visibleChildren<QAbstractButton>(modal);
    if (qobject_cast<QMessageBox*>(modal) && buttons.isEmpty()) {
        if (m_shown.elapsed() > NoticeTimeoutMs && !m_stuckReported) {
            std::fprintf(stderr, "soak: notice \"%s\" open for %lld s\n",
                         qPrintable(static_cast<QMessageBox*>(modal)->text()), m_shown.elapsed() / 1000);
            m_stuckReported = true;
            ++m_stuck;
        }
        return;
    }
    ++m_steps;
    ++m_taps;
    if (m_steps > ForceAfterSteps) {
        std::fprintf(stderr, "soak: %s ignored %d answers, rejected\n", qPrintable(describeModal()), ForceAfterSteps);
        ++m_forced;
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        return;
    }
    if (m_steps > m_stepLimit) {
        const bool accept = m_random->bounded(2);
        soakLog(QStringLiteral("  %1 on %2").arg(accept ? "Return" : "Escape", describeModal()));
        DialogDriver::pressKey(modal, accept ? Qt::Key_Return : Qt::Key_Escape);
        return;
    }
    const int choice = m_random->bounded(100);
    const QList<QListWidget*> lists = visibleChildren<QListWidget>(modal);
    if (choice < 55 && !buttons.isEmpty()) {
        QAbstractButton* button = buttons.at(m_random->bounded(buttons.size()));
        soakLog(QStringLiteral("  tap %1 on %2").arg(button->objectName(), describeModal()));
        DialogDriver::tap(button);
    } else if (choice < 85 && !lists.isEmpty() && lists.first()->count() > 0) {
        QListWidget* list = lists.first();
        QListWidgetItem* item = list->item(m_random->bounded(list->count()));
        soakLog(QStringLiteral("  tap row \"%1\" on %2").arg(item->text(), describeModal()));
        DialogDriver::tap(list, item);
    } else {
        const bool up = m_random->bounded(2);
        soakLog(QStringLiteral("  %1 on %2").arg(up ? "Up" : "Down", describeModal()));
        DialogDriver::pressKey(modal, up ? Qt::Key_Up : Qt::Key_Down);
    }
}

bool ModalResponder::closeAll(int timeoutMs)
{
    stop();
    QElapsedTimer clock;
    clock.start();
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        // A notice without buttons belongs to work still running: it closes itself.
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr || !visibleChildren<QAbstractButton>(box).isEmpty()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    }
    return true;
}
