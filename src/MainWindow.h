#pragma once

#include "dialogs/SetupDialog.h"

#include <QMainWindow>
#include <QString>

namespace Ui {
class MainWindow;
}

class DataWorker;
class HelpDialog;
class KalibDialog;
class LevelMeterDialog;
class SpectrumDialog;
class TimeDomainDialog;
class QLabel;
class QProgressBar;

// The one full-screen window: owns every screen as a page of its stacked widget, the status
// bar (status text, clock, battery gauge), the record folder name and the 100 ms housekeeping
// timer. Created on first use by instance() and never destroyed.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum Dialog { DIALOG_SPECTRUM = 0, DIALOG_TIME = 1, DIALOG_LEVEL = 2, DIALOG_KALIB = 3, DIALOG_HELP = 4 };
    Q_ENUM(Dialog)

    static MainWindow* instance();
    // Whether the one window has been created; screens and dialogs that merely want to tell it
    // something ask this first, because creating it starts the acquisition hardware.
    static bool exists();
    // The status label of the one window (the screens show their titles there).
    static void setStatusText(const QString& text);

    // The folder for saved records: "[<base>/][<barcode>/]<yyyy-MM-dd>[_<name>][_<index>]". With
    // fullPath the base "<data>/corvane_data/<product id>/" is in front (a path below the platform
    // root); without it the name is relative, for display and the record's folder entry.
    static QString folderName(bool fullPath);

    // The one acquisition worker, lent to the screens and the device information page.
    static DataWorker* dataWorker();

    // Clears the temporary files that writes cut short by a power loss left in the last run:
    // beside the stored curves, the network file and the screenshot, and among the records and
    // index pages. The settings and calibration stores clear their own as they start.
    static void removeWriteLeftovers();

public slots:
    void rescanFolderIndex();
    void gotoMainMenu();
    void gotoDialog(MainWindow::Dialog dialog);
    // Shows the setup frame on a page; a measurement screen's own page is locked and leaving
    // setup then reopens that screen.
    void gotoSetup(SetupDialog::Dialog dialog);
    void onBarCodeScan(QString barcode);
    // A new folder name from the operator: drops the barcode, numbers the folder afresh.
    void setFolderName(const QString& name);

    void on_SpecButton_clicked();
    void on_TimeDomainButton_clicked();
    void on_LevelMeterButton_clicked();
    void on_SetupButton_clicked();
    void on_NewDirButton_clicked();
    void on_AntennaButton_clicked();
    void on_HelpButton_clicked();

protected:
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    MainWindow();
    ~MainWindow() override;

    void applyStyleSheet();
    void updateSpecButton();
    void showFolderNotice();
    // "<data>/corvane_data/<product id>/" plus "<barcode>/" when withBarcode and one is set.
    QString recordBasePath(bool withBarcode) const;
    // Connects the setup frame's exit() to slot alone: the main menu, or the button slot of the
    // measurement screen whose setup page is open.
    void routeSetupExit(void (MainWindow::*slot)());

    static MainWindow* s_instance;

    Ui::MainWindow* ui;
    // Created without parent; lives as long as the process.
    DataWorker* m_dataWorker;
    SpectrumDialog* m_spectrumDialog;
    TimeDomainDialog* m_timeDomainDialog;
    LevelMeterDialog* m_levelMeterDialog;
    KalibDialog* m_kalibDialog;
    // The acquisition worker and the screens join here as they are built (each a page of
    // MainWidget, in the order: main menu, spectrum, time domain, level, kalib, setup, help,
    // sensor help).
    HelpDialog* m_helpDialog;
    QLabel* m_statusLabel;
    QLabel* m_clockLabel;
    QProgressBar* m_batteryGauge;
    QString m_barcode;
    QString m_folderName;
    int m_folderIndex;
    quint16 m_startupPulse;
    int m_timerId;
};
