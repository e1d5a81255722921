#pragma once

#include <QWebEnginePage>

namespace Brellow {

// The page shown in Brellow's window. It loads the embedded page once and then
// never navigates: links are handed to the program, and anything else that would
// replace the page (a dropped file or URL, a script) is refused.
class BrellowPage : public QWebEnginePage
{
    Q_OBJECT

public:
    static const QUrl &homeUrl();

    BrellowPage(QWebEngineProfile *profile, QObject *parent);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    bool m_loadedOnce = false;
};

} // namespace Brellow
