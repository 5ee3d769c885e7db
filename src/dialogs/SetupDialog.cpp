#include "dialogs/SetupDialog.h"
#include "ui_SetupDialog.h"

#include "MainWindow.h"
#include "dialogs/ISetupDialog.h"
#include "dialogs/SetupAlgorithmDialog.h"
#include "dialogs/SetupInfoDialog.h"
#include "dialogs/SetupLevelDialog.h"
#include "dialogs/SetupServiceDialog.h"
#include "dialogs/SetupSpectrumDialog.h"
#include "dialogs/SetupSystemDialog.h"
#include "dialogs/SetupTimeDialog.h"
#include "dialogs/ValueSelectDialog.h"

#include <QKeyEvent>
#include <QScrollBar>

SetupDialog* SetupDialog::instance()
{
    static SetupDialog* instance = new SetupDialog();
    Q_ASSERT_X(instance != nullptr, "SetupDialog", "NULL != instance");
    return instance;
}

const QList<ISetupDialog*>& SetupDialog::pages()
{
    // The index in this list is the page's Dialog value.
    static const QList<ISetupDialog*> registry = {
        new SetupSpectrumDialog(nullptr), new SetupTimeDialog(nullptr),    new SetupLevelDialog(nullptr),
        new SetupSystemDialog(nullptr),   new SetupInfoDialog(nullptr),    new SetupServiceDialog(nullptr),
        new SetupAlgorithmDialog(nullptr),
    };
    return registry;
}

SetupDialog::SetupDialog()
    : QWidget(nullptr)
    , ui(new Ui::SetupDialog)
    , m_current(0)
    , m_locked(false)
{
    qRegisterMetaType<SetupDialog::Dialog>("SetupDialog::Dialog");
    ui->setupUi(this);
    for (ISetupDialog* page : pages()) {
        if (page == nullptr)
            continue;
        page->adjustSize();
        ui->StackWidget->addWidget(page);
    }
    connect(Configuration::instance(), &Configuration::configurationChanged, this,
            &SetupDialog::onConfigurationChanged);
}

SetupDialog::~SetupDialog()
{
    delete ui;
}

void SetupDialog::setDialog(int dialog, bool locked)
{
    const QList<ISetupDialog*>& registry = pages();
    // Only a valid page index is shown; anything else is a caller's fault and changes nothing.
    if (dialog < 0 || dialog >= registry.count()) {
        qWarning("SetupDialog::setDialog(): no page %d", dialog);
        return;
    }

    ui->retranslateUi(this);
    m_current = dialog;

    ISetupDialog* page = registry.at(dialog);
    if (page != nullptr) {
        // Only the shown page counts for the stack's size, so a short page is not stretched to
        // the height of the longest one.
        for (ISetupDialog* other : registry) {
            if (other != nullptr && other != page)
                other->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        }
        page->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        ui->StackWidget->setCurrentWidget(page);
        ui->CategoryButton->setText(page->title());
        page->activate();
    }
    m_locked = locked;

    QScrollBar* bar = ui->ScrollArea->verticalScrollBar();
    bar->setVisible(true);
    bar->setEnabled(true);
    bar->setValue(0);
    ui->ScrollArea->setFocusPolicy(Qt::NoFocus);

    updateButtons();
    emit dialogChanged(static_cast<Dialog>(m_current));
}

void SetupDialog::updateButtons()
{
    if (m_locked) {
        ui->CategoryPrevButton->setEnabled(false);
        ui->CategoryNextButton->setEnabled(false);
        return;
    }
    // Page 0 is always available, so any page but the first has a previous one.
    ui->CategoryPrevButton->setEnabled(m_current != 0);
    ui->CategoryNextButton->setEnabled(nextAvailable(m_current) >= 0);
}

int SetupDialog::nextAvailable(int index) const
{
    const QList<ISetupDialog*>& registry = pages();
    for (int j = index + 1; j < registry.count(); ++j) {
        if (registry.at(j) != nullptr && registry.at(j)->isAvailable())
            return j;
    }
    return -1;
}

int SetupDialog::previousAvailable(int index) const
{
    const QList<ISetupDialog*>& registry = pages();
    for (int j = qMin(index, registry.count()) - 1; j >= 0; --j) {
        if (registry.at(j) != nullptr && registry.at(j)->isAvailable())
            return j;
    }
    return -1;
}

void SetupDialog::onConfigurationChanged(Configuration::ValueType type, QVariant, QString)
{
    // Re-show the page so that the frame, the title and the page are retranslated.
    if (type == Configuration::VT_Language)
        setDialog(m_current, false);
}

void SetupDialog::on_ExitButton_clicked()
{
    emit exit();
}

void SetupDialog::on_CategoryButton_clicked()
{
    QList<ValueSelectDialog::Option*> options;
    const QList<ISetupDialog*>& registry = pages();
    for (int i = 0; i < registry.count(); ++i) {
        ISetupDialog* page = registry.at(i);
        if (page == nullptr || !page->isAvailable())
            continue;
        auto* option = new ValueSelectDialog::Option(page->title(), i, i == m_current, true);
        // The shown page is marked but cannot be chosen again.
        option->setSelectable(i != m_current);
        options.append(option);
    }
    ValueSelectDialog* selector = ValueSelectDialog::instance();
    if (selector->exec(m_current, tr("Select setup category"), options, true, false) == 1)
        setDialog(selector->value().toInt(), false);
}

void SetupDialog::on_CategoryPrevButton_clicked()
{
    const int previous = previousAvailable(m_current);
    if (previous >= 0)
        setDialog(previous, false);
}

void SetupDialog::on_CategoryNextButton_clicked()
{
    const int next = nextAvailable(m_current);
    if (next >= 0)
        setDialog(next, false);
}

void SetupDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape leaves setup like the exit button; no other key goes further.
    if (event->key() == Qt::Key_Escape)
        emit exit();
}

void SetupDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && isVisible()) {
        MainWindow::setStatusText(tr("Setup"));
        return;
    }
    QWidget::changeEvent(event);
}
