#include "dialogs/ValueSelectDialog.h"
#include "ui_ValueSelectDialog.h"

#include "dialogs/DialogPlacement.h"
#include "util/Configuration.h"
#include "util/LanguageManager.h"
#include "util/SystemHelper.h"

#include <QKeyEvent>
#include <QRegExp>
#include <QScrollBar>

namespace {

// At most this many rows are visible; more options bring the scroll bar.
const int kVisibleRows = 5;
const int kMinimumListWidth = 180;
// The rows' style-sheet border and padding (6 + 6 + 16 px in the form), which the list's size
// hint leaves out; without them long options are cut.
const int kItemDecorationWidth = 28;

} // namespace

// ---------------------------------------------------------------------------------------------
// Option

ValueSelectDialog::Option::Option(const QString& text, const QVariant& value)
    : QListWidgetItem(text, nullptr, QListWidgetItem::UserType)
    , m_value(value)
    , m_kind(KIND_TEXT)
    , m_checked(false)
{
}

ValueSelectDialog::Option::Option(const QIcon& icon, const QString& text, const QVariant& value)
    : QListWidgetItem(icon, text, nullptr, QListWidgetItem::UserType)
    , m_value(value)
    , m_kind(KIND_ICON)
    , m_checked(false)
{
}

ValueSelectDialog::Option::Option(const QString& text, const QVariant& value, bool checked, bool radio)
    : QListWidgetItem(text, nullptr, QListWidgetItem::UserType)
    , m_value(value)
    , m_kind(radio ? KIND_RADIO : KIND_CHECKBOX)
    , m_checked(checked)
{
    updateIcon();
}

QVariant ValueSelectDialog::Option::value() const
{
    return m_value;
}

int ValueSelectDialog::Option::kind() const
{
    return m_kind;
}

bool ValueSelectDialog::Option::isChecked() const
{
    return m_checked;
}

void ValueSelectDialog::Option::setChecked(bool checked)
{
    m_checked = checked;
    updateIcon();
}

void ValueSelectDialog::Option::setSelectable(bool selectable)
{
    if (selectable)
        setFlags(flags() | Qt::ItemIsEnabled);
    else
        setFlags(flags() & ~Qt::ItemIsEnabled);
}

bool ValueSelectDialog::Option::isSelectable() const
{
    return flags().testFlag(Qt::ItemIsEnabled);
}

void ValueSelectDialog::Option::updateIcon()
{
    if (m_kind != KIND_CHECKBOX && m_kind != KIND_RADIO)
        return;
    const QString file = QStringLiteral(":/resources/images/%1_%2.svg")
                             .arg(m_kind == KIND_RADIO ? QStringLiteral("radiobutton") : QStringLiteral("checkbox"),
                                 m_checked ? QStringLiteral("checked") : QStringLiteral("unchecked"));
    // The same picture on the selected row (the list would otherwise tint it).
    QIcon icon;
    icon.addFile(file, QSize(), QIcon::Normal);
    icon.addFile(file, QSize(), QIcon::Selected);
    setIcon(icon);
}

// ---------------------------------------------------------------------------------------------
// Dialog

ValueSelectDialog* ValueSelectDialog::instance()
{
    static ValueSelectDialog* instance = new ValueSelectDialog();
    Q_ASSERT_X(instance != nullptr, "ValueSelectDialog", "NULL != instance");
    return instance;
}

ValueSelectDialog::ValueSelectDialog()
    : QDialog(nullptr, Qt::FramelessWindowHint)
    , ui(new Ui::ValueSelectDialog)
{
    qRegisterMetaType<ValueSelectDialog::Option*>("ValueSelectDialog::Option*");
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    // The dialog itself takes the keys; the list and the buttons answer taps only.
    ui->ListWidget->setFocusPolicy(Qt::NoFocus);
    connect(ui->ListWidget, &QListWidget::itemClicked, this, &ValueSelectDialog::onItemClicked);
    connect(ui->pushButtonExit, &QPushButton::clicked, this, &ValueSelectDialog::onExitClicked);
    connect(ui->pushButtonCustom, &QPushButton::clicked, this, &ValueSelectDialog::onCustomClicked);
}

ValueSelectDialog::~ValueSelectDialog()
{
    delete ui;
}

int ValueSelectDialog::exec(const QVariant& currentValue, const QString& prompt, const QList<Option*>& options,
    bool exitEnabled, bool customEnabled)
{
    ui->retranslateUi(this);
    ui->pushButtonExit->setEnabled(exitEnabled);
    ui->pushButtonExit->setVisible(exitEnabled);
    ui->pushButtonCustom->setEnabled(customEnabled);
    ui->pushButtonCustom->setVisible(customEnabled);
    ui->labelStatusBar->setText(prompt);

    takeOverOptions(options);
    int currentRow = 0;
    for (int row = 0; row < m_options.size(); ++row) {
        if (m_options.at(row)->value() == currentValue)
            currentRow = row;
    }
    if (!m_options.isEmpty())
        ui->ListWidget->setCurrentRow(currentRow);

    fitList();
    DialogPlacement::sizeToContents(this);
    DialogPlacement::centreOnMainWindow(this);
    if (QListWidgetItem* current = ui->ListWidget->currentItem())
        ui->ListWidget->scrollToItem(current);
    return QDialog::exec();
}

