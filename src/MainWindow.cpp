#include "MainWindow.h"
#include "ui_MainWindow.h"

#include <QLabel>
#include <QProgressBar>

MainWindow* MainWindow::instance()
{
    static MainWindow* instance = new MainWindow();
    Q_ASSERT_X(instance != nullptr, "MainWindow", "NULL != instance");
    return instance;
}

MainWindow::MainWindow()
    : QMainWindow(nullptr)
    , ui(new Ui::MainWindow)
    , m_statusLabel(new QLabel(this))
    , m_clockLabel(new QLabel(this))
    , m_batteryGauge(new QProgressBar(this))
    , m_folderName(QStringLiteral("Folder"))
    , m_folderIndex(-1)
    , m_startupPulse(0)
{
    ui->setupUi(this);
    setFixedSize(640, 480);
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::setStatusText(const QString& text)
{
    instance()->m_statusLabel->setText(text);
}

QString MainWindow::folderName(bool) const
{
    return QString();
}

void MainWindow::rescanFolderIndex() {}
void MainWindow::gotoMainMenu() {}
void MainWindow::gotoDialog(MainWindow::Dialog) {}
void MainWindow::onBarCodeScan(QString) {}
void MainWindow::timerEvent(QTimerEvent*) {}
