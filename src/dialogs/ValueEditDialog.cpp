#include "dialogs/ValueEditDialog.h"
#include "ui_ValueEditDialog.h"

#include "dialogs/DialogPlacement.h"
#include "util/MarkerPresets.h"

#include <QKeyEvent>
#include <QListWidgetItem>
#include <QPushButton>

#include <limits>

namespace {

// Typed numbers stop growing before they leave the int range; they are far outside every
// setting's limits long before that.
bool fitsInt(qint64 value)
{
    return value >= -std::numeric_limits<int>::max() && value <= std::numeric_limits<int>::max();
}

int clampToInt(qint64 value)
{
    return int(qBound<qint64>(-std::numeric_limits<int>::max(), value, std::numeric_limits<int>::max()));
}

// Floor and ceiling of value / step for a positive step.
qint64 floorDiv(qint64 value, qint64 step)
{
    qint64 q = value / step;
    if (value % step != 0 && value < 0)
        --q;
    return q;
}

qint64 ceilDiv(qint64 value, qint64 step)
{
    qint64 q = value / step;
    if (value % step != 0 && value > 0)
        ++q;
    return q;
}

} // namespace

ValueEditDialog* ValueEditDialog::instance()
{
    static ValueEditDialog* instance = new ValueEditDialog();
    Q_ASSERT_X(instance != nullptr, "ValueEditDialog", "NULL != instance");
    return instance;
}

ValueEditDialog::ValueEditDialog()
    : QDialog(nullptr)
    , ui(new Ui::ValueEditDialog)
    , m_value(0)
    , m_minimum(-1000)
    , m_maximum(1000)
    , m_initialValue(0)
    , m_step(50)
    , m_fresh(true)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    for (int digit = 0; digit <= 9; ++digit) {
        auto* button = findChild<QPushButton*>(QStringLiteral("Button%1").arg(digit));
        Q_ASSERT_X(button != nullptr, "ValueEditDialog", "NULL != retval");
        connect(button, &QPushButton::clicked, this, &ValueEditDialog::onDigitClicked);
    }
    connect(ui->ButtonBack, &QPushButton::clicked, this, &ValueEditDialog::onBackClicked);
    connect(ui->ButtonClear, &QPushButton::clicked, this, &ValueEditDialog::onClearClicked);
    connect(ui->ButtonSign, &QPushButton::clicked, this, &ValueEditDialog::onSignClicked);
    connect(ui->ButtonOk, &QPushButton::clicked, this, &ValueEditDialog::accept);
    connect(ui->ButtonExit, &QPushButton::clicked, this, &ValueEditDialog::reject);
}

ValueEditDialog::~ValueEditDialog()
{
    delete ui;
}

void ValueEditDialog::setMinimum(int minimum)
{
    m_minimum = minimum;
}

void ValueEditDialog::setMaximum(int maximum)
{
    m_maximum = maximum;
}

void ValueEditDialog::setStep(int step)
{
    m_step = step;
}

int ValueEditDialog::exec(
    int value, const QString& prompt, const QString& unit, const QList<QPair<int, QString>>& predefines)
{
    ui->retranslateUi(this);
    ui->listWidgetPredefines->clear();
    ui->listWidgetPredefines->setVisible(!predefines.isEmpty());
    for (const auto& predefine : predefines) {
        auto* item = new QListWidgetItem(predefine.second, ui->listWidgetPredefines);
        item->setTextAlignment(Qt::AlignCenter);
    }
    m_predefines = predefines;
    m_fresh = true;
    m_prompt = prompt;
    m_unit = unit;
    m_initialValue = value;
    updateValue(value);

    DialogPlacement::sizeToContents(this);
    DialogPlacement::centreOnMainWindow(this);
    // Showing the dialog focuses the value as if by Tab, which would mark the whole text.
    QMetaObject::invokeMethod(ui->lineEditValue, &QLineEdit::deselect, Qt::QueuedConnection);
    return QDialog::exec();
}

