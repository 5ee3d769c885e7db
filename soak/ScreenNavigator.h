#pragma once

#include <QString>

class QAbstractButton;
class QRandomGenerator;
class QWidget;

// Where the operator is in the main window, and one tap at a time towards where a soak action
// must be: the main menu's buttons, the screens' exit buttons, the setup frame's arrows and exit,
// the service page's calibration button. Only what an operator could tap.
class ScreenNavigator
{
public:
    enum Page { Menu, Spectrum, Time, Level, Kalib, Setup, Other };

    explicit ScreenNavigator(QRandomGenerator* random);

    Page current() const;
    // The widget of the page now shown.
    QWidget* currentWidget() const;
    // Whether the operator stands on target (for Setup: on setup page setupPage, any when -1).
    bool isAt(Page target, int setupPage = -1) const;
    // One tap towards target; false when there was nothing to tap. Taps counts every tap made.
    bool stepTowards(Page target, int setupPage = -1);
    int taps() const { return m_taps; }

    // A tap on the visible, enabled button of that object name inside widget; false when none.
    bool tap(QWidget* widget, const char* name);
    // A tap on a random visible, enabled push button inside widget.
    bool tapAny(QWidget* widget);

    static QString pageName(Page page);

private:
    QRandomGenerator* m_random;
    int m_taps = 0;
};
