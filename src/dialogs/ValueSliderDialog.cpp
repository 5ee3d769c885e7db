#include "dialogs/ValueSliderDialog.h"
#include "ui_ValueSliderDialog.h"

#include "dialogs/DialogPlacement.h"

#include <QKeyEvent>
#include <QSignalBlocker>

ValueSliderDialog* ValueSliderDialog::instance()
{
    static ValueSliderDialog* instance = new ValueSliderDialog();
    Q_ASSERT_X(instance != nullptr, "ValueSliderDialog", "NULL != instance");
    return instance;
}

ValueSliderDialog::ValueSliderDialog()
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint)
    , ui(new Ui::ValueSliderDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    ui->Slider->installEventFilter(this);
    connect(ui->Slider, &QSlider::valueChanged, this, &ValueSliderDialog::onValueChanged);
}

ValueSliderDialog::~ValueSliderDialog()
{
    delete ui;
}

void ValueSliderDialog::setRange(int min, int max)
{
    ui->Slider->setRange(min, max);
}

int ValueSliderDialog::value() const
{
    return ui->Slider->value();
}

int ValueSliderDialog::exec(int value, const QString& prompt, const QString& unit, bool exitAccepts)
{
    ui->retranslateUi(this);
    ui->labelStatusBar->setText(prompt);
    {
        // The value is announced once below, with the new unit.
        const QSignalBlocker blocker(ui->Slider);
        ui->Slider->setValue(value);
    }
    m_unit = unit;

    disconnect(ui->Slider, &QSlider::sliderReleased, this, &ValueSliderDialog::accept);
    disconnect(ui->pushButtonExit, &QPushButton::clicked, this, &ValueSliderDialog::accept);
    disconnect(ui->pushButtonExit, &QPushButton::clicked, this, &ValueSliderDialog::reject);
    if (exitAccepts) {
        connect(ui->pushButtonExit, &QPushButton::clicked, this, &ValueSliderDialog::accept);
    } else {
        connect(ui->Slider, &QSlider::sliderReleased, this, &ValueSliderDialog::accept);
        connect(ui->pushButtonExit, &QPushButton::clicked, this, &ValueSliderDialog::reject);
    }

    onValueChanged(ui->Slider->value());
    DialogPlacement::sizeToContents(this);
    DialogPlacement::centreOnMainWindow(this);
    ui->Slider->setFocus();
    return QDialog::exec();
}

void ValueSliderDialog::onValueChanged(int value)
{
    if (m_unit == QLatin1String("%")) {
        // A range ending at 0 has no percentage scale; it shows 0 %.
        const int maximum = ui->Slider->maximum();
        const int percent = maximum != 0 ? int(100LL * value / maximum) : 0;
        ui->valueLabel->setText(QStringLiteral("%1 %2").arg(percent).arg(m_unit));
    } else {
        ui->valueLabel->setText(QStringLiteral("%1 %2").arg(value).arg(m_unit));
    }
    emit valueChanged(value);
}

bool ValueSliderDialog::eventFilter(QObject* object, QEvent* event)
{
    if (object != ui->Slider || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(object, event);
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const int step = keyEvent->isAutoRepeat() ? 10 : 1;
    switch (keyEvent->key()) {
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return true;
    case Qt::Key_Up:
        ui->Slider->setValue(ui->Slider->value() - step);
        return true;
    case Qt::Key_Down:
        ui->Slider->setValue(ui->Slider->value() + step);
        return true;
    default:
        return false;
    }
}
