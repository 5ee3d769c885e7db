#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class ValueSliderDialog;
}

// Sets a value with a horizontal slider and shows it live, as a number with its unit or, for the
// unit "%", as a percentage of the slider's maximum. The hardware Up and Down keys move the
// slider by 1, by 10 while held; Return confirms, Escape leaves. One instance for the whole
// program; the range stays until a caller sets it again.
class ValueSliderDialog : public QDialog {
    Q_OBJECT

public:
    static ValueSliderDialog* instance();

    void setRange(int min, int max);
    int value() const;

    // exitAccepts true: the operator moves the slider freely and confirms with exit. False:
    // releasing the slider confirms at once and exit cancels.
    int exec(int value, const QString& prompt, const QString& unit, bool exitAccepts);

    bool eventFilter(QObject* object, QEvent* event) override;

signals:
    // Every slider change while the dialog is open (for live effects such as the brightness).
    void valueChanged(int value);

public slots:
    void onValueChanged(int value);

private:
    ValueSliderDialog();
    ~ValueSliderDialog() override;

    Ui::ValueSliderDialog* ui;
    QString m_unit;
};
