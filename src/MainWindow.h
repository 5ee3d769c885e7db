#pragma once

#include <QMainWindow>
#include <QString>

namespace Ui {
class MainWindow;
}

class QLabel;
class QProgressBar;

// The one full-screen window: owns every screen as a page of its stacked widget, the status
// bar, the record folder name and the 100 ms housekeeping timer.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum Dialog { DIALOG_SPECTRUM = 0, DIALOG_TIME = 1, DIALOG_LEVEL = 2, DIALOG_KALIB = 3, DIALOG_HELP = 4 };
    Q_ENUM(Dialog)

    static MainWindow* instance();
    static void setStatusText(const QString& text);

    QString folderName(bool fullPath) const;

public slots:
    void rescanFolderIndex();
    void gotoMainMenu();
    void gotoDialog(MainWindow::Dialog dialog);
    void onBarCodeScan(QString barcode);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    MainWindow();
    ~MainWindow() override;

    Ui::MainWindow* ui;
    QLabel* m_statusLabel;
    QLabel* m_clockLabel;
    QProgressBar* m_batteryGauge;
    QString m_barcode;
    QString m_folderName;
    int m_folderIndex;
    quint16 m_startupPulse;
};
