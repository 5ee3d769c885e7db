#pragma once

class QWidget;

// Sizing and placing of the input dialogs: every dialog fits its contents and opens centred on
// the main window. The main window is looked up among the existing top-level widgets, never
// created from here (creating it starts the acquisition hardware); without one the dialog is
// centred on the primary screen.
class DialogPlacement {
public:
    // Adjusts the widget to its contents, lets pending layout events run three times and
    // adjusts once more (style sheets and icons settle only after a few passes).
    static void sizeToContents(QWidget* dialog);
    // Moves the widget so that it sits centred over the main window:
    // x = main x + (main width - width) / 2, y likewise (integer division).
    static void centreOnMainWindow(QWidget* dialog);
};
