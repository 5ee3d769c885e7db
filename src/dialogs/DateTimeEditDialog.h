#pragma once

#include <QDate>
#include <QDialog>
#include <QString>
#include <QTime>

namespace Ui {
class DateTimeEditDialog;
}

class QDateTimeEdit;

// The editor for a date or a time, stepped section by section: Up and Down (or the on-screen
// arrows) change the selected section, Return moves to the next section and confirms after the
// last, Escape moves back and cancels before the first. Tapping a section selects it; OK and
// exit confirm and cancel at once. One instance for the whole program.
class DateTimeEditDialog : public QDialog {
    Q_OBJECT

public:
    static DateTimeEditDialog* instance();

    // format: the display pattern ("dd.MM.yyyy", "yyyy.MM.dd", "hh:mm:ss"). 1 when accepted,
    // 0 when left.
    int execDate(const QDate& date, const QString& prompt, const QString& format);
    int execTime(const QTime& time, const QString& prompt, const QString& format);

    // The dates the editor offers; a date outside is shown as the nearest bound.
    static QDate minimumDate();
    static QDate maximumDate();

    QDate date() const;
    QTime time() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    DateTimeEditDialog();
    ~DateTimeEditDialog() override;

    int execActive(const QString& prompt, const QString& format);
    void selectSection(int index);

    Ui::DateTimeEditDialog* ui;
    int m_section;
    QDateTimeEdit* m_editor;
};
