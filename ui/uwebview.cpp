#include <ui/uwebview.h>

#include <ui/brellowpage.h>
#include <ui/linkbridge.h>

#include <QChildEvent>
#include <QCoreApplication>
#include <QFile>
#include <QPointer>
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
    auto *page = new BrellowPage(sharedProfile(), this);
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
    delete page();
}

QWebEngineProfile *UWebView::sharedProfile()
{
    // Off the record: nothing of the page is written to disk. One profile for the
    // whole process, because the single-process engine allows only one; it lives
    // with the application object, so it outlasts every page.
    static QPointer<QWebEngineProfile> profile;
    if (!profile)
        profile = new QWebEngineProfile(QCoreApplication::instance());
    return profile;
}

bool UWebView::inDragStrip(const QPoint &pos)
{
    return WindowDrag::inStrip(pos);
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
        QWidget *target = parentWidget() ? parentWidget() : window();
        if (m_drag.handle(static_cast<QWidget *>(watched), event, target))
            return true;
    }
    return QWebEngineView::eventFilter(watched, event);
}

} // namespace Brellow
