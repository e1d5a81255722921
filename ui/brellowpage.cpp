#include <ui/brellowpage.h>

#include <QTimer>

namespace Brellow {

namespace {

const char *terminationName(QWebEnginePage::RenderProcessTerminationStatus status)
{
    switch (status) {
    case QWebEnginePage::NormalTerminationStatus:
        return "normally";
    case QWebEnginePage::AbnormalTerminationStatus:
        return "abnormally";
    case QWebEnginePage::CrashedTerminationStatus:
        return "crashed";
    case QWebEnginePage::KilledTerminationStatus:
        return "killed";
    }
    return "unknown";
}

} // namespace

const QUrl &BrellowPage::homeUrl()
{
    static const QUrl url(QStringLiteral("qrc:/res/index.html"));
    return url;
}

BrellowPage::BrellowPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
    connect(this, &QWebEnginePage::renderProcessTerminated, this,
            &BrellowPage::onRenderProcessTerminated);
}

void BrellowPage::reloadHome()
{
    m_reloadAllowed = true;
    load(homeUrl());
}

void BrellowPage::onRenderProcessTerminated(RenderProcessTerminationStatus status, int exitCode)
{
    if (m_reloads >= MaxReloads) {
        qWarning("page: render process ended (%s, code %d); not reloading again",
                 terminationName(status), exitCode);
        return;
    }
    ++m_reloads;
    qWarning("page: render process ended (%s, code %d); reloading, %d of %d",
             terminationName(status), exitCode, m_reloads, MaxReloads);
    // Not from inside the engine's own notification.
    QTimer::singleShot(0, this, &BrellowPage::reloadHome);
}

bool BrellowPage::acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame)
{
    if (!isMainFrame || url != homeUrl())
        return false;
    if (m_loadedOnce && !m_reloadAllowed)
        return false;
    m_loadedOnce = true;
    m_reloadAllowed = false;
    return true;
}

} // namespace Brellow
