#pragma once

#include "util/Configuration.h"

#include <QList>
#include <QVariant>
#include <QWidget>

namespace Ui {
class SetupDialog;
}

class ISetupDialog;

// The one container of every setup page: shows one page at a time in a scroll area, with a
// bottom row to step to the previous or next available category, to pick a category from a
// list, and to leave setup. A page opened from a measurement screen is shown locked: the arrows
// stay disabled so that leaving setup returns to that screen.
class SetupDialog : public QWidget
{
    Q_OBJECT

public:
    // The pages in frame order; the value is the page's index in pages().
    enum Dialog {
        DIALOG_SPECTRUM = 0,
        DIALOG_TIME = 1,
        DIALOG_LEVEL = 2,
        DIALOG_SYSTEM = 3,
        DIALOG_INFO = 4,
        DIALOG_SERVICE = 5,
        DIALOG_ALGORITHM = 6
    };
    Q_ENUM(Dialog)

    static SetupDialog* instance();
    // The process-wide page registry, one page of each kind in frame order.
    static const QList<ISetupDialog*>& pages();

    // Shows a page; while locked, the previous and next buttons are disabled.
    void setDialog(int dialog, bool locked);
    // Recomputes the enabled state of the previous and next buttons.
    void updateButtons();

    int currentDialog() const { return m_current; }
    bool isLocked() const { return m_locked; }

signals:
    void exit();
    void dialogChanged(SetupDialog::Dialog dialog);

public slots:
    void onConfigurationChanged(Configuration::ValueType type, QVariant value, QString path);
    void on_ExitButton_clicked();
    void on_CategoryButton_clicked();
    void on_CategoryPrevButton_clicked();
    void on_CategoryNextButton_clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Sees the keys that the scroll area would otherwise take for scrolling.
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    SetupDialog();
    ~SetupDialog() override;

    // The first available page after / before index, or -1.
    int nextAvailable(int index) const;
    int previousAvailable(int index) const;
    // Up and Down move the focus over the shown page's buttons and the bottom row, Return presses
    // the focused button: the pages work with the hardware keys alone. True when the key was used.
    bool navigate(QKeyEvent* event);

    Ui::SetupDialog* ui;
    int m_current;
    bool m_locked;
};
