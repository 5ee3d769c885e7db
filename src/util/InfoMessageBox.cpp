#include "util/InfoMessageBox.h"

#include <QCoreApplication>
#include <QTimer>

QPointer<QMessageBox> InfoMessageBox::s_progress;

void InfoMessageBox::prepare(QMessageBox* box, const QString& text, const QString& title, QMessageBox::Icon icon)
{
    box->setIcon(icon);
    box->setWindowTitle(title);
    box->setText(text);
    // A message box without buttons adds an OK button when shown unless told explicitly.
    box->setStandardButtons(QMessageBox::NoButton);
    box->setWindowFlags(box->windowFlags() | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
}

void InfoMessageBox::information(const QString& text, int timeoutMs, const QString& title, QMessageBox::Icon icon)
{
    QMessageBox box;
    prepare(&box, text, title, icon);
    QTimer::singleShot(qMax(0, timeoutMs), &box, &QMessageBox::accept);
    box.exec();
}

void InfoMessageBox::showProgress(const QString& text, const QString& title, QMessageBox::Icon icon)
{
    closeProgress();
    QMessageBox* box = new QMessageBox();
    box->setAttribute(Qt::WA_DeleteOnClose);
    prepare(box, text, title, icon);
    s_progress = box;
    box->show();
    // Paint the notice before the caller starts its long action.
    QCoreApplication::processEvents();
}

void InfoMessageBox::closeProgress()
{
    if (!s_progress)
        return;
    QMessageBox* box = s_progress;
    s_progress = nullptr;
    box->accept();
    QCoreApplication::processEvents();
}

QMessageBox* InfoMessageBox::progress()
{
    return s_progress;
}
