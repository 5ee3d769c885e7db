// corvane-samplerecords: fills the record folders of a simulated board (CORVANE_ROOT, with the
// board simulator running) with records as the instrument saves them, to show the record index.
// The real main window runs on that board: the spectrum screen sweeps, and its picture, series
// and settings become spectrum records; a barcode is typed through the key filter as a scanner
// would. Screens that cannot save yet get records written with the record writer in their
// format (time domain, level meter, autodetection), without a picture.
#include "MainWindow.h"
#include "dialogs/SpectrumDialog.h"
#include "hardware/BoardIO.h"
#include "hardware/DataWorker.h"
#include "plot/OverridingPlotData.h"
#include "storage/RecordWriter.h"
#include "util/EventHandler.h"
#include "util/Platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMutexLocker>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTextStream>
#include <QThread>
#include <QtMath>

#include <functional>

namespace {

QRandomGenerator s_random(4711);

void waitFor(int ms, const std::function<bool()>& done = {})
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms && !(done && done()))
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

QString text(int value)
{
    return QString::number(value);
}

void add(QDomDocument& document, QDomElement& root, const char* tag, const QString& value)
{
    root.appendChild(createTextElement(document, QLatin1String(tag), value));
}

// A new record of the screen `name`, saved a second later than the previous one (records of one
// screen within a second would replace each other).
bool save(const QString& name, const QPixmap& picture, const QDomDocument& document)
{
    waitFor(1100);
    return saveMeasurement(name, picture, document, MainWindow::folderName(true));
}

QDomElement startRecord(QDomDocument& document, const QString& name)
{
    QDomElement root = createRecordRoot(document, name, 1);
    appendCommonHeader(document, root, MainWindow::dataWorker()->fpgaVersion(), MainWindow::folderName(false));
    return root;
}

bool saveSpectrum(SpectrumDialog* spectrum, const char* phase)
{
    MainWindow::instance()->gotoDialog(MainWindow::DIALOG_SPECTRUM);
    OverridingPlotData* max = spectrum->series(SpectrumDialog::CURVE_MAX);
    waitFor(60000, [&] {
        QMutexLocker lock(spectrum->dataLock());
        return max->isDataCompleted();
    });
    waitFor(500);
    const QPixmap picture = grabScreen();
    QDomDocument document;
    QDomElement root = startRecord(document, SpectrumDialog::NAME);
    appendReceiverGroup(document, root, Configuration::MEAS_MODE_LOG, Configuration::ANTENNA_UHF, spectrum->bandwidth(),
                        !preamplifierOff(), pulseGenerator());
    add(document, root, "gating_time", text(spectrum->gatingTime()));
    add(document, root, "max_hold",
        Configuration::getValue(Configuration::VT_MaxHold, SpectrumDialog::NAME) == 1 ? "On" : "Off");
    add(document, root, "minAmplitude", text(spectrum->ampMin()));
    add(document, root, "maxAmplitude", text(spectrum->ampMax()));
    add(document, root, "minFrequency", text(spectrum->freqMin()));
    add(document, root, "maxFrequency", text(spectrum->freqMax()));
    add(document, root, "phase", QLatin1String(phase));
    QDomElement frequencies = document.createElement(QStringLiteral("freq"));
    frequencies.setAttribute(QStringLiteral("min"), spectrum->freqMin());
    frequencies.setAttribute(QStringLiteral("max"), spectrum->freqMax());
    const SpectrumDialog::CurveSelects shown = spectrum->curves();
    {
        QMutexLocker lock(spectrum->dataLock());
        add(document, root, "nsamples", text(max->count()));
        root.appendChild(frequencies);
        // The traces on the screen, in their fixed order.
        const QStringList tags{"max", "avg", "ref_max", "ref_avg", "diff"};
        const QList<SpectrumDialog::CurveSelect> live = SpectrumDialog::liveCurveOrder();
        for (int i = 0; i < live.size(); ++i) {
            if (shown & live.at(i))
                root.appendChild(createSeriesElement(document, tags.at(i), *spectrum->series(live.at(i))));
        }
    }
    const bool saved = save(SpectrumDialog::NAME, picture, document);
    spectrum->on_ExitButton_clicked();
    return saved;
}

// Pulses over the mains phase, as the time-domain screen writes them in its image mode.
bool saveTimeDomain(const char* phase, int activity)
{
    QDomDocument document;
    QDomElement root = startRecord(document, QStringLiteral("time"));
    appendReceiverGroup(document, root, Configuration::MEAS_MODE_RMS, Configuration::ANTENNA_UHF, 5000, true, false);
    add(document, root, "gating_periodes", "1");
    add(document, root, "persistency", "Infinite");
    add(document, root, "frequency", "433");
    add(document, root, "sync", "INT_E");
    add(document, root, "synchronized", "Yes");
    add(document, root, "linear_amplifier", "67");
    add(document, root, "pulsemode", "Off");
    add(document, root, "maxQuantity", "20");
    add(document, root, "phase", QLatin1String(phase));
    add(document, root, "activity", text(activity));
    add(document, root, "activityLevel", text(activity / 10));
    add(document, root, "activityVoltage", QString::number(activity * 0.0173, 'g', 6));
    add(document, root, "minAmplitude", "0");
    add(document, root, "maxAmplitude", "100");
    QStringList times, samples, quantities, pixels;
    const double step = (1000.0 / 50) / 500;
    for (int x = 0; x <= 499; x += 2) {
        // Discharges cluster on the rising flanks of both half-waves.
        const double weight = qMax(0.0, qSin(2 * M_PI * (x / 500.0) + 0.6));
        for (int y = 0; y < 262; y += 2) {
            if (s_random.bounded(1.0) > weight * weight * (1.0 - y / 262.0) * 0.25)
                continue;
            times << QString::number(x * step, 'f', 2);
            samples << QString::number(y * 100.0 / 261, 'g', 6);
            quantities << text(1 + s_random.bounded(20));
            pixels << text(y);
        }
    }
    add(document, root, "times", times.join(QLatin1Char(' ')));
    add(document, root, "sample", samples.join(QLatin1Char(' ')));
    add(document, root, "quantity", quantities.join(QLatin1Char(' ')));
    add(document, root, "pixel", pixels.join(QLatin1Char(' ')));
    return save(QStringLiteral("time"), QPixmap(), document);
}

