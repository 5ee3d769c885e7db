#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>

// Notices the operator does not have to confirm: a timed one that closes itself, and a progress
// notice that stays up while a long action runs and is closed by the code. Neither has a button.
// GUI thread only.
class InfoMessageBox {
public:
    // Shows a modal notice for timeoutMs; returns when it has closed (the event loop runs).
    static void information(const QString& text, int timeoutMs, const QString& title = QString(),
        QMessageBox::Icon icon = QMessageBox::Information);
    // Shows the progress notice (replacing one already shown) and returns at once.
    static void showProgress(
        const QString& text, const QString& title = QString(), QMessageBox::Icon icon = QMessageBox::Information);
    // Closes the progress notice, if one is shown.
    static void closeProgress();

    // The progress notice currently shown, or null.
    static QMessageBox* progress();

private:
    static void prepare(QMessageBox* box, const QString& text, const QString& title, QMessageBox::Icon icon);

    // Guarded: the notice deletes itself when closed, whoever closes it.
    static QPointer<QMessageBox> s_progress;
};
