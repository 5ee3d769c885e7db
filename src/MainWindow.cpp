#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "dialogs/HelpDialog.h"
#include "dialogs/InfoDialog.h"
#include "dialogs/KalibDialog.h"
#include "dialogs/LevelMeterDialog.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/TextEditDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "hardware/BoardIO.h"
#include "dialogs/SpectrumDialog.h"
#include "dialogs/TimeDomainDialog.h"
#include "hardware/DataWorker.h"
#include "hardware/SyncRadio.h"
#include "storage/RecordWriter.h"
#include "util/BarcodeCheck.h"
#include "util/Configuration.h"
#include "util/EventHandler.h"
#include "util/InfoMessageBox.h"
#include "util/LanguageManager.h"
#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

namespace {

// Ticks of the 100 ms housekeeping timer until the next battery reading (every 5 s).
int s_tickCounter = 50;

const int kTickPeriodMs = 100;
const int kBatteryTicks = 50;
const int kAntennaSelectLine = 209;

const char kSystem[] = "system";

} // namespace

MainWindow* MainWindow::s_instance = nullptr;

MainWindow* MainWindow::instance()
{
    // The constructor registers the window first thing, so that the screens it creates (and its
    // own start-up steps) already reach it through instance().
    if (!s_instance)
        new MainWindow();
    Q_ASSERT_X(s_instance != nullptr, "MainWindow", "NULL != instance");
    return s_instance;
}

