#include <ui/brellowpage.h>

namespace Brellow {

const QUrl &BrellowPage::homeUrl()
{
    static const QUrl url(QStringLiteral("qrc:/res/index.html"));
    return url;
}

BrellowPage::BrellowPage(QWebEngineProfile *profile, QObject *parent)
    : QWebEnginePage(profile, parent)
{
}

bool BrellowPage::acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame)
{
    if (!isMainFrame)
        return false;
    if (m_loadedOnce || url != homeUrl())
        return false;
    m_loadedOnce = true;
    return true;
}

} // namespace Brellow
