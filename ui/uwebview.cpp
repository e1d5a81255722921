#include <ui/uwebview.h>

#include <ui/brellowpage.h>
#include <ui/linkbridge.h>

#include <QChildEvent>
#include <QFile>
#include <QMouseEvent>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace Brellow {

namespace {

// Runs in the program's own script world, so it works with the page's scripts
// off. Clicks are caught before the page sees them; a click that comes before
// the channel is up waits for it.
const char linkHookSource[] = R"JS(
(function () {
    var bridge = null, pending = [];
    document.addEventListener('click', function (event) {
        var node = event.target;
        if (node && node.nodeType !== 1)
            node = node.parentElement;
        var link = node && node.closest ? node.closest('a[href]') : null;
        if (!link)
            return;
        event.preventDefault();
        if (bridge)
            bridge.click(link.href);
        else
            pending.push(link.href);
    }, true);
    new QWebChannel(qt.webChannelTransport, function (channel) {
        bridge = channel.objects.links;
        pending.forEach(function (href) { bridge.click(href); });
        pending = [];
    });
})();
)JS";

} // namespace

UWebView::UWebView(QWidget *parent) : QWebEngineView(parent)
{
    // Off the record: nothing of the page is written to disk.
    auto *profile = new QWebEngineProfile(this);
    auto *page = new BrellowPage(profile, this);
    QWebEngineSettings *settings = page->settings();
    // The page needs no script of its own; the program's scripts run in their own world.
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    setPage(page);
    setAcceptDrops(false);
    installLinkHook();
}

UWebView::~UWebView()
{
    // The page must go before its profile.
    delete page();
}

bool UWebView::inDragStrip(const QPoint &pos)
{
    return pos.y() <= 25 && pos.x() >= 26 && pos.x() <= 308;
}

void UWebView::installLinkHook()
{
    auto *links = new LinkBridge(this);
    connect(links, &LinkBridge::clicked, this, &UWebView::linkClicked);
    auto *channel = new QWebChannel(this);
    channel->registerObject(QStringLiteral("links"), links);
    page()->setWebChannel(channel, QWebEngineScript::ApplicationWorld);

    QFile client(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    client.open(QIODevice::ReadOnly);
    QWebEngineScript hook;
    hook.setName(QStringLiteral("brellow-link-hook"));
    hook.setSourceCode(QString::fromUtf8(client.readAll()) + QString::fromLatin1(linkHookSource));
    hook.setInjectionPoint(QWebEngineScript::DocumentReady);
    hook.setWorldId(QWebEngineScript::ApplicationWorld);
    hook.setRunsOnSubFrames(false);
    page()->scripts().insert(hook);
}

bool UWebView::event(QEvent *event)
{
    // The mouse goes to the render widget the engine adds as a child (the focus
    // proxy), not to the view itself: watch each child as it arrives.
    if (event->type() == QEvent::ChildAdded)
        watchChild(static_cast<QChildEvent *>(event)->child());
    return QWebEngineView::event(event);
}

void UWebView::watchChild(QObject *child)
{
    if (child && child->isWidgetType())
        child->installEventFilter(this);
}

bool UWebView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched->isWidgetType() && static_cast<QWidget *>(watched)->parentWidget() == this) {
        const auto *child = static_cast<QWidget *>(watched);
        auto *mouse = static_cast<QMouseEvent *>(event);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            return mousePress(child->mapToParent(mouse->position().toPoint()));
        case QEvent::MouseMove:
            return mouseMove(mouse->globalPosition().toPoint());
        case QEvent::MouseButtonRelease:
            return mouseRelease();
        default:
            break;
        }
    }
    return QWebEngineView::eventFilter(watched, event);
}

bool UWebView::mousePress(const QPoint &pos)
{
    pressPos = pos;
    // Any button starts a drag in the strip; the page never sees that press.
    if (inDragStrip(pressPos)) {
        dragging = true;
        return true;
    }
    return false;
}

bool UWebView::mouseMove(const QPoint &globalPos)
{
    if (!dragging)
        return false;
    QWidget *target = parentWidget() ? parentWidget() : window();
    target->move(globalPos - pressPos);
    return true;
}

bool UWebView::mouseRelease()
{
    dragging = false;
    return false; // the page always gets the release, also at the end of a drag
}

} // namespace Brellow
