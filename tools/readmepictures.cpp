// corvane-readme-pictures [FOLDER]: remakes the README's pictures of the input dialogs and of
// the setup, help and sensor pages (docs/screenshots by default). It runs the instrument's own
// dialogs on the offscreen platform with the device's style sheet, on a temporary root of its
// own (nothing of this machine is touched), brings each into the state the README shows and
// saves what the operator would see.
#include "MainWindow.h"
#include "dialogs/AdressEditDialog.h"
#include "dialogs/DateTimeEditDialog.h"
#include "dialogs/InfoDialog.h"
#include "dialogs/SetupDialog.h"
#include "dialogs/TextEditDialog.h"
#include "dialogs/ValueEditDialog.h"
#include "dialogs/ValueSelectDialog.h"
#include "dialogs/ValueSliderDialog.h"
#include "util/Configuration.h"
#include "util/LanguageManager.h"
#include "util/Platform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

QString g_folder;
int g_failures = 0;

void save(QWidget* widget, const QString& name)
{
    const QString file = QDir(g_folder).filePath(name + ".png");
    if (widget->grab().save(file, "PNG")) {
        std::printf("%s\n", qPrintable(file));
    } else {
        std::fprintf(stderr, "could not save %s\n", qPrintable(file));
        ++g_failures;
    }
}

void click(QWidget* dialog, const char* name)
{
    if (auto* button = dialog->findChild<QAbstractButton*>(name))
        button->click();
    QCoreApplication::processEvents();
}

// Once dialog is up inside its exec(): prepare it, save it under name (unless empty), close it.
void whenShown(QDialog* dialog, const QString& name, const std::function<void()>& prepare = {})
{
    QTimer::singleShot(20, dialog, [=] {
        if (!dialog->isVisible() || QApplication::activeModalWidget() != dialog)
            return whenShown(dialog, name, prepare);
        if (prepare)
            prepare();
        QCoreApplication::processEvents();
        if (!name.isEmpty())
            save(dialog, name);
        if (dialog->isVisible())
            dialog->reject();
    });
}

ValueSelectDialog::Options numbered(int count)
{
    ValueSelectDialog::Options options;
    for (int i = 0; i < count; ++i)
        options << new ValueSelectDialog::Option(QString("Option %1").arg(i + 1), i);
    return options;
}

void inputDialogs()
{
    ValueEditDialog* edit = ValueEditDialog::instance();
    edit->setMinimum(150);
    edit->setMaximum(1000);
    edit->setStep(10);
    whenShown(edit, "ValueEditDialog", [edit] {
        for (const char* digit : {"Button3", "Button0", "Button0"})
            click(edit, digit);
    });
    edit->exec(150, "Enter start frequency", "MHz", {});
    edit->setMinimum(0);
    whenShown(edit, "ValueEditDialog_range", [edit] {
        for (const char* digit : {"Button1", "Button0", "Button0", "Button5"})
            click(edit, digit);
    });
    edit->exec(500, "Enter value", QString(), {});
    edit->setMinimum(20);
    edit->setMaximum(300);
    whenShown(edit, "ValueEditDialog_predefines");
    edit->exec(100, "Enter sweep rate", "Hz", {{50, "50 Hz"}, {60, "60 Hz"}});

    QVector<QChar> digits;
    for (char c = '0'; c <= '9'; ++c)
        digits << QLatin1Char(c);
    whenShown(AdressEditDialog::instance(), "AdressEditDialog");
    AdressEditDialog::instance()->exec("192.168.001.005", "Enter address", digits, "999.999.999.999", true);

    ValueSliderDialog* slider = ValueSliderDialog::instance();
    slider->setRange(0, 200);
    whenShown(slider, "ValueSliderDialog");
    slider->exec(150, "Adjust brightness", "%", false);

    TextEditDialog* text = TextEditDialog::instance();
    whenShown(text, "TextEditDialog", [text] {
        auto* line = text->findChild<QLineEdit*>("lineEditText");
        line->end(false);
        line->insert("_Ab-3");
    });
    text->exec("Folder", "Edit folder name", 20);
    whenShown(text, "TextEditDialog_digits", [text] { click(text, "ButtonNumbers"); });
    text->exec("Folder", "Edit folder name", 20);
    whenShown(text, "TextEditDialog_empty", [text] {
        text->findChild<QLineEdit*>("lineEditText")->end(false);
        click(text, "ButtonBack");
        click(text, "ButtonBack");
    });
    text->exec("ab", "Edit folder name", 20);

    DateTimeEditDialog* dateTime = DateTimeEditDialog::instance();
    whenShown(dateTime, "DateTimeEditDialog");
    dateTime->execTime(QTime(13, 28, 30), "Enter time", "hh:mm:ss");
    whenShown(dateTime, "DateTimeEditDialog_date");
    dateTime->execDate(QDate(2026, 12, 6), "Enter date", "dd.MM.yyyy");
}

