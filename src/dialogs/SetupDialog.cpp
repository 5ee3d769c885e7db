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

#include <QAbstractButton>
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
    ui->ScrollArea->installEventFilter(this);
    const QList<QAbstractButton*> buttons = findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons)
        button->installEventFilter(this);
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
    else
        navigate(event);
}

bool SetupDialog::eventFilter(QObject* object, QEvent* event)
{
    // The frame's buttons and the scroll area see their keys here first: a push button would
    // otherwise move the focus round the whole window by itself, and the scroll area would
    // scroll on top of that.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (object == ui->ScrollArea && key->key() == Qt::Key_Escape) {
            emit exit();
            return true;
        }
        if (navigate(key))
            return true;
    }
    return QWidget::eventFilter(object, event);
}

bool SetupDialog::navigate(QKeyEvent* event)
{
    const int key = event->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;

    // The buttons in reach: the shown page's, in form order, then the bottom row.
    auto inReach = [this](const QList<QAbstractButton*>& buttons) {
        QList<QAbstractButton*> result;
        for (QAbstractButton* button : buttons) {
            if (button->isVisibleTo(this) && button->isEnabled() && button->focusPolicy() != Qt::NoFocus)
                result << button;
        }
        return result;
    };
    QList<QAbstractButton*> reachable;
    if (QWidget* page = ui->StackWidget->currentWidget())
        reachable = inReach(page->findChildren<QAbstractButton*>());
    const bool pageHasButtons = !reachable.isEmpty();
    reachable << inReach({ui->CategoryPrevButton, ui->CategoryButton, ui->CategoryNextButton, ui->ExitButton});
    auto* focused = qobject_cast<QAbstractButton*>(focusWidget());
    const int index = reachable.indexOf(focused);

    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (index < 0)
            return false;
        focused->click();
        return true;
    }
    if (!pageHasButtons) {
        // A page without buttons (the device information) is only read: the keys scroll it.
        ui->ScrollArea->verticalScrollBar()->triggerAction(key == Qt::Key_Down ? QAbstractSlider::SliderSingleStepAdd
                                                                               : QAbstractSlider::SliderSingleStepSub);
        return true;
    }
    int target = 0;
    if (index >= 0)
        target = qBound(0, index + (key == Qt::Key_Down ? 1 : -1), reachable.count() - 1);
    QAbstractButton* next = reachable.at(target);
    next->setFocus(Qt::OtherFocusReason);
    if (ui->ScrollArea->isAncestorOf(next))
        ui->ScrollArea->ensureWidgetVisible(next);
    return true;
}

void SetupDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && isVisible()) {
        MainWindow::setStatusText(tr("Setup"));
        return;
    }
    QWidget::changeEvent(event);
}
