#pragma once

#include <QString>

#include <functional>

class QAbstractButton;
class QDialog;
class QListWidget;
class QListWidgetItem;
class QWidget;

// Drives a modal input dialog the way an operator would: acts once the dialog is up inside its
// exec(), taps buttons and list rows, and presses the hardware keys (delivered to the widget
// with the keyboard focus, as the key filter does, so they travel up to the dialog).
namespace DialogDriver {

// Loads the instrument's style sheet, so that sizes are those of the device.
void applyStyleSheet();

// Runs action as soon as dialog is the active modal window (exec() has started).
void whenShown(QDialog* dialog, std::function<void()> action);

// A tap on a button: press and release with the mouse at its centre.
void tap(QAbstractButton* button);
// A tap on a list row.
void tap(QListWidget* list, QListWidgetItem* item);

// A hardware key press (and release, unless autoRepeat: the key filter posts repeats as
// presses only).
void pressKey(QWidget* dialog, int key, bool autoRepeat = false);

// Plays an operator's script on dialog as soon as exec shows it (a dialog the script leaves open
// is rejected) and returns exec's result. Tokens, separated by blanks: a hardware key (Up, Down,
// Left, Right, Return, Escape; "Down*" a held key's repeat), "@Name" a tap on the button of that
// object name, "#3" a tap on row 3 of the dialog's visible list, "?" calls probe (to note what
// the dialog shows at that moment); any other token goes to other.
int run(QDialog* dialog, const QString& script, const std::function<int()>& exec,
        const std::function<void()>& probe = {}, const std::function<void(const QString&)>& other = {});

} // namespace DialogDriver
