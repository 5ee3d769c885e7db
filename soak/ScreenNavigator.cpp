#include "ScreenNavigator.h"

#include "DialogDriver.h"
#include "SoakLog.h"
#include "MainWindow.h"
#include "dialogs/ISetupDialog.h"
#include "dialogs/KalibDialog.h"
#include "dialogs/LevelMeterDialog.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/SpectrumDialog.h"
#include "dialogs/TimeDomainDialog.h"
#include "util/Configuration.h"

#include <QPushButton>
#include <QRandomGenerator>
#include <QStackedWidget>

ScreenNavigator::ScreenNavigator(QRandomGenerator* random)
    : m_random(random)
{
}

QWidget* ScreenNavigator::currentWidget() const
{
    auto* stack = MainWindow::instance()->findChild<QStackedWidget*>(QStringLiteral("MainWidget"));
    return stack ? stack->currentWidget() : nullptr;
}

ScreenNavigator::Page ScreenNavigator::current() const
{
    QWidget* page = currentWidget();
    if (page == nullptr)
        return Other;
    if (page->objectName() == QLatin1String("MainMenu"))
        return Menu;
    if (qobject_cast<SpectrumDialog*>(page))
        return Spectrum;
    if (qobject_cast<TimeDomainDialog*>(page))
        return Time;
    if (qobject_cast<LevelMeterDialog*>(page))
        return Level;
    if (qobject_cast<KalibDialog*>(page))
        return Kalib;
    if (page == SetupDialog::instance())
        return Setup;
    return Other;
}

bool ScreenNavigator::isAt(Page target, int setupPage) const
{
    if (current() != target)
        return false;
    return target != Setup || setupPage < 0 || SetupDialog::instance()->currentDialog() == setupPage;
}

bool ScreenNavigator::tap(QWidget* widget, const char* name)
{
    if (widget == nullptr)
        return false;
    auto* button = widget->findChild<QAbstractButton*>(QLatin1String(name));
    if (button == nullptr || !button->isVisible() || !button->isEnabled())
        return false;
    ++m_taps;
    soakLog(QStringLiteral("tap %1 on %2").arg(button->objectName(), pageName(current())));
    DialogDriver::tap(button);
    return true;
}

bool ScreenNavigator::tapAny(QWidget* widget)
{
    if (widget == nullptr)
        return false;
    QList<QPushButton*> buttons;
    for (QPushButton* button : widget->findChildren<QPushButton*>())
        if (button->isVisible() && button->isEnabled())
            buttons << button;
    if (buttons.isEmpty())
        return false;
    ++m_taps;
    QPushButton* button = buttons.at(m_random->bounded(buttons.size()));
    soakLog(QStringLiteral("tap %1 on %2").arg(button->objectName(), QString::fromLatin1(widget->metaObject()->className())));
    DialogDriver::tap(button);
    return true;
}

bool ScreenNavigator::stepTowards(Page target, int setupPage)
{
    const Page page = current();
    QWidget* widget = currentWidget();
    SetupDialog* setup = SetupDialog::instance();
    if (isAt(target, setupPage))
        return true;
    switch (page) {
    case Menu:
        switch (target) {
        case Spectrum: return tap(widget, "SpecButton");
        case Time: return tap(widget, "TimeDomainButton");
        case Level: return tap(widget, "LevelMeterButton");
        default: return tap(widget, "SetupButton"); // setup, and the calibration through the service page
        }
    case Setup:
        if (target == Kalib && setup->currentDialog() == SetupDialog::DIALOG_SERVICE)
            return tap(widget, "CalibrationButton");
        // A page that is not offered now (the measurement pages outside their screens, the
        // service and algorithm pages while switched off) cannot be reached.
        if (target == Setup && setupPage >= 0 && !SetupDialog::pages().value(setupPage)->isAvailable())
            return false;
        if ((target == Setup || target == Kalib) && !setup->isLocked()) {
            // The arrows stop at the first and the last page.
            const int wanted = target == Kalib ? int(SetupDialog::DIALOG_SERVICE) : setupPage;
            const bool forward = wanted > setup->currentDialog();
            return tap(widget, forward ? "CategoryNextButton" : "CategoryPrevButton")
                   || tap(widget, forward ? "CategoryPrevButton" : "CategoryNextButton");
        }
        return tap(widget, "ExitButton");
    case Spectrum:
    case Time:
    case Level:
    case Kalib:
        return tap(widget, "ExitButton");
    case Other:
        break;
    }
    if (tap(widget, "ExitButton"))
        return true;
    MainWindow::instance()->gotoMainMenu();
    return false;
}

QString ScreenNavigator::pageName(Page page)
{
    static const char* const names[] = {"menu", "spectrum", "time domain", "level", "offset calibration", "setup", "other"};
    return QLatin1String(names[page]);
}
