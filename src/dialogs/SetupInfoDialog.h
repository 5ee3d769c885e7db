#pragma once

#include "dialogs/ISetupDialog.h"
#include "dialogs/SetupDialog.h"

namespace Ui {
class SetupInfoDialog;
}

// Setup page: read-only facts about the device. The static facts are gathered each time the
// page is shown; the battery (and, in service mode, the FPGA temperature and the sync radio's
// pulse counter) refresh every second while the page is the shown one.
class SetupInfoDialog : public ISetupDialog
{
    Q_OBJECT

public:
    explicit SetupInfoDialog(QWidget* parent = nullptr);
    ~SetupInfoDialog() override;

    void activate() override;
    QString title() const override;

    // Whether the one-second refresh runs.
    bool isRefreshing() const { return m_timerId != 0; }

public slots:
    void onDialogChanged(SetupDialog::Dialog dialog);
    void onExit();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void fillStaticRows();
    void refresh();

    Ui::SetupInfoDialog* ui;
    int m_timerId;
};
