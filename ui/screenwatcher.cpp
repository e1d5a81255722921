#include <ui/screenwatcher.h>

#include <QGuiApplication>
#include <QScreen>

namespace Brellow {

ScreenWatcher::ScreenWatcher(QObject *parent) : QObject(parent), m_layout(ScreenLayout::current())
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(0);
    connect(&m_settle, &QTimer::timeout, this, &ScreenWatcher::report);

    auto *app = qGuiApp;
    connect(app, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watch(screen);
        m_settle.start();
    });
    connect(app, &QGuiApplication::screenRemoved, &m_settle, qOverload<>(&QTimer::start));
    connect(app, &QGuiApplication::primaryScreenChanged, &m_settle, qOverload<>(&QTimer::start));
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
}

void ScreenWatcher::watch(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(screen, &QScreen::availableGeometryChanged, &m_settle, qOverload<>(&QTimer::start));
}

void ScreenWatcher::report()
{
    ScreenLayout now = ScreenLayout::current();
    if (now.screens() == m_layout.screens())
        return;
    const ScreenLayout before = std::exchange(m_layout, std::move(now));
    emit changed(before, m_layout);
}

} // namespace Brellow
