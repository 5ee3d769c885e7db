#pragma once

#include <QFileInfoList>
#include <QUrl>
#include <QWidget>

namespace Ui {
class HelpDialog;
}

// A full-screen page of the main window that browses the numbered help pages
// (":/resources/help/page01.html" ...) with home, back, forward and exit buttons.
class HelpDialog : public QWidget
{
    Q_OBJECT

public:
    explicit HelpDialog(QWidget* parent = nullptr);
    ~HelpDialog() override;

    // Lists the help pages and shows the first one.
    void showHelp();

    int currentPage() const { return m_current; }
    int pageCount() const { return m_pages.count(); }

signals:
    void exit();

public slots:
    void updateForm(const QUrl& src);
    void on_ExitButton_clicked();
    void on_BackButton_clicked();
    void on_ForwardButton_clicked();
    void on_HomeButton_clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showPage(int index);

    Ui::HelpDialog* ui;
    QFileInfoList m_pages;
    int m_current;
};