void selectors()
{
    ValueSelectDialog* select = ValueSelectDialog::instance();
    whenShown(select, "ValueSelectDialog_scrolling");
    select->exec(0, "Seven options", numbered(7), true, false);
    whenShown(select, "ValueSelectDialog_checkboxes");
    select->exec(-1, "Select trace",
                 {new ValueSelectDialog::Option("Maximum", 0, true, false), new ValueSelectDialog::Option("Average", 1, true, false)},
                 true, false);
    // As the spectrum screen's marker choice sets it up.
    select->customButton()->setText("Clear all");
    select->customButton()->setIcon(QIcon(":/resources/images/trash.png"));
    ValueSelectDialog::Options markers;
    const QStringList frequencies {"412.5", "655.25", "871"};
    for (int i = 0; i < frequencies.size(); ++i)
        markers << new ValueSelectDialog::Option(QString("Marker %1 [%2 MHz]").arg(i + 1).arg(frequencies.at(i)), i, i == 1, true);
    whenShown(select, "ValueSelectDialog");
    select->exec(1, "Select marker", markers, true, true);
    whenShown(select, "ValueSelectDialog_antenna");
    ValueSelectDialog::selectAntenna(1, "Select antenna", false);
    whenShown(select, "ValueSelectDialog_yesno");
    ValueSelectDialog::selectYesNo(0, "Clear all saved data?");
    whenShown(select, "ValueSelectDialog_language");
    ValueSelectDialog::selectLanguage("de", "Select language");
}

// The pages of the main window, grabbed whole: setup, its category list, help, the sensor page.
void mainWindowPages()
{
    MainWindow* window = MainWindow::instance();
    window->show();
    const auto grabSoon = [window](const QString& name) {
        QTimer::singleShot(150, window, [window, name] { save(window, name); });
        QTimer::singleShot(200, window, [] { QCoreApplication::exit(0); });
        qApp->exec();
    };
    click(window, "SetupButton");
    grabSoon("SetupDialog");
    SetupDialog* setup = SetupDialog::instance();
    setup->setDialog(SetupDialog::DIALOG_SPECTRUM, true);
    whenShown(ValueSelectDialog::instance(), "SetupDialog_categories");
    click(setup, "CategoryButton");
    click(window, "HelpButton");
    grabSoon("HelpDialog");
    Configuration::setValue(Configuration::VT_Antenna, Configuration::ANTENNA_HFCT, "system");
    whenShown(ValueSelectDialog::instance(), QString(), [] {
        // The operator keeps the HFCT sensor: Escape, and the sensor page follows.
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(ValueSelectDialog::instance(), &escape);
    });
    click(window, "AntennaButton");
    grabSoon("InfoDialog");
    window->close();
}

bool prepareRoot(const QString& root)
{
    Platform::setRoot(root);
    bool ok = QDir().mkpath(root + "/data") && QDir().mkpath(root + "/usr/lib/language");
    // The languages of this build, as the board's language directory holds them.
    const QString built = QCoreApplication::applicationDirPath() + "/../translations/";
    for (const char* name : {"corvane_en.cfg", "corvane_de.cfg", "corvane_de.qm"})
        ok = QFile::copy(built + name, root + "/usr/lib/language/" + name) && ok;
    for (int line = 207; line <= 237; ++line) {
        QDir().mkpath(root + QString("/sys/class/gpio/gpio%1").arg(line));
        QFile value(root + QString("/sys/class/gpio/gpio%1/value").arg(line));
        ok = value.open(QIODevice::WriteOnly) && value.write("0") == 1 && ok;
    }
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication::setAttribute(Qt::AA_Use96Dpi); // the fonts at the size the device shows them
    QApplication app(argc, argv);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QTemporaryDir root;
    if (!QDir().mkpath(g_folder) || !root.isValid() || !prepareRoot(root.path())) {
        std::fprintf(stderr, "corvane-readme-pictures: cannot prepare %s or a temporary root\n", qPrintable(g_folder));
        return 1;
    }
    QFile styleSheet(":/qss/default.qss");
    if (styleSheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(styleSheet.readAll()));
    LanguageManager::instance()->reloadLanguages();
    inputDialogs();
    selectors();
    mainWindowPages();
    return g_failures == 0 ? 0 : 1;
}
