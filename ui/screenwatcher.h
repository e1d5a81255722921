#pragma once

#include <ui/screenlayout.h>

#include <QObject>
#include <QTimer>

class QScreen;

namespace Brellow {

// Watches the desktop's screens while Brellow runs: screens plugged in or out,
// resolution changes, task bars that come or go. One burst of changes (a new
// resolution moves the geometry and the free area at once) is reported once.
class ScreenWatcher : public QObject
{
    Q_OBJECT

public:
    explicit ScreenWatcher(QObject *parent = nullptr);

    const ScreenLayout &layout() const { return m_layout; }

signals:
    void changed(const Brellow::ScreenLayout &before, const Brellow::ScreenLayout &after);

private:
    void watch(QScreen *screen);
    void report();

    ScreenLayout m_layout;
    QTimer m_settle;
};

} // namespace Brellow
