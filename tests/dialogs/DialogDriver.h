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

// Saves dialog->grab() as <name>.png into $CORVANE_SCREENSHOT_DIR when that is set.
void screenshot(QWidget* dialog, const QString& name);

} // namespace DialogDriver
