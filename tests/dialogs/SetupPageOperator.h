#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>

// Plays the operator in front of the setup pages: answers each input dialog that comes up with the
// next queued answer and closes every timed notice at once, recording what was shown. Answers:
// keypad: the number (out of range: left); selector: the option's value or text; slider: the
// position (negative: moved there, then left); date or time editor: the date or time; address
// editor: the cursor position and the keys pressed. An invalid QVariant leaves with Escape.
class SetupPageOperator : public QObject
{
    Q_OBJECT

public:
    SetupPageOperator();
    void choose(const QVariant& value) { m_answers.append(value); }

    QStringList offered; // the last dialog's prompt, its range (keypad), options ("-": not selectable) or edited text
    QStringList notices; // every notice shown, progress notices included

private:
    bool eventFilter(QObject* object, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override; // answers and closes what has come up
    QVariantList m_answers;
};
