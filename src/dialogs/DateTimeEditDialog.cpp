#include "dialogs/DateTimeEditDialog.h"
#include "ui_DateTimeEditDialog.h"

#include "dialogs/DialogPlacement.h"

#include <QDebug>
#include <QKeyEvent>

DateTimeEditDialog* DateTimeEditDialog::instance()
{
    static DateTimeEditDialog* instance = new DateTimeEditDialog();
    Q_ASSERT_X(instance != nullptr, "DateTimeEditDialog", "NULL != instance");
    return instance;
}

DateTimeEditDialog::DateTimeEditDialog()
    : QDialog(nullptr)
    , ui(new Ui::DateTimeEditDialog)
    , m_section(0)
    , m_editor(nullptr)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    m_editor = ui->dateEdit;
    // The dates the board can be set to: its clock keeps seconds since 1970 in 32 bits (to
    // 2038-01-19) and the record folders name four-digit years, so 2000-01-01 .. 2037-12-31.
    ui->dateEdit->setDateRange(minimumDate(), maximumDate());
    ui->dateEdit->installEventFilter(this);
    ui->timeEdit->installEventFilter(this);
    connect(ui->ButtonOk, &QPushButton::clicked, this, &DateTimeEditDialog::accept);
    connect(ui->ButtonExit, &QPushButton::clicked, this, &DateTimeEditDialog::reject);
}

DateTimeEditDialog::~DateTimeEditDialog()
{
    delete ui;
}

int DateTimeEditDialog::execDate(const QDate& date, const QString& prompt, const QString& format)
{
    ui->retranslateUi(this);
    m_section = 0;
    ui->timeEdit->hide();
    m_editor = ui->dateEdit;
    ui->dateEdit->setDate(date);
    return execActive(prompt, format);
}

int DateTimeEditDialog::execTime(const QTime& time, const QString& prompt, const QString& format)
{
    ui->retranslateUi(this);
    m_section = 0;
    ui->dateEdit->hide();
    m_editor = ui->timeEdit;
    ui->timeEdit->setTime(time);
    return execActive(prompt, format);
}

int DateTimeEditDialog::execActive(const QString& prompt, const QString& format)
{
    m_section = 0;
    ui->labelStatusBar->setText(prompt);
    m_editor->setDisplayFormat(format);
    selectSection(0);
    m_editor->setFocus();
    m_editor->show();
    DialogPlacement::sizeToContents(this);
    DialogPlacement::centreOnMainWindow(this);
    return QDialog::exec();
}

void DateTimeEditDialog::selectSection(int index)
{
    m_editor->setCurrentSectionIndex(index);
    m_editor->setSelectedSection(m_editor->sectionAt(index));
}

bool DateTimeEditDialog::eventFilter(QObject* watched, QEvent* event)
{
    // A held Up or Down key arrives as repeated presses whose release the key filter swallows;
    // the editor's own repeat would then run on without end. Each repeat steps once instead.
    if ((watched == ui->dateEdit || watched == ui->timeEdit) && event->type() == QEvent::KeyPress) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (keyEvent->isAutoRepeat() && (keyEvent->key() == Qt::Key_Up || keyEvent->key() == Qt::Key_Down)) {
            static_cast<QDateTimeEdit*>(watched)->stepBy(keyEvent->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QDate DateTimeEditDialog::minimumDate()
{
    return QDate(2000, 1, 1);
}

QDate DateTimeEditDialog::maximumDate()
{
    return QDate(2037, 12, 31);
}

QDate DateTimeEditDialog::date() const
{
    return ui->dateEdit->date();
}

QTime DateTimeEditDialog::time() const
{
    return m_editor->time();
}

void DateTimeEditDialog::keyPressEvent(QKeyEvent* event)
{
    qDebug() << "--" << event->key();
    // A tap on a section makes it the editor's current one; the keys go on from there.
    if (m_editor->currentSectionIndex() >= 0)
        m_section = m_editor->currentSectionIndex();
    switch (event->key()) {
    case Qt::Key_Escape:
        if (--m_section < 0)
            reject();
        else
            selectSection(m_section);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (++m_section >= m_editor->sectionCount())
            accept();
        else
            selectSection(m_section);
        break;
    default:
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
}