MainWindow::MainWindow()
    : QMainWindow(nullptr)
    , ui(new Ui::MainWindow)
    , m_dataWorker(nullptr)
    , m_spectrumDialog(nullptr)
    , m_timeDomainDialog(nullptr)
    , m_levelMeterDialog(nullptr)
    , m_kalibDialog(nullptr)
    , m_helpDialog(new HelpDialog(this))
    , m_statusLabel(new QLabel(this))
    , m_clockLabel(new QLabel(this))
    , m_batteryGauge(new QProgressBar(this))
    , m_folderName(QStringLiteral("Folder"))
    , m_folderIndex(-1)
    , m_startupPulse(0)
    , m_timerId(0)
{
    s_instance = this;
    removeWriteLeftovers();

    // Maps the FPGA memories and loads the FPGA's filter; without them it stays idle.
    m_dataWorker = new DataWorker();

    // The screens are created here, before the form, as they join.
    m_spectrumDialog = new SpectrumDialog(m_dataWorker, this);
    m_timeDomainDialog = new TimeDomainDialog(m_dataWorker, this);
    m_levelMeterDialog = new LevelMeterDialog(m_dataWorker, this);
    m_kalibDialog = new KalibDialog(m_dataWorker, this);

    ui->setupUi(this);
    setFixedSize(640, 480);
    setWindowTitle(QString());

    applyStyleSheet();

    // A damaged settings file must not leave the screen dark: the stored brightness is brought
    // into its range before it reaches the backlight.
    const int brightness = Configuration::getValue(Configuration::VT_Brightness, QLatin1String(kSystem));
    setBrightness(Configuration::limit(Configuration::VT_Brightness, brightness));

    LanguageManager::instance()->changeLanguage(
        Configuration::getString(Configuration::VT_Language, QLatin1String(kSystem)));

    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    m_clockLabel->setObjectName(QStringLiteral("clockLabel"));
    m_clockLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_batteryGauge->setObjectName(QStringLiteral("batteryGauge"));
    m_batteryGauge->setRange(0, 100);
    const int capacity = batteryCapacity(0);
    if (capacity >= 0)
        m_batteryGauge->setValue(qBound(0, capacity, 100));
    ui->statusbar->addPermanentWidget(m_statusLabel, 1);
    ui->statusbar->addPermanentWidget(m_clockLabel, 0);
    ui->statusbar->addPermanentWidget(m_batteryGauge, 0);

    // Connections and pages of the screens, in page order after the main menu:
    //   spectrum, time domain, level, kalib: exit() -> gotoMainMenu(); the first three also
    //     gotoSetup(SetupDialog::Dialog) -> gotoSetup();
    //   setup frame, HelpDialog, sensor help (InfoDialog::instance()): exit() -> gotoMainMenu();
    //   the key filter's barcodes -> onBarCodeScan(QString).
    connect(m_spectrumDialog, &SpectrumDialog::exit, this, &MainWindow::gotoMainMenu);
    connect(m_spectrumDialog, &SpectrumDialog::gotoSetup, this,
            [this](SetupDialog::Dialog dialog) { gotoSetup(dialog); });
    ui->MainWidget->addWidget(m_spectrumDialog);
    connect(m_timeDomainDialog, &TimeDomainDialog::exit, this, &MainWindow::gotoMainMenu);
    connect(m_timeDomainDialog, &TimeDomainDialog::gotoSetup, this,
            [this](SetupDialog::Dialog dialog) { gotoSetup(dialog); });
    ui->MainWidget->addWidget(m_timeDomainDialog);
    SetupDialog* setup = SetupDialog::instance();
    connect(setup, &SetupDialog::exit, this, &MainWindow::gotoMainMenu);
    connect(m_helpDialog, &HelpDialog::exit, this, &MainWindow::gotoMainMenu);
    connect(InfoDialog::instance(), &InfoDialog::exit, this, &MainWindow::gotoMainMenu);
    ui->MainWidget->addWidget(setup);
    ui->MainWidget->addWidget(m_helpDialog);
    ui->MainWidget->addWidget(InfoDialog::instance());
    // The level and calibration screens go in front of the setup frame.
    connect(m_levelMeterDialog, &LevelMeterDialog::exit, this, &MainWindow::gotoMainMenu);
    connect(m_levelMeterDialog, &LevelMeterDialog::gotoSetup, this,
            [this](SetupDialog::Dialog dialog) { gotoSetup(dialog); });
    connect(m_kalibDialog, &KalibDialog::exit, this, &MainWindow::gotoMainMenu);
    ui->MainWidget->insertWidget(ui->MainWidget->indexOf(setup), m_levelMeterDialog);
    ui->MainWidget->insertWidget(ui->MainWidget->indexOf(setup), m_kalibDialog);
    connect(EventHandler::instance(), &EventHandler::onBarCodeScan, this, &MainWindow::onBarCodeScan);

    gotoMainMenu();
    boardInit();
    rescanFolderIndex();

    m_startupPulse = 1;
    m_timerId = startTimer(kTickPeriodMs);
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::applyStyleSheet()
{
    QFile file(QStringLiteral(":/qss/default.qss"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    qApp->setStyleSheet(QString::fromUtf8(file.readAll()));
}

DataWorker* MainWindow::dataWorker()
{
    return instance()->m_dataWorker;
}

void MainWindow::removeWriteLeftovers()
{
    SystemHelper::removeSaveFileLeftovers(
        {Platform::path(QStringLiteral("/data/recall.xml")), Platform::path(QStringLiteral("/etc/network/interfaces")),
         EventHandler::screenshotFile()},
        Platform::path(QStringLiteral("/data/corvane_data")),
        // Records, their pictures, the index pages, and the index's resources as QFile::copy
        // writes them.
        {QStringLiteral("*.xml.??????"), QStringLiteral("*.png.??????"), QStringLiteral("*.html.??????"),
         QStringLiteral("qt_temp.??????")});
}

bool MainWindow::exists()
{
    return s_instance != nullptr;
}

void MainWindow::setStatusText(const QString& text)
{
    instance()->m_statusLabel->setText(text);
}

QString MainWindow::recordBasePath(bool withBarcode) const
{
    QString path = QStringLiteral("%1/%2/").arg(Platform::path(QStringLiteral("/data/corvane_data")),
                                                SystemHelper::productId(QStringLiteral("Unknown")));
    if (withBarcode && !m_barcode.isEmpty())
        path += QStringLiteral("%1/").arg(m_barcode);
    return path;
}

QString MainWindow::folderName(bool fullPath)
{
    const MainWindow* self = instance();
    QString path;
    if (fullPath)
        path = self->recordBasePath(false);
    if (!self->m_barcode.isEmpty())
        path += QStringLiteral("%1/").arg(self->m_barcode);
    path += QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    if (!self->m_folderName.isEmpty())
        path += QStringLiteral("_%1").arg(self->m_folderName);
    if (self->m_folderIndex >= 1)
        path += QStringLiteral("_%1").arg(self->m_folderIndex);
    return path;
}

void MainWindow::rescanFolderIndex()
{
    // Today's folders live next to each other below the base path (and below the barcode's
    // folder while a barcode is set, which is where the next record goes).
    const int highest = findHighestFolderIndex(recordBasePath(true), m_folderName);
    m_folderIndex = highest >= 0 ? highest + 1 : highest;
}

void MainWindow::setFolderName(const QString& name)
{
    m_barcode.clear();
    m_folderName = name;
    rescanFolderIndex();
}

void MainWindow::onBarCodeScan(QString barcode)
{
    // A barcode names one folder level; anything that could climb or split the path, or is too
    // long for a folder name, is refused, and the operator is told why.
    const QString problem = BarcodeCheck::problem(barcode);
    if (!problem.isEmpty()) {
        InfoMessageBox::information(tr("Barcode refused: %1").arg(problem), 3000, QString(), QMessageBox::Warning);
        return;
    }
    m_folderName.clear();
    m_barcode = barcode;
    m_folderIndex = findHighestFolderIndex(recordBasePath(true), m_folderName) + 1;
    showFolderNotice();
}

void MainWindow::showFolderNotice()
{
    InfoMessageBox::information(tr("Folder %1").arg(folderName(false)), 3000, QString(), QMessageBox::Information);
}

void MainWindow::updateSpecButton()
{
    const int antenna = Configuration::getValue(Configuration::VT_Antenna, QLatin1String(kSystem));
    ui->SpecButton->setEnabled(antenna == Configuration::ANTENNA_UHF);
}

void MainWindow::gotoMainMenu()
{
    updateSpecButton();

    ui->retranslateUi(this);
    ui->SpectrumLabel->setText(QCoreApplication::translate("SpectrumDialog", "Spectrum"));
    ui->TimeDomainLabel->setText(QCoreApplication::translate("TimeDomainDialog", "Time Domain"));
    ui->LevelMeterLabel->setText(QCoreApplication::translate("LevelMeterDialog", "Level"));
    setStatusText(tr("Main menu"));

    ui->MainWidget->setCurrentWidget(ui->MainMenu);

    setReceiveMode(false);
    setPreamplifierOff(true);
    setPulseGenerator(false);
}

void MainWindow::gotoDialog(MainWindow::Dialog dialog)
{
    switch (dialog) {
    case DIALOG_SPECTRUM:
        // The setup frame's exit() goes back to the main menu when the frame is opened from here.
        routeSetupExit(&MainWindow::gotoMainMenu);
        setStatusText(QCoreApplication::translate("SpectrumDialog", "Spectrum"));
        ui->MainWidget->setCurrentWidget(m_spectrumDialog);
        m_spectrumDialog->exec();
        break;
    case DIALOG_TIME:
        routeSetupExit(&MainWindow::gotoMainMenu);
        setStatusText(QCoreApplication::translate("TimeDomainDialog", "Time Domain"));
        ui->MainWidget->setCurrentWidget(m_timeDomainDialog);
        m_timeDomainDialog->exec();
        break;
    case DIALOG_LEVEL:
        routeSetupExit(&MainWindow::gotoMainMenu);
        setStatusText(QCoreApplication::translate("LevelMeterDialog", "Level"));
        ui->MainWidget->setCurrentWidget(m_levelMeterDialog);
        m_levelMeterDialog->exec();
        break;
    case DIALOG_KALIB:
        setStatusText(QCoreApplication::translate("KalibDialog", "Kalib"));
        ui->MainWidget->setCurrentWidget(m_kalibDialog);
        m_kalibDialog->exec();
        break;
    case DIALOG_HELP:
        setStatusText(tr("Help"));
        ui->MainWidget->setCurrentWidget(m_helpDialog);
        m_helpDialog->showHelp();
        break;
    }
}

void MainWindow::gotoSetup(SetupDialog::Dialog dialog)
{
    SetupDialog* setup = SetupDialog::instance();
    setStatusText(QCoreApplication::translate("SetupDialog", "Setup"));
    ui->MainWidget->setCurrentWidget(setup);
    switch (dialog) {
    case SetupDialog::DIALOG_SPECTRUM:
        setup->setDialog(dialog, true);
        routeSetupExit(&MainWindow::on_SpecButton_clicked);
        break;
    case SetupDialog::DIALOG_TIME:
        setup->setDialog(dialog, true);
        routeSetupExit(&MainWindow::on_TimeDomainButton_clicked);
        break;
    case SetupDialog::DIALOG_LEVEL:
        setup->setDialog(dialog, true);
        routeSetupExit(&MainWindow::on_LevelMeterButton_clicked);
        break;
    default:
        setup->setDialog(dialog, false);
        routeSetupExit(&MainWindow::gotoMainMenu);
        break;
    }
}

void MainWindow::routeSetupExit(void (MainWindow::*slot)())
{
    // Only the routes made here are removed: the setup pages connect to exit() themselves.
    SetupDialog* setup = SetupDialog::instance();
    disconnect(setup, &SetupDialog::exit, this, &MainWindow::gotoMainMenu);
    disconnect(setup, &SetupDialog::exit, this, &MainWindow::on_SpecButton_clicked);
    disconnect(setup, &SetupDialog::exit, this, &MainWindow::on_TimeDomainButton_clicked);
    disconnect(setup, &SetupDialog::exit, this, &MainWindow::on_LevelMeterButton_clicked);
    connect(setup, &SetupDialog::exit, this, slot);
}

void MainWindow::on_SpecButton_clicked()
{
    gotoDialog(DIALOG_SPECTRUM);
}

void MainWindow::on_TimeDomainButton_clicked()
{
    gotoDialog(DIALOG_TIME);
}

void MainWindow::on_LevelMeterButton_clicked()
{
    gotoDialog(DIALOG_LEVEL);
}

void MainWindow::on_HelpButton_clicked()
{
    gotoDialog(DIALOG_HELP);
}

void MainWindow::on_SetupButton_clicked()
{
    gotoSetup(SetupDialog::DIALOG_SYSTEM);
}

void MainWindow::on_NewDirButton_clicked()
{
    // The editor starts from the plain default name, which is also a folder name (untranslated).
    TextEditDialog* editor = TextEditDialog::instance();
    if (editor->exec(QStringLiteral("Folder"), tr("Edit folder name"), 20) != 1)
        return;
    setFolderName(editor->text());
    showFolderNotice();
}

void MainWindow::on_AntennaButton_clicked()
{
    const QString system = QLatin1String(kSystem);
    const int current = Configuration::getValue(Configuration::VT_Antenna, system);
    if (ValueSelectDialog::selectAntenna(current, tr("Select antenna"), false) == 1)
        Configuration::setValue(Configuration::VT_Antenna, ValueSelectDialog::instance()->value().toInt(), system);

    // TEV and HFCT sensors come with their connection instructions.
    const int antenna = Configuration::getValue(Configuration::VT_Antenna, system);
    if (antenna == Configuration::ANTENNA_TEV || antenna == Configuration::ANTENNA_HFCT) {
        setStatusText(tr("Help"));
        InfoDialog::instance()->showDocument(tr("Sensor connection on channel REF/RFF/CAL"),
                                             QStringLiteral(":resources/help/tev_und_hfct_sensoren.html"));
        ui->MainWidget->setCurrentWidget(InfoDialog::instance());
    }
    updateSpecButton();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    qDebug() << "closing";
    m_dataWorker->stop();
    event->accept();
}

void MainWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId) {
        QMainWindow::timerEvent(event);
        return;
    }

    // A date format outside the known two (a damaged settings file) falls back to the default.
    const int format = Configuration::getValue(Configuration::VT_DateFormat, QLatin1String(kSystem));
    QString datePattern = Configuration::dateFormatString(Configuration::DateFormat(format));
    if (datePattern.isEmpty())
        datePattern = Configuration::dateFormatString(Configuration::DATE_FORMAT_DD_MM_YYYY);
    m_clockLabel->setText(
        QDateTime::currentDateTime().toString(QStringLiteral("%1 %2").arg(datePattern, QStringLiteral("hh:mm:ss"))));

    if (--s_tickCounter <= 0) {
        s_tickCounter = kBatteryTicks;
        const int capacity = batteryCapacity(0);
        if (capacity >= 0)
            m_batteryGauge->setValue(qBound(0, capacity, 100));
    }

    // One 300 ms high pulse on the antenna-select line shortly after start.
    if (s_tickCounter % 3 == 0) {
        switch (m_startupPulse) {
        case 1:
            gpioSetValue(kAntennaSelectLine, true);
            m_startupPulse = 2;
            break;
        case 2:
            gpioSetValue(kAntennaSelectLine, false);
            m_startupPulse = 3;
            break;
        default:
            m_startupPulse = 0;
            break;
        }
    }
}
