#include "dialogs/AdressEditDialog.h"
#include "ui_AdressEditDialog.h"

#include "dialogs/DialogPlacement.h"

#include <QKeyEvent>

namespace {

// Address groups: "ddd." - hundreds, tens, units and the dot.
enum GroupPlace { PLACE_HUNDREDS = 0, PLACE_TENS = 1, PLACE_UNITS = 2 };

// Indexes of "2", "4", "5" and the count "6" in the digit list "0".."9".
const int kTwo = 2;
const int kFour = 4;
const int kFive = 5;
const int kBelowSix = 6;

} // namespace

AdressEditDialog* AdressEditDialog::instance()
{
    static AdressEditDialog* instance = new AdressEditDialog();
    Q_ASSERT_X(instance != nullptr, "AdressEditDialog", "NULL != instance");
    return instance;
}

AdressEditDialog::AdressEditDialog()
    : QDialog(nullptr)
    , ui(new Ui::AdressEditDialog)
    , m_addressRules(false)
{
    ui->setupUi(this);
    ui->lineEditText->installEventFilter(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    connect(ui->ButtonOk, &QPushButton::clicked, this, &AdressEditDialog::accept);
    connect(ui->ButtonExit, &QPushButton::clicked, this, &AdressEditDialog::reject);
    connect(ui->lineEditText, &QLineEdit::selectionChanged, this, &AdressEditDialog::onSelectionChanged);
    connect(ui->lineEditText, &QLineEdit::cursorPositionChanged, this, &AdressEditDialog::onCursorPositionChanged);
}

AdressEditDialog::~AdressEditDialog()
{
    delete ui;
}

int AdressEditDialog::exec(
    const QString& text, const QString& prompt, const QVector<QChar>& allowed, const QString& mask, bool addressRules)
{
    ui->retranslateUi(this);
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    m_allowed = allowed;
    m_addressRules = addressRules;
    ui->labelStatusBar->setText(prompt);
    ui->lineEditText->setInputMask(mask);
    ui->lineEditText->setText(text);
    ui->lineEditText->setCursorPosition(0);
    updateForm();
    DialogPlacement::sizeToContents(this);
    DialogPlacement::centreOnMainWindow(this);
    return QDialog::exec();
}

QString AdressEditDialog::text() const
{
    return ui->lineEditText->text();
}

int AdressEditDialog::indexAt(int position) const
{
    // The shown text keeps the mask's blanks in place, so positions match the cursor.
    const QString shown = ui->lineEditText->displayText();
    if (position < 0 || position >= shown.size())
        return -1;
    return m_allowed.indexOf(shown.at(position));
}

void AdressEditDialog::updateForm()
{
    const int p = ui->lineEditText->cursorPosition();
    const int k = indexAt(p);
    ui->ButtonLeft->setEnabled(p >= 1);
    ui->ButtonRight->setEnabled(p < ui->lineEditText->maxLength() - 1);
    ui->ButtonDown->setEnabled(k >= 1);
    ui->ButtonUp->setEnabled(k < m_allowed.size() - 1);
    const QString shown = ui->lineEditText->displayText();
    ui->LabelChar->setText(p < shown.size() ? QString(shown.at(p)) : QString());
    ui->lineEditText->setFocus();
}

bool AdressEditDialog::stepUpAllowed(int p, int n) const
{
    const int count = m_allowed.size();
    if (n < 0 || n >= count)
        return false;
    if (!m_addressRules)
        return true;
    switch (p % 4) {
    case PLACE_HUNDREDS:
        return n < kTwo + 1; // hundreds at most "2"
    case PLACE_TENS: {
        const int hundreds = indexAt(p - 1);
        if (hundreds < kTwo)
            return true;
        if (hundreds == kTwo)
            return n < kBelowSix; // 2x: tens at most "5"
        return false;
    }
    case PLACE_UNITS: {
        const int hundreds = indexAt(p - 2);
        const int tens = indexAt(p - 1);
        if (hundreds < kTwo)
            return true;
        if (hundreds == kTwo && tens <= kFour)
            return true;
        if (hundreds == kTwo && tens == kFive)
            return n < kBelowSix; // 25x: units at most "5"
        return false;
    }
    default:
        return false; // the dot
    }
}

void AdressEditDialog::replaceAt(int position, int index)
{
    if (position < 0 || position >= ui->lineEditText->displayText().size())
        return;
    // Typed over the one position: setting the whole text again would let the input mask drop
    // the blanks in front of it (a blank is no digit), and the digit would move to the left.
    ui->lineEditText->setSelection(position, 1);
    ui->lineEditText->insert(QString(m_allowed.at(index)));
    ui->lineEditText->setCursorPosition(position);
    updateForm();
}

void AdressEditDialog::on_ButtonUp_clicked()
{
    const int p = ui->lineEditText->cursorPosition();
    const int n = indexAt(p) + 1;
    if (stepUpAllowed(p, n))
        replaceAt(p, n);
}

void AdressEditDialog::on_ButtonDown_clicked()
{
    const int p = ui->lineEditText->cursorPosition();
    const int n = indexAt(p) - 1;
    if (n >= 0 && n < m_allowed.size())
        replaceAt(p, n);
}

void AdressEditDialog::on_ButtonLeft_clicked()
{
    ui->lineEditText->cursorBackward(false);
    updateForm();
}

void AdressEditDialog::on_ButtonRight_clicked()
{
    ui->lineEditText->cursorForward(false);
    updateForm();
}

void AdressEditDialog::onSelectionChanged()
{
    updateForm();
}

void AdressEditDialog::onCursorPositionChanged(int oldPos, int newPos)
{
    Q_UNUSED(oldPos)
    const int maxLength = ui->lineEditText->maxLength();
    if (newPos >= maxLength)
        ui->lineEditText->setCursorPosition(maxLength - 1);
    updateForm();
}

bool AdressEditDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->lineEditText && event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AdressEditDialog::keyPressEvent(QKeyEvent* event)
{
    const int p = ui->lineEditText->cursorPosition();
    const int last = ui->lineEditText->maxLength() - 1;
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Left:
        if (p == 0)
            reject();
        else
            on_ButtonLeft_clicked();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Right:
        if (p >= last)
            accept();
        else
            on_ButtonRight_clicked();
        break;
    case Qt::Key_Up:
        on_ButtonDown_clicked();
        break;
    case Qt::Key_Down:
        on_ButtonUp_clicked();
        break;
    default:
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
}
