#include "util/EventHandler.h"

#include "util/Configuration.h"
#include "util/KeyPressRepeater.h"
#include "util/Platform.h"
#include "util/SystemHelper.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSaveFile>
#include <QScreen>
#include <QWidget>

namespace {

// The scanner's longest barcode is 128 digits. One more is kept, so that a longer scan reaches
// the main window too long and is refused there, rather than filed under a cut-off number.
const int kBarcodeBufferLength = 129;

// A key event this filter posted itself (a page key turned into a cursor key): it is delivered
// as it is and not looked at again.
class RemappedKeyEvent : public QKeyEvent
{
public:
    RemappedKeyEvent(QEvent::Type type, Qt::Key key)
        : QKeyEvent(type, key, Qt::NoModifier, QString(), false, 1)
    {
    }
};

Qt::Key mappedKey(Qt::Key key)
{
    switch (key) {
    case Qt::Key_PageUp: return Qt::Key_Up;
    case Qt::Key_PageDown: return Qt::Key_Down;
    default: return key;
    }
}

} // namespace

EventHandler* EventHandler::instance()
{
    static EventHandler* s_instance = new EventHandler();
    Q_ASSERT_X(s_instance != nullptr, "EventHandler", "NULL != instance");
    return s_instance;
}

EventHandler::EventHandler()
    : QObject(nullptr)
    , m_upHeld(false)
    , m_downHeld(false)
{
    m_repeaters.insert(Qt::Key_Up, new KeyPressRepeater(Qt::Key_Up));
    m_repeaters.insert(Qt::Key_Down, new KeyPressRepeater(Qt::Key_Down));
}

QString EventHandler::screenshotFile()
{
    return Platform::path(QStringLiteral("/data/corvane_screenshots/SCR_Kopie.png"));
}

bool EventHandler::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    if (dynamic_cast<RemappedKeyEvent*>(keyEvent))
        return false;

    const bool press = event->type() == QEvent::KeyPress;
    const Qt::Key key = Qt::Key(keyEvent->key());
    const Qt::Key mapped = mappedKey(key);

    if (press && !keyEvent->isAutoRepeat() && handleBarcode(mapped))
        return true;

    // The hardware keys: first events of a key, without text.
    if (keyEvent->isAutoRepeat() || !keyEvent->text().isEmpty())
        return false;

    handleScreenshotChord(mapped, press);

    if (KeyPressRepeater* repeater = m_repeaters.value(mapped)) {
        if (press ? repeater->start(object) : repeater->stop())
            return true;
    }

    if (mapped != key) {
        QCoreApplication::postEvent(object, new RemappedKeyEvent(event->type(), mapped));
        return true;
    }
    return false;
}

bool EventHandler::handleBarcode(Qt::Key mapped)
{
    if (mapped >= Qt::Key_0 && mapped <= Qt::Key_9) {
        if (m_barcode.size() < kBarcodeBufferLength)
            m_barcode += QChar('0' + (mapped - Qt::Key_0));
        return true;
    }
    if ((mapped == Qt::Key_Return || mapped == Qt::Key_Enter) && !m_barcode.isEmpty()) {
        const QString barcode = m_barcode;
        m_barcode.clear();
        emit onBarCodeScan(barcode);
        return true;
    }
    return false;
}

void EventHandler::handleScreenshotChord(Qt::Key mapped, bool press)
{
    if (mapped != Qt::Key_Up && mapped != Qt::Key_Down)
        return;
    if (Configuration::getValue(Configuration::VT_Screenshot, QStringLiteral("system")) != 1)
        return;
    if (mapped == Qt::Key_Up) {
        m_upHeld = press;
        qDebug() << "Screenshot Up";
    } else {
        m_downHeld = press;
        qDebug() << "Screenshot Down";
    }
    if (m_upHeld && m_downHeld) {
        takeScreenshot();
        m_upHeld = false;
        m_downHeld = false;
        qDebug() << "Screenshot Done";
    }
}

QPixmap EventHandler::grabScreenPicture()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QPixmap();
    QPixmap picture = screen->grabWindow(0);
    if (!picture.isNull())
        return picture;
    // Platforms that cannot read the whole screen back still give the window the operator sees.
    QWidget* window = QApplication::activeWindow();
    if (!window) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible()) {
                window = widget;
                break;
            }
        }
    }
    return window ? screen->grabWindow(window->winId()) : QPixmap();
}

bool EventHandler::takeScreenshot()
{
    // The picture comes first: a grab that fails must leave the previous screenshot alone.
    const QPixmap picture = grabScreenPicture();
    if (picture.isNull())
        return false;
    const QString fileName = screenshotFile();
    if (!QFileInfo(QFileInfo(fileName).path()).isDir())
        return false;
    if (!SystemHelper::mountData())
        return false;
    QSaveFile file(fileName);
    bool written = false;
    if (file.open(QIODevice::WriteOnly)) {
        if (picture.save(&file, "png"))
            written = file.commit();
        else
            file.cancelWriting();
    }
    SystemHelper::unmountData();
    return written;
}
