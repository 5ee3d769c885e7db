#pragma once

#include <QString>
#include <QWidget>

namespace Ui {
class InfoDialog;
}

// A full-screen page of the main window that shows an optional headline above a local HTML
// document (the sensor-connection instructions) and an OK button that leaves it.
class InfoDialog : public QWidget
{
    Q_OBJECT

public:
    static InfoDialog* instance();

    // Fills the page; the caller then makes it the current page of its stack. An empty headline
    // hides the headline line.
    void showDocument(const QString& headline, const QString& file);

signals:
    void exit();

public slots:
    void on_Button_clicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    InfoDialog();
    ~InfoDialog() override;

    Ui::InfoDialog* ui;
};