bool saveLevel(const char* phase)
{
    QDomDocument document;
    QDomElement root = startRecord(document, QStringLiteral("level"));
    appendReceiverGroup(document, root, Configuration::MEAS_MODE_LOG, Configuration::ANTENNA_UHF, 5000, false, false);
    add(document, root, "gating_time", "20");
    add(document, root, "frequency", "433");
    add(document, root, "linear_amplifier", "0");
    add(document, root, "pulsemode", "Off");
    add(document, root, "minAmplitude", "-80");
    add(document, root, "maxAmplitude", "-20");
    add(document, root, "phase", QLatin1String(phase));
    add(document, root, "nsamples", "500");
    QDomElement scale = document.createElement(QStringLiteral("timescale"));
    scale.setAttribute(QStringLiteral("min"), QStringLiteral("0"));
    scale.setAttribute(QStringLiteral("max"), QString::number(500 * 20 / 1000.0, 'g', 6));
    root.appendChild(scale);
    QVector<QPointF> levels;
    for (int i = 0; i < 500; ++i)
        levels << QPointF(i, -62.0 + 4 * qSin(i / 40.0) + s_random.bounded(3.0));
    root.appendChild(createSeriesElement(document, QStringLiteral("max"), levels));
    return save(QStringLiteral("level"), QPixmap(), document);
}

// The autodetection record: its settings and traces of two sweeps over 150..1000 MHz.
bool saveAutodetection()
{
    QDomDocument document;
    QDomElement root = startRecord(document, QStringLiteral("algorithm"));
    const QList<QPair<const char*, int>> settings{{"minFrequency", 150},  {"maxFrequency", 1000}, {"cycleCountHigh", 3},
                                                  {"cycleCountLow", 3},   {"gatingTimeHigh", 20}, {"gatingTimeLow", 2},
                                                  {"gradingFilter", 5},   {"amplifier", 1},       {"amplifierFactorG", 10},
                                                  {"threshold1", 6},      {"threshold2", 6},      {"threshold3", 8},
                                                  {"threshold4", 8},      {"nsamples", 501}};
    for (const auto& setting : settings)
        add(document, root, setting.first, text(setting.second));
    const auto trace = [](double base) {
        QVector<QPointF> points;
        for (int i = 0; i < 501; ++i)
            points << QPointF(i, base + s_random.bounded(4.0) + (qAbs(i - 335) < 4 ? 18 : 0));
        return points;
    };
    for (const char* group : {"high", "low"}) {
        QDomElement element = document.createElement(QLatin1String(group));
        for (const char* tag : {"max", "avg", "diff"})
            element.appendChild(createSeriesElement(document, QLatin1String(tag), trace(-70)));
        root.appendChild(element);
    }
    for (const char* tag : {"delta", "y", "z"})
        root.appendChild(createSeriesElement(document, QLatin1String(tag), trace(0)));
    return save(QStringLiteral("algorithm"), QPixmap(), document);
}

// Types a barcode the way the scanner does: digit keys, then Return, into the window.
void scanBarcode(const QString& digits)
{
    QWidget* window = MainWindow::instance();
    for (const QChar digit : digits + QLatin1Char('\r')) {
        const int key = digit == QLatin1Char('\r') ? Qt::Key_Return : Qt::Key_0 + digit.digitValue();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(digit));
        QApplication::sendEvent(window, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(digit));
        QApplication::sendEvent(window, &release);
    }
    waitFor(100);
}

} // namespace

int main(int argc, char* argv[])
{
    const QByteArray root = qgetenv("CORVANE_ROOT");
    QTextStream err(stderr);
    if (root.isEmpty()) {
        err << "usage: CORVANE_ROOT=<simulated board root> corvane-samplerecords\n";
        return 2;
    }
    Platform::setRoot(QString::fromLocal8Bit(root));
    QApplication application(argc, argv);
    application.installEventFilter(EventHandler::instance());

    MainWindow* window = MainWindow::instance();
    if (MainWindow::dataWorker()->fpgaVersion() == 0) {
        err << "no FPGA below " << root << ": is the board simulator running on it?\n";
        return 1;
    }
    window->show();
    auto* spectrum = window->findChild<SpectrumDialog*>();
    bool saved = true;

    window->setFolderName(QStringLiteral("Substation North"));
    saved = saveSpectrum(spectrum, "L1") && saved;
    saved = saveTimeDomain("L1", 412) && saved;
    saved = saveLevel("L1") && saved;
    saved = saveSpectrum(spectrum, "L2") && saved;
    saved = saveAutodetection() && saved;

    scanBarcode(QStringLiteral("4006381333931"));
    saved = saveSpectrum(spectrum, "L3") && saved;
    saved = saveTimeDomain("L3", 1290) && saved;

    window->setFolderName(QStringLiteral("Cable joint 7"));
    saved = saveSpectrum(spectrum, "Unspecified") && saved;

    window->close();
    err << (saved ? "records written below " : "some records could not be written below ")
        << MainWindow::folderName(true) << "\n";
    return saved ? 0 : 1;
}
