#include <ui/pagekeys.h>

#include <ui/pagebridge.h>

#include <QChildEvent>
#include <QKeyEvent>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>
#include <QWidget>

namespace Brellow {

namespace {

// Runs in the program's own world, like the link hook, so it works with the
// page's scripts off. Enter "clicks" the page's own Login and Add links, so the
// keyboard takes exactly the mouse's way to the program, with its guards (one
// login at a time, inputs disabled while logging in).
//
// A control counts as on screen when it is laid out, enabled, visible and
// wholly inside the container's box: the collapsed container shows only its
// top 90 pixels and clips the rest, which the browser's own Tab would still
// walk into.
const char keyScriptSource[] = R"JS(
(function () {
    'use strict';
    var CONTROLS = 'a[href], input, textarea, select, button';
    var byId = function (id) { return document.getElementById(id); };
    var laidOut = function (e) { return !!e && e.getClientRects().length > 0; };

    function onScreen(e) {
        if (!laidOut(e) || e.disabled || getComputedStyle(e).visibility !== 'visible')
            return false;
        var r = e.getBoundingClientRect(), box = byId('container').getBoundingClientRect();
        return r.width > 0 && r.height > 0 && r.top >= box.top - 0.5 &&
               r.bottom <= box.bottom + 0.5 && r.left >= box.left - 0.5 &&
               r.right <= box.right + 0.5;
    }

    function controls() {
        return Array.prototype.filter.call(document.querySelectorAll(CONTROLS), function (e) {
            return e.tabIndex >= 0 && onScreen(e);
        });
    }

    function clickLink(fragment) {
        var link = document.querySelector('a[href="#' + fragment + '"]');
        if (link)
            link.click();
    }

    function isTextField(e) {
        return !!e && (e.tagName === 'INPUT' || e.tagName === 'TEXTAREA') && onScreen(e);
    }

    // The field the agent needs first; null when there is nothing to type (a
    // login under way). `expand` lets a compact window grow to show the reason.
    function neededField(expand) {
        var user = byId('username'), password = byId('password');
        if (laidOut(byId('login_panel'))) {
            if (user.disabled || password.disabled)
                return null;
            return user.value === '' ? user : password;
        }
        if (laidOut(byId('media_box')))
            return byId('cli');
        var reason = byId('no_transfer');
        if (onScreen(reason))
            return reason;
        var plus = byId('button_expand');
        if (expand && onScreen(plus)) {
            clickLink('expand');
            return reason;
        }
        return controls()[0] || null;
    }

    function focusFirst(expand) {
        var field = neededField(expand);
        if (field && document.activeElement !== field)
            field.focus({preventScroll: true});
        return field ? field.id : '';
    }

    function focusLost() {
        var e = document.activeElement;
        return !e || e === document.body || !onScreen(e);
    }

    window.__brellowKeys = {focusFirst: focusFirst, controls: controls};

    document.addEventListener('keydown', function (event) {
        if (event.defaultPrevented || event.isComposing || event.ctrlKey || event.altKey ||
            event.metaKey)
            return;
        if (event.key === 'Tab') {
            event.preventDefault();
            var list = controls();
            if (!list.length)
                return;
            var at = list.indexOf(document.activeElement);
            var next = at < 0 ? (event.shiftKey ? list.length - 1 : 0)
                              : (at + (event.shiftKey ? list.length - 1 : 1)) % list.length;
            list[next].focus({preventScroll: true});
            return;
        }
        if (event.key !== 'Enter')
            return;
        var id = event.target && event.target.id;
        if (id === 'username' || id === 'password') {
            event.preventDefault();
            if (!event.repeat)
                clickLink('login');
        } else if (id === 'no_transfer' && !event.shiftKey) {
            // No line break: Enter sends the reason as Add does.
            event.preventDefault();
            if (!event.repeat)
                clickLink('add');
        }
    }, true);

    // A click beside the controls keeps a text field that has the focus, and
    // otherwise gives it to the field the agent needs.
    document.addEventListener('mousedown', function (event) {
        if (event.button !== 0)
            return;
        var control = event.target && event.target.closest ? event.target.closest(CONTROLS) : null;
        if (control && !control.disabled)
            return;
        event.preventDefault();
        if (!isTextField(document.activeElement))
            focusFirst(true);
    }, true);

    // The window became active (a click, the window manager): the focus goes
    // where the agent needs it, unless a text field on screen holds it already.
    window.addEventListener('focus', function () {
        if (!isTextField(document.activeElement))
            focusFirst(false);
    });

    // The focused control was hidden, disabled or clipped by the program (the
    // window collapsed, a login started or ended): typing must not go on into
    // something the agent cannot see.
    new MutationObserver(function () {
        if (document.hasFocus() && focusLost())
            focusFirst(false);
    }).observe(document.body, {attributes: true, subtree: true,
                               attributeFilter: ['style', 'class', 'disabled']});
})();
)JS";

} // namespace

PageKeys::PageKeys(QWebEngineView *view, PageBridge *bridge)
    : QObject(view), m_view(view), m_bridge(bridge)
{
    // Key events go to the render widget that the engine adds as the view's
    // child (its focus proxy); it may be replaced when the render process ends.
    view->installEventFilter(this);
    for (QObject *child : view->children())
        watch(child);
    installScript();
}

void PageKeys::installScript()
{
    QWebEngineScript script;
    script.setName(QStringLiteral("brellow-keys"));
    script.setSourceCode(QString::fromLatin1(keyScriptSource));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    m_view->page()->scripts().insert(script);
}

void PageKeys::focusFirstField(std::function<void(const QString &field)> done)
{
    if (!m_bridge || !m_view)
        return;
    // A read answers only once every earlier write has landed, so the page is
    // asked about the face the agent is about to see.
    m_bridge->elementValues({}, [view = m_view, done = std::move(done)](const QStringList &) {
        if (!view)
            return;
        view->page()->runJavaScript(
            QStringLiteral("window.__brellowKeys ? window.__brellowKeys.focusFirst(true) : ''"),
            QWebEngineScript::ApplicationWorld, [done](const QVariant &field) {
                if (done)
                    done(field.toString());
            });
    });
}

void PageKeys::watch(QObject *child)
{
    if (child && child->isWidgetType())
        child->installEventFilter(this);
}

bool PageKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view) {
        if (event->type() == QEvent::ChildAdded)
            watch(static_cast<QChildEvent *>(event)->child());
        return false;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        emit escapePressed();
        return true;
    }
    return false;
}

} // namespace Brellow
