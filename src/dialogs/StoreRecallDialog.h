#pragma once

#include <QDialog>

namespace Ui {
class StoreRecallDialog;
}

class QPushButton;
class QSignalMapper;

// The four stored-curve slots of the spectrum screen, one row each: show/hide, rename, store the
// current trace, and clear all. The dialog only reports which button was pressed; the spectrum
// screen acts on it. One instance for the process.
class StoreRecallDialog : public QDialog
{
    Q_OBJECT

public:
    enum Button { BUTTON_SELECT = 0, BUTTON_EDIT = 1, BUTTON_SAVE = 2, BUTTON_CLEAR_ALL = 3 };
    Q_ENUM(Button)

    static StoreRecallDialog* instance();

    // Shows the dialog modally with the title text; returns the dialog result.
    int exec(const QString& title);
    // The last pressed button and its row (-1 for clear all).
    void pressed(int& index, Button& button) const;
    // The select, edit or save button of a row, or the clear-all button; null when none matches.
    QPushButton* button(Button button, int index = -1) const;

signals:
    void buttonPressed(StoreRecallDialog::Button button, int index);

public slots:
    void onSelect(int index);
    void onEdit(int index);
    void onSave(int index);
    void onClearAll();

private slots:
    void on_ButtonExit_clicked();

private:
    StoreRecallDialog();
    ~StoreRecallDialog() override;

    void remember(Button button, int index);

    Ui::StoreRecallDialog* ui;
    QSignalMapper* m_selectMapper;
    QSignalMapper* m_editMapper;
    QSignalMapper* m_saveMapper;
    Button m_button;
    int m_index;
};