int ValueEditDialog::value() const
{
    return m_value;
}

int ValueEditDialog::getValue(
    int value, Configuration::ValueType type, int step, const QString& prompt, const QString& unit)
{
    ValueEditDialog* dialog = instance();
    dialog->setMinimum(Configuration::getMin(type));
    dialog->setMaximum(Configuration::getMax(type));
    dialog->setStep(step);
    return dialog->exec(value, prompt, unit, {});
}

int ValueEditDialog::getGatingTime(int value, const QString& prompt)
{
    return getValue(value, Configuration::VT_GatingTime, 1, prompt, tr("ms"));
}

int ValueEditDialog::getFrequency(int value)
{
    ValueEditDialog* dialog = instance();
    dialog->setMinimum(Configuration::getMin(Configuration::VT_FreqMin));
    dialog->setMaximum(Configuration::getMax(Configuration::VT_FreqMin));
    dialog->setStep(10);
    return dialog->exec(value, tr("Enter frequency"), tr("MHz"), MarkerPresets::frequencyPresets());
}

void ValueEditDialog::updateValue(int dValue)
{
    m_value = dValue;
    updateForm();
}

void ValueEditDialog::updateForm()
{
    ui->lineEditValue->setText(QString::number(m_value) + m_unit);
    const bool inRange = m_minimum <= m_value && m_value <= m_maximum;
    if (inRange) {
        ui->labelStatusBar->setText(m_prompt);
        ui->labelStatusBar->setStyleSheet(QString());
    } else {
        ui->labelStatusBar->setText(
            tr("%1 <= %2 <= %3").arg(QString::number(m_minimum), tr("value"), QString::number(m_maximum)));
        ui->labelStatusBar->setStyleSheet(QStringLiteral("color:red;"));
    }
    ui->ButtonOk->setEnabled(inRange);
    ui->ButtonOk->setVisible(inRange);
    ui->lineEditValue->setFocus();
}

void ValueEditDialog::onDigitClicked()
{
    auto* button = qobject_cast<QPushButton*>(sender());
    if (button == nullptr)
        return;
    if (m_fresh) {
        m_value = 0;
        m_fresh = false;
    }
    const int digit = button->text().toInt();
    // Digits extend a negative number away from zero.
    const qint64 next = m_value >= 0 ? qint64(m_value) * 10 + digit : qint64(m_value) * 10 - digit;
    updateValue(fitsInt(next) ? int(next) : m_value);
}

void ValueEditDialog::onBackClicked()
{
    m_fresh = false;
    updateValue(m_value / 10);
}

void ValueEditDialog::onClearClicked()
{
    m_fresh = true;
    updateValue(m_initialValue);
}

void ValueEditDialog::onSignClicked()
{
    m_fresh = true;
    updateValue(clampToInt(-qint64(m_value)));
}

void ValueEditDialog::on_listWidgetPredefines_clicked(QModelIndex index)
{
    const int row = index.row();
    if (row >= 0 && row < m_predefines.size())
        updateValue(m_predefines.at(row).first);
    ui->listWidgetPredefines->setCurrentRow(-1);
}

void ValueEditDialog::keyPressEvent(QKeyEvent* event)
{
    // A step below 1 cannot come from a caller on purpose; it steps by one.
    const qint64 step = qMax(1, m_step);
    switch (event->key()) {
    case Qt::Key_Up: {
        // The next multiple of the step below (a whole step down when already on one).
        m_fresh = true;
        qint64 next = floorDiv(m_value, step) * step;
        if (next == m_value)
            next -= step;
        updateValue(clampToInt(qMax<qint64>(next, m_minimum)));
        break;
    }
    case Qt::Key_Down: {
        m_fresh = true;
        qint64 next = ceilDiv(m_value, step) * step;
        if (next == m_value)
            next += step;
        updateValue(clampToInt(qMin<qint64>(next, m_maximum)));
        break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ui->ButtonOk->isEnabled())
            accept();
        break;
    default:
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
}
