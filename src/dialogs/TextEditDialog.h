#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class TextEditDialog;
}

// The on-screen keyboard for short names (folder and curve names): 26 character buttons showing
// one of four character sets (lower case, upper case, digits, symbols), backspace, OK and exit.
// The hardware Up and Down keys move the cursor, Return confirms, Escape leaves. An empty text
// cannot be confirmed. One instance for the whole program.
class TextEditDialog : public QDialog {
    Q_OBJECT

public:
    static TextEditDialog* instance();

    // Shows the keyboard modally with text (at most maxLength characters). 1 when accepted,
    // 0 when left.
    int exec(const QString& text, const QString& prompt, int maxLength);
    // The edited text, read after an accepted exec().
    QString text() const;

public slots:
    void onCharClicked();
    void onBackClicked();
    void updateForm();
    void on_ButtonChars_clicked();
    void on_ButtonNumbers_clicked();
    void on_ButtonSymbols_clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TextEditDialog();
    ~TextEditDialog() override;

    void selectCharacterSet(const QString* characters);

    Ui::TextEditDialog* ui;
    QString m_prompt;
    const QString* m_characters;
};
