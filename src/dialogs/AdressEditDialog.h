#pragma once

#include <QChar>
#include <QDialog>
#include <QString>
#include <QVector>

namespace Ui {
class AdressEditDialog;
}

// The editor for fixed-layout texts such as IPv4 addresses: left and right move the cursor over
// the positions of an input mask, up and down step the character under the cursor through a list
// of allowed characters. With address rules the text is read as groups of three digits and
// stepping up keeps each group from passing 255 where it can (the caller still validates).
// The hardware keys: Left/Escape and Right/Return move the cursor and leave at either end, Up and
// Down step (in the opposite sense of the on-screen arrows). One instance for the whole program.
class AdressEditDialog : public QDialog {
    Q_OBJECT

public:
    static AdressEditDialog* instance();

    // allowed: the characters in stepping order (for an address "0" to "9"); mask: the line's
    // input mask ("999.999.999.999"). 1 when accepted, 0 when left.
    int exec(const QString& text, const QString& prompt, const QVector<QChar>& allowed, const QString& mask,
        bool addressRules);
    // The edited text with the mask's literal characters.
    QString text() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void updateForm();
    void on_ButtonUp_clicked();
    void on_ButtonDown_clicked();
    void on_ButtonLeft_clicked();
    void on_ButtonRight_clicked();
    void onSelectionChanged();
    void onCursorPositionChanged(int oldPos, int newPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    AdressEditDialog();
    ~AdressEditDialog() override;

    int indexAt(int position) const;
    bool stepUpAllowed(int position, int next) const;
    void replaceAt(int position, int index);

    Ui::AdressEditDialog* ui;
    QVector<QChar> m_allowed;
    bool m_addressRules;
};
