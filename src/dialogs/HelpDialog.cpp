#include "dialogs/HelpDialog.h"
#include "ui_HelpDialog.h"

#include <QDir>
#include <QKeyEvent>
#include <QRegularExpression>

HelpDialog::HelpDialog(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::HelpDialog)
    , m_current(0)
{
    ui->setupUi(this);
    connect(ui->webView, &QTextBrowser::sourceChanged, this, &HelpDialog::updateForm);
}

HelpDialog::~HelpDialog()
{
    delete ui;
}

void HelpDialog::showHelp()
{
    ui->retranslateUi(this);
    m_pages = QDir(QStringLiteral(":/resources/help/"))
                  .entryInfoList({QStringLiteral("page*.html")}, QDir::Files, QDir::Name);
    showPage(0);
}

void HelpDialog::showPage(int index)
{
    // An index outside the list changes nothing.
    if (index < 0 || index >= m_pages.count())
        return;
    m_current = index;
    const QUrl url = QUrl::fromLocalFile(m_pages.at(index).absoluteFilePath());
    ui->webView->setSource(url);
    // Showing the page already shown loads nothing new; the buttons must still follow.
    updateForm(ui->webView->source());
    ui->webView->setFocus();
}

void HelpDialog::updateForm(const QUrl& src)
{
    if (src.isLocalFile()) {
        // A link inside a page may lead to another numbered page: keep the index in step.
        static const QRegularExpression numbered(QStringLiteral("^page(\\d+)\\.html$"));
        const QRegularExpressionMatch match = numbered.match(QFileInfo(src.toLocalFile()).fileName());
        const int number = match.hasMatch() ? match.captured(1).toInt() : 0;
        if (number > 0)
            m_current = number - 1;
    }
    ui->HomeButton->setEnabled(m_current >= 1);
    ui->BackButton->setEnabled(m_current >= 1);
    ui->ForwardButton->setEnabled(m_current < m_pages.count() - 1);
}

void HelpDialog::on_ExitButton_clicked()
{
    emit exit();
}

void HelpDialog::on_BackButton_clicked()
{
    showPage(m_current - 1);
}

void HelpDialog::on_ForwardButton_clicked()
{
    showPage(m_current + 1);
}

void HelpDialog::on_HomeButton_clicked()
{
    showPage(0);
}

void HelpDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        emit exit();
        return;
    }
    // With the hardware keys alone: Up and Down scroll the page (the browser has the focus),
    // Return turns to the next page.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (ui->ForwardButton->isEnabled())
            on_ForwardButton_clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}
