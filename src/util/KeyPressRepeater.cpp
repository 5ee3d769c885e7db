#include "util/KeyPressRepeater.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {

const int kSlowIntervalMs = 300;
const int kFastIntervalMs = 100;
// Repeats sent at the slow pace before the fast one begins.
const int kSlowRepeats = 5;

} // namespace

KeyPressRepeater::KeyPressRepeater(Qt::Key key)
    : QObject(nullptr)
    , m_key(key)
    , m_running(false)
    , m_timer(this)
    , m_repeatCount(0)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &KeyPressRepeater::onTimeout);
}

bool KeyPressRepeater::start(QObject* target)
{
    if (m_running)
        return false;
    m_running = true;
    m_target = target;
    m_repeatCount = 0;
    m_timer.start(kSlowIntervalMs);
    return false;
}

bool KeyPressRepeater::stop()
{
    m_timer.stop();
    m_running = false;
    return m_repeatCount > 0;
}

void KeyPressRepeater::onTimeout()
{
    if (!m_running)
        return;
    if (!m_target) {
        // The widget that got the press is gone; its release will still come and end the hold.
        return;
    }
    // No text: a repeat moves a selection or steps a value, it never types into a line edit.
    QCoreApplication::postEvent(m_target, new QKeyEvent(QEvent::KeyPress, m_key, Qt::NoModifier, QString(), true, 1));
    ++m_repeatCount;
    m_timer.start(m_repeatCount < kSlowRepeats ? kSlowIntervalMs : kFastIntervalMs);
}
