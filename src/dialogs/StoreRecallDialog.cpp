#include "dialogs/StoreRecallDialog.h"
#include "ui_StoreRecallDialog.h"

#include "dialogs/DialogPlacement.h"

#include <QPushButton>
#include <QSignalMapper>

StoreRecallDialog* StoreRecallDialog::instance()
{
    static StoreRecallDialog* instance = new StoreRecallDialog();
    Q_ASSERT_X(instance != nullptr, "StoreRecallDialog", "NULL != instance");
    return instance;
}

StoreRecallDialog::StoreRecallDialog()
    : QDialog(nullptr, Qt::FramelessWindowHint)
    , ui(new Ui::StoreRecallDialog)
    , m_selectMapper(new QSignalMapper(this))
    , m_editMapper(new QSignalMapper(this))
    , m_saveMapper(new QSignalMapper(this))
    , m_button(BUTTON_SELECT)
    , m_index(-1)
{
    ui->setupUi(this);
    for (int i = 0; i < 4; ++i) {
        QPushButton* select = button(BUTTON_SELECT, i);
        QPushButton* edit = button(BUTTON_EDIT, i);
        QPushButton* save = button(BUTTON_SAVE, i);
        connect(select, &QPushButton::clicked, m_selectMapper, qOverload<>(&QSignalMapper::map));
        connect(edit, &QPushButton::clicked, m_editMapper, qOverload<>(&QSignalMapper::map));
        connect(save, &QPushButton::clicked, m_saveMapper, qOverload<>(&QSignalMapper::map));
        m_selectMapper->setMapping(select, i);
        m_editMapper->setMapping(edit, i);
        m_saveMapper->setMapping(save, i);
    }
    connect(m_selectMapper, &QSignalMapper::mappedInt, this, &StoreRecallDialog::onSelect);
    connect(m_editMapper, &QSignalMapper::mappedInt, this, &StoreRecallDialog::onEdit);
    connect(m_saveMapper, &QSignalMapper::mappedInt, this, &StoreRecallDialog::onSave);
    connect(ui->ButtonClearAll, &QPushButton::clicked, this, &StoreRecallDialog::onClearAll);
}

StoreRecallDialog::~StoreRecallDialog()
{
    delete ui;
}

int StoreRecallDialog::exec(const QString& title)
{
    // The select buttons show the slots' names, which the caller has just set: the form's
    // placeholders must not come back with the translation.
    QStringList names;
    for (int i = 0; i < 4; ++i)
        names << button(BUTTON_SELECT, i)->text();
    ui->retranslateUi(this);
    for (int i = 0; i < 4; ++i)
        button(BUTTON_SELECT, i)->setText(names.at(i));
    ui->labelStatusBar->setText(title);
    DialogPlacement::sizeToContents(this);
    DialogPlacement::centreOnMainWindow(this);
    return QDialog::exec();
}

void StoreRecallDialog::pressed(int& index, Button& button) const
{
    index = m_index;
    button = m_button;
}

QPushButton* StoreRecallDialog::button(Button button, int index) const
{
    switch (button) {
    case BUTTON_SELECT:
        return findChild<QPushButton*>(QStringLiteral("Button%1").arg(index));
    case BUTTON_EDIT:
        return findChild<QPushButton*>(QStringLiteral("ButtonEdit%1").arg(index));
    case BUTTON_SAVE:
        return findChild<QPushButton*>(QStringLiteral("ButtonSave%1").arg(index));
    case BUTTON_CLEAR_ALL:
        return ui->ButtonClearAll;
    }
    return nullptr;
}

void StoreRecallDialog::onSelect(int index)
{
    // The screen shows or hides the slot at once; the dialog stays open.
    remember(BUTTON_SELECT, index);
}

void StoreRecallDialog::onEdit(int index)
{
    remember(BUTTON_EDIT, index);
    accept();
}

void StoreRecallDialog::onSave(int index)
{
    remember(BUTTON_SAVE, index);
    accept();
}

void StoreRecallDialog::onClearAll()
{
    remember(BUTTON_CLEAR_ALL, -1);
    accept();
}

void StoreRecallDialog::on_ButtonExit_clicked()
{
    reject();
}

void StoreRecallDialog::remember(Button button, int index)
{
    m_button = button;
    m_index = index;
    emit buttonPressed(button, index);
}
