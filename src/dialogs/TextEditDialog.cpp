#include "dialogs/TextEditDialog.h"
#include "ui_TextEditDialog.h"

#include "dialogs/DialogPlacement.h"
#include "dialogs/TextEditEventFilter.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {

const QString kLowerCase = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
const QString kUpperCase = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
const QString kDigits = QStringLiteral("0123456789");
const QString kSymbols = QStringLiteral("_-");

// The 26 character buttons, Button0 ... Button25.
QList<QPushButton*> characterButtons(const QWidget* dialog)
{
    static const QRegularExpression name(QStringLiteral("^Button\\d+$"));
    return dialog->findChildren<QPushButton*>(name);
}

} // namespace

TextEditDialog* TextEditDialog::instance()
{
    static TextEditDialog* instance = new TextEditDialog();
    Q_ASSERT_X(instance != nullptr, "TextEditDialog", "NULL != instance");
    return instance;
}

TextEditDialog::TextEditDialog()
    : QDialog(nullptr)
    , ui(new Ui::TextEditDialog)
    , m_characters(&kLowerCase)
{
    ui->setupUi(this);
    ui->lineEditText->installEventFilter(new TextEditEventFilter(this));
    // The names end up in folder and file names: a keyboard plugged into the device may type
    // only what the on-screen keys offer.
    ui->lineEditText->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9_-]*")), this));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    connect(ui->ButtonBack, &QPushButton::clicked, this, &TextEditDialog::onBackClicked);
    connect(ui->ButtonOk, &QPushButton::clicked, this, &TextEditDialog::accept);
    connect(ui->ButtonExit, &QPushButton::clicked, this, &TextEditDialog::reject);
    for (QPushButton* button : characterButtons(this))
        connect(button, &QPushButton::clicked, this, &TextEditDialog::onCharClicked);
}

TextEditDialog::~TextEditDialog()
{
    delete ui;
}

int TextEditDialog::exec(const QString& text, const QString& prompt, int maxLength)
{
    ui->retranslateUi(this);
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    m_prompt = prompt;
    ui->lineEditText->setMaxLength(maxLength);
    ui->lineEditText->setText(text);
    selectCharacterSet(&kLowerCase);
    DialogPlacement::sizeToContents(this);
    DialogPlacement::centreOnMainWindow(this);
    ui->lineEditText->deselect();
    ui->lineEditText->setCursorPosition(0);
    // Showing the dialog hands the line the focus as if by Tab, which selects the whole text;
    // once the dialog is up the cursor goes back to the start with nothing selected.
    QMetaObject::invokeMethod(
        this,
        [this]() {
            ui->lineEditText->deselect();
            ui->lineEditText->setCursorPosition(0);
        },
        Qt::QueuedConnection);
    return QDialog::exec();
}

QString TextEditDialog::text() const
{
    return ui->lineEditText->text();
}

void TextEditDialog::selectCharacterSet(const QString* characters)
{
    m_characters = characters;
    const QList<QPushButton*> buttons = characterButtons(this);
    for (QPushButton* button : buttons) {
        button->setText(QString());
        button->setEnabled(false);
    }
    for (int i = 0; i < characters->size(); ++i) {
        if (auto* button = findChild<QPushButton*>(QStringLiteral("Button%1").arg(i))) {
            button->setText(characters->at(i));
            button->setEnabled(true);
        }
    }
    updateForm();
}

void TextEditDialog::onCharClicked()
{
    if (auto* button = qobject_cast<QPushButton*>(sender()))
        ui->lineEditText->insert(button->text()); // replaces a selection, keeps the length limit
    updateForm();
}

void TextEditDialog::onBackClicked()
{
    ui->lineEditText->backspace();
    updateForm();
}

void TextEditDialog::updateForm()
{
    const bool empty = ui->lineEditText->text().isEmpty();
    if (empty) {
        ui->labelStatusBar->setText(tr("Empty text is not allowed"));
        ui->labelStatusBar->setStyleSheet(QStringLiteral("color:red;"));
    } else {
        ui->labelStatusBar->setText(m_prompt);
        ui->labelStatusBar->setStyleSheet(QString());
    }
    ui->ButtonOk->setEnabled(!empty);
    ui->ButtonOk->setVisible(!empty);
    ui->ButtonChars->setText(m_characters == &kLowerCase ? QStringLiteral("ABC") : QStringLiteral("abc"));
    ui->lineEditText->setFocus();
}

void TextEditDialog::on_ButtonChars_clicked()
{
    selectCharacterSet(m_characters == &kLowerCase ? &kUpperCase : &kLowerCase);
}

void TextEditDialog::on_ButtonNumbers_clicked()
{
    selectCharacterSet(&kDigits);
}

void TextEditDialog::on_ButtonSymbols_clicked()
{
    selectCharacterSet(&kSymbols);
}

void TextEditDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (ui->ButtonOk->isEnabled())
            accept();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
