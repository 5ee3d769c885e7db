#pragma once

#include <QMap>
#include <QObject>
#include <QPixmap>
#include <QString>

class KeyPressRepeater;
class QKeyEvent;

// The application-wide key filter, installed on the application object before the main window
// exists. It turns the instrument's raw key input into what the screens expect:
// - the page keys act as the Up and Down cursor keys;
// - Up and Down repeat while held, at the instrument's own pace (KeyPressRepeater);
// - a run of digits ended by Return or Enter is a scanned barcode, announced by onBarCodeScan()
//   instead of reaching any widget;
// - holding Up and Down together saves a screenshot when screenshots are enabled.
// Keys it posts itself carry no text, so a line edit never types anything for them.
// One instance, created on first use and never destroyed. GUI thread only.
class EventHandler : public QObject
{
    Q_OBJECT

public:
    static EventHandler* instance();

    // The screenshot file, replaced by every new screenshot.
    static QString screenshotFile();
    // Grabs the screen and writes it as the screenshot, replacing the previous one only with a
    // complete new picture. Nothing is written when there is no picture, the remount fails or
    // the screenshot folder does not exist (it is never created here). Returns whether it was.
    static bool takeScreenshot();

    bool eventFilter(QObject* object, QEvent* event) override;

signals:
    void onBarCodeScan(QString barcode);

private:
    EventHandler();

    // Handles a digit or Return/Enter of the barcode scanner; true when the event is consumed.
    bool handleBarcode(Qt::Key mapped);
    void handleScreenshotChord(Qt::Key mapped, bool press);

    static QPixmap grabScreenPicture();

    bool m_upHeld;
    bool m_downHeld;
    QString m_barcode;
    QMap<Qt::Key, KeyPressRepeater*> m_repeaters;
};
