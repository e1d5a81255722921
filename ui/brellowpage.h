#pragma once

#include <QWebEnginePage>

namespace Brellow {

// The page shown in Brellow's window. It loads the embedded page once and then
// never navigates: links are handed to the program, and anything else that would
// replace the page (a dropped file or URL, a script) is refused. Only when the
// page's render process ends does it load the page again, a few times per run.
class BrellowPage : public QWebEnginePage
{
    Q_OBJECT

public:
    // How often per run the page is loaded again after its render process ended.
    static constexpr int MaxReloads = 3;

    static const QUrl &homeUrl();

    BrellowPage(QWebEngineProfile *profile, QObject *parent);

    // Loads the home page again: allows exactly one more load of it.
    void reloadHome();
    // Reloads so far after the render process ended.
    int reloads() const { return m_reloads; }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    void onRenderProcessTerminated(RenderProcessTerminationStatus status, int exitCode);

    bool m_loadedOnce = false;
    bool m_reloadAllowed = false;
    int m_reloads = 0;
};

} // namespace Brellow
