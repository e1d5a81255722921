#pragma once

#include <ui/windowdrag.h>

#include <QPoint>
#include <QUrl>
#include <QWebEngineView>

class QWebEngineProfile;

namespace Brellow {

// The web view of Brellow's frameless window. Dragging the page's header strip
// moves the whole window; every link click in the page arrives as linkClicked()
// instead of being followed.
class UWebView : public QWebEngineView
{
    Q_OBJECT

public:
    explicit UWebView(QWidget *parent = nullptr);
    ~UWebView() override;

    // The off-the-record profile every Brellow page uses.
    static QWebEngineProfile *sharedProfile();

    // The header strip that starts a drag, in view coordinates.
    static bool inDragStrip(const QPoint &pos);

signals:
    void linkClicked(const QUrl &url);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchChild(QObject *child);
    void installLinkHook();

    WindowDrag m_drag;
};

} // namespace Brellow