void ValueSelectDialog::takeOverOptions(const QList<Option*>& options)
{
    // The previous options belong to the list and go now, except those handed in again (a
    // caller may reopen the dialog with the same option objects).
    while (ui->ListWidget->count() > 0) {
        QListWidgetItem* item = ui->ListWidget->takeItem(ui->ListWidget->count() - 1);
        if (!options.contains(static_cast<Option*>(item)))
            delete item;
    }
    m_options.clear();
    for (Option* option : options) {
        if (option == nullptr || m_options.contains(option))
            continue;
        m_options.append(option);
        ui->ListWidget->addItem(option);
    }
}

void ValueSelectDialog::fitList()
{
    QListWidget* list = ui->ListWidget;
    const int count = list->count();
    const bool scrolling = count > kVisibleRows;
    list->setVerticalScrollBarPolicy(scrolling ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Five rows at most; the frame and the scroll bar come on top so that no text is cut.
    const int frame = 2 * list->frameWidth();
    // Narrow options still get a row wide enough to hit with a finger.
    int width = qMax(kMinimumListWidth, qMax(0, list->sizeHintForColumn(0)) + kItemDecorationWidth + frame);
    if (scrolling)
        width += list->verticalScrollBar()->sizeHint().width();
    const int rowHeight = count > 0 ? qMax(0, list->sizeHintForRow(0)) : 0;
    list->setFixedSize(width, qMin(count, kVisibleRows) * rowHeight + frame);
}

QVariant ValueSelectDialog::value() const
{
    return m_value;
}

QPushButton* ValueSelectDialog::customButton() const
{
    return ui->pushButtonCustom;
}

void ValueSelectDialog::onItemClicked(QListWidgetItem* item)
{
    if (item == nullptr || !(item->flags() & Qt::ItemIsEnabled))
        return;
    Option* option = m_options.contains(static_cast<Option*>(item)) ? static_cast<Option*>(item) : nullptr;
    if (option == nullptr)
        return;
    m_value = option->value();
    emit optionClicked(option);
    // A check box only toggles (the caller does that in its optionClicked handler); the dialog
    // stays open for further clicks.
    if (option->kind() != Option::KIND_CHECKBOX)
        accept();
}

void ValueSelectDialog::onExitClicked()
{
    m_value = VALUE_EXIT;
    reject();
}

void ValueSelectDialog::onCustomClicked()
{
    m_value = VALUE_CUSTOM;
    emit customButtonClicked();
    accept();
}

void ValueSelectDialog::keyPressEvent(QKeyEvent* event)
{
    QListWidget* list = ui->ListWidget;
    switch (event->key()) {
    case Qt::Key_Up:
        if (list->count() > 0)
            list->setCurrentRow(qMax(0, list->currentRow() - 1));
        break;
    case Qt::Key_Down:
        if (list->count() > 0)
            list->setCurrentRow(qMin(list->count() - 1, list->currentRow() + 1));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        onItemClicked(list->currentItem());
        break;
    default:
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
}

// ---------------------------------------------------------------------------------------------
// Ready-made selectors

int ValueSelectDialog::selectRadio(
    const QVariant& current, const QString& prompt, const QList<QPair<QString, QVariant>>& labels, bool exitEnabled)
{
    Options options;
    for (const auto& label : labels)
        options << new Option(label.first, label.second, label.second == current, true);
    return instance()->exec(current, prompt, options, exitEnabled, false);
}

int ValueSelectDialog::selectResolution(int current, const QString& prompt)
{
    return selectRadio(current, prompt,
        { { Configuration::toString(Configuration::RESOLUTION_FINE), int(Configuration::RESOLUTION_FINE) },
            { Configuration::toString(Configuration::RESOLUTION_MODERATE), int(Configuration::RESOLUTION_MODERATE) },
            { Configuration::toString(Configuration::RESOLUTION_COARSE), int(Configuration::RESOLUTION_COARSE) } },
        true);
}

int ValueSelectDialog::selectAntenna(int current, const QString& prompt, bool exitEnabled)
{
    return selectRadio(current, prompt,
        { { Configuration::toString(Configuration::ANTENNA_UHF), int(Configuration::ANTENNA_UHF) },
            { Configuration::toString(Configuration::ANTENNA_TEV), int(Configuration::ANTENNA_TEV) },
            { Configuration::toString(Configuration::ANTENNA_HFCT), int(Configuration::ANTENNA_HFCT) } },
        exitEnabled);
}

int ValueSelectDialog::selectBandwidth(int current, const QString& prompt)
{
    const QString mhz = tr("MHz");
    return selectRadio(current, prompt,
        { { QStringLiteral("1 %1").arg(mhz), 1000 }, { QStringLiteral("5 %1").arg(mhz), 5000 },
            { QStringLiteral("20 %1").arg(mhz), 20000 } },
        true);
}

int ValueSelectDialog::selectMeasMode(int current, const QString& prompt)
{
    return selectRadio(current, prompt,
        { { Configuration::toString(Configuration::MEAS_MODE_LOG), int(Configuration::MEAS_MODE_LOG) },
            { Configuration::toString(Configuration::MEAS_MODE_RMS), int(Configuration::MEAS_MODE_RMS) },
            { Configuration::toString(Configuration::MEAS_MODE_ENV), int(Configuration::MEAS_MODE_ENV) } },
        true);
}

int ValueSelectDialog::selectSync(int current, const QString& prompt)
{
    // The sync sources are type names and stay untranslated.
    return selectRadio(current, prompt,
        { { QStringLiteral("Int E"), int(Configuration::SYNC_INT_E) },
            { QStringLiteral("RQ4417 (E)"), int(Configuration::SYNC_SENSOR_E) },
            { QStringLiteral("RQ4417 (H)"), int(Configuration::SYNC_SENSOR_H) },
            { QStringLiteral("TL4418"), int(Configuration::SYNC_MAINS_RF) } },
        true);
}

int ValueSelectDialog::selectPersistency(int current, const QString& prompt)
{
    return selectRadio(current, prompt,
        { { QStringLiteral("1"), 1 }, { QStringLiteral("50"), 50 }, { QStringLiteral("100"), 100 },
            { tr("Infinite"), 0 } },
        true);
}

int ValueSelectDialog::selectOnOff(int current, const QString& prompt)
{
    // Any non-zero value counts as "On".
    return selectRadio(current == 0 ? 0 : 1, prompt, { { tr("Off"), 0 }, { tr("On"), 1 } }, true);
}

int ValueSelectDialog::selectYesNo(int current, const QString& prompt)
{
    // An answer is required: no exit button (Escape still leaves).
    return selectRadio(current, prompt, { { tr("No"), 0 }, { tr("Yes"), 1 } }, false);
}

int ValueSelectDialog::selectLanguage(const QString& currentCode, const QString& prompt)
{
    Options options;
    const QVariantList languages = LanguageManager::instance()->languages();
    for (const QVariant& entry : languages) {
        const QVariantMap language = entry.toMap();
        const QString code = language.value(QStringLiteral("code")).toString();
        auto* option = new Option(language.value(QStringLiteral("native")).toString(), code, code == currentCode, true);
        const QString family = language.value(QStringLiteral("font")).toString();
        if (!family.isEmpty()) {
            QFont font = option->font();
            font.setFamily(family);
            option->setFont(font);
        }
        options << option;
    }
    return instance()->exec(currentCode, prompt, options, true, false);
}

int ValueSelectDialog::selectDateFormat(int current, const QString& prompt)
{
    return selectRadio(current, prompt,
        { { Configuration::toString(Configuration::DATE_FORMAT_DD_MM_YYYY),
              int(Configuration::DATE_FORMAT_DD_MM_YYYY) },
            { Configuration::toString(Configuration::DATE_FORMAT_YYYY_MM_DD),
                int(Configuration::DATE_FORMAT_YYYY_MM_DD) } },
        true);
}

int ValueSelectDialog::selectPhase(int current, const QString& prompt)
{
    return selectRadio(current, prompt,
        { { Configuration::toString(Configuration::PHASE_L1), int(Configuration::PHASE_L1) },
            { Configuration::toString(Configuration::PHASE_L2), int(Configuration::PHASE_L2) },
            { Configuration::toString(Configuration::PHASE_L3), int(Configuration::PHASE_L3) },
            { Configuration::toString(Configuration::PHASE_Unspecified), int(Configuration::PHASE_Unspecified) } },
        true);
}

QString ValueSelectDialog::selectMountPoint(
    const QString& current, const QString& pattern, const QStringList& excluded, const QString& prompt)
{
    const QList<QStringList> mounts = SystemHelper::diskUsage(QRegExp(pattern), excluded);
    QStringList mountPoints;
    for (const QStringList& fields : mounts) {
        if (fields.size() >= 6)
            mountPoints << fields.at(5);
    }
    Options options;
    int currentIndex = -1;
    for (int i = 0; i < mountPoints.size(); ++i) {
        const bool isCurrent = mountPoints.at(i) == current;
        if (isCurrent)
            currentIndex = i;
        options << new Option(mountPoints.at(i), i, isCurrent, true);
    }
    if (instance()->exec(currentIndex, prompt, options, true, false) != QDialog::Accepted)
        return QString();
    bool ok = false;
    const int chosen = instance()->value().toInt(&ok);
    if (!ok || chosen < 0 || chosen >= mountPoints.size())
        return QString();
    return mountPoints.at(chosen);
}
