#include "dialogs/InfoDialog.h"
#include "ui_InfoDialog.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QUrl>

InfoDialog* InfoDialog::instance()
{
    static InfoDialog* instance = new InfoDialog();
    Q_ASSERT_X(instance != nullptr, "InfoDialog", "NULL != instance");
    return instance;
}

InfoDialog::InfoDialog()
    : QWidget(nullptr)
    , ui(new Ui::InfoDialog)
{
    ui->setupUi(this);
}

InfoDialog::~InfoDialog()
{
    delete ui;
}

void InfoDialog::showDocument(const QString& headline, const QString& file)
{
    ui->retranslateUi(this);
    ui->labelHeadline->setText(headline);
    const bool hasHeadline = !headline.isEmpty();
    ui->labelHeadline->setVisible(hasHeadline);
    ui->labelHeadline->setEnabled(hasHeadline);
    ui->webView->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
    ui->webView->setFocus();
}

void InfoDialog::on_Button_clicked()
{
    emit exit();
}

void InfoDialog::keyPressEvent(QKeyEvent* event)
{
    // Escape leaves the page like its button; no other key goes further.
    if (event->key() == Qt::Key_Escape)
        emit exit();
}
