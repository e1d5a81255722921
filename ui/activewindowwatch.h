#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QWidget>

namespace Brellow {

// Follows which window the desktop calls active (_NET_ACTIVE_WINDOW on X11),
// so that Brellow can give the keyboard back to the program the agent came
// from. Does nothing on other platforms.
class ActiveWindowWatch : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit ActiveWindowWatch(QObject *parent = nullptr);
    ~ActiveWindowWatch() override;

    // The last window of another program that was active; 0 when none is known.
    WId previousWindow() const { return m_previous; }

    // Activates the window that was active before Brellow's, if it is still on
    // screen. False when there is none to go back to.
    bool handBack();

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void readActiveWindow();

    WId m_previous = 0;
};

} // namespace Brellow
