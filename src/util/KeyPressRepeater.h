#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

// Repeats one held hardware key: while it is held, key presses flagged as auto-repeats go to the
// object that received the first press, 300 ms apart for the first five and then every 100 ms.
// The target is watched, so a widget that goes away while its key is held simply ends the
// repeats. GUI thread only.
class KeyPressRepeater : public QObject
{
    Q_OBJECT

public:
    explicit KeyPressRepeater(Qt::Key key);

    // Starts repeating towards target unless already running. Returns false: the press itself
    // is still to be delivered.
    bool start(QObject* target);
    // Ends the repeats. True when at least one repeat was sent: the release then belongs to the
    // repeats and is not to be delivered.
    bool stop();

    bool isRunning() const { return m_running; }

public slots:
    void onTimeout();

private:
    Qt::Key m_key;
    bool m_running;
    QTimer m_timer;
    int m_repeatCount;
    QPointer<QObject> m_target;
};
