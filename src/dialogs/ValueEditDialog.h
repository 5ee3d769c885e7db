#pragma once

#include <QDialog>
#include <QList>
#include <QModelIndex>
#include <QPair>
#include <QString>

#include "util/Configuration.h"

namespace Ui {
class ValueEditDialog;
}

// The on-screen numeric keypad for every integer setting: the value with its unit, a prompt
// line that turns into a red range message while the value is outside its limits, an optional
// list of predefined values, the keys 0-9, back, clear, sign, OK and exit. The hardware Up and
// Down keys step the value to the previous or next multiple of the step. One instance for the
// whole program; limits, step and unit stay until a caller changes them.
class ValueEditDialog : public QDialog {
    Q_OBJECT

public:
    static ValueEditDialog* instance();

    void setMinimum(int minimum);
    void setMaximum(int maximum);
    void setStep(int step);

    // Shows the keypad modally with value. 1 when accepted (OK or Return, possible only while
    // the value is inside the limits), 0 when left with exit or Escape.
    int exec(int value, const QString& prompt, const QString& unit, const QList<QPair<int, QString>>& predefines);
    // The edited value, read after an accepted exec().
    int value() const;

    // Limits from the setting's descriptor, then exec() without predefined values.
    static int getValue(int value, Configuration::ValueType type, int step, const QString& prompt, const QString& unit);
    static int getGatingTime(int value, const QString& prompt);
    // A screen's receive frequency in MHz, offered with the spectrum markers' frequencies.
    static int getFrequency(int value);

public slots:
    void onDigitClicked();
    void onBackClicked();
    void onClearClicked();
    void onSignClicked();
    void updateForm();
    void updateValue(int dValue);
    void on_listWidgetPredefines_clicked(QModelIndex index);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ValueEditDialog();
    ~ValueEditDialog() override;

    Ui::ValueEditDialog* ui;
    int m_value;
    QList<QPair<int, QString>> m_predefines;
    int m_minimum;
    int m_maximum;
    int m_initialValue;
    int m_step;
    QString m_unit;
    QString m_prompt;
    bool m_fresh;
};
