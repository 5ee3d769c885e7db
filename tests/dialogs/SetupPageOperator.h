#pragma once

#include <QObject>
#include <QStringList>
#include <QVariant>

#include <functional>

class QDialog;

// Plays the operator in front of the setup pages: answers each input dialog that comes up with
// the next queued answer (typing a number, tapping an option, moving the slider, or leaving with
// Escape), and closes every timed notice at once. Records what the dialogs showed.
class SetupPageOperator : public QObject
{
    Q_OBJECT

public:
    SetupPageOperator();

    // The next input dialog gets this value (number, option value or slider position); an
    // invalid QVariant leaves it with Escape. A number outside the editor's range cannot be
    // confirmed: the editor is then left as well.
    void choose(const QVariant& value);
    // The next input dialog is handed to action (which must close it).
    void then(std::function<void(QDialog*)> action);

    QStringList prompts;  // every input dialog's prompt, in order
    QStringList ranges;   // the numeric editor's range message ("min <= value <= max")
    QStringList options;  // the option texts (or presets) of the last dialog
    QStringList notices;  // every notice shown, progress notices included

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void poll();
    void answer(QDialog* dialog, const QVariant& value);

    QList<std::function<void(QDialog*)>> m_answers;
    QList<QObject*> m_seen;
};
