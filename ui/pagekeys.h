#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWebEngineView;

namespace Brellow {

class PageBridge;

// The page's keyboard and its focus. A script in the program's own world makes
// Enter in the user name or password act as the Login button and Enter in the
// no-transfer reason as Add (Shift+Enter still breaks the line), keeps Tab and
// Shift+Tab on the controls the window shows, and puts the focus on the field
// the agent needs when a click lands beside the controls or the focused control
// leaves the window. Escape is caught before the page sees it.
class PageKeys : public QObject
{
    Q_OBJECT

public:
    // Must come before the page first loads, so that its script is in every load.
    PageKeys(QWebEngineView *view, PageBridge *bridge);

    // Focuses the field the agent needs first: the user name (the password when
    // the name is filled in) when logged out, the no-transfer reason when logged
    // in. A compact window is expanded for the reason, as its "+" would.
    // Takes effect after every page write made before the call; `done` then
    // learns the id of the field, or empty text when there is nothing to type
    // into (a login under way).
    void focusFirstField(std::function<void(const QString &field)> done = {});

signals:
    // Escape was pressed in the page.
    void escapePressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QObject *child);
    void installScript();

    QPointer<QWebEngineView> m_view;
    QPointer<PageBridge> m_bridge;
};

} // namespace Brellow
