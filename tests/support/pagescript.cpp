#include <tests/support/pagescript.h>
#include <tests/support/wait.h>

#include <ui/pagebridge.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

namespace UiTest {

QVariant evaluate(QWebEnginePage *page, const QString &script, int timeoutMs)
{
    // Shared with the callback: an answer that comes after the time-out finds
    // this call gone.
    struct Answer
    {
        bool done = false;
        QVariant result;
    };
    auto answer = std::make_shared<Answer>();
    // The bridge sends what the program wrote when control returns to the event
    // loop: let it go out first, so that this script sees it.
    const QPointer<Brellow::PageBridge> bridge = Brellow::PageBridge::of(page);
    if (bridge && !waitFor([&] { return !bridge || !bridge->hasPending(); }, timeoutMs))
        qWarning("page writes still waiting: %s", qPrintable(script));
    page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [answer](const QVariant &r) {
        answer->result = r;
        answer->done = true;
    });
    if (!waitFor([&] { return answer->done; }, timeoutMs))
        qWarning("script did not answer: %s", qPrintable(script));
    return answer->result;
}

QStringList domState(QWebEnginePage *page)
{
    const QString all =
        evaluate(page, QStringLiteral(
                           "JSON.stringify(Array.prototype.map.call(document.querySelectorAll('*'),"
                           "function(e){var a=Array.prototype.map.call(e.attributes,function(x){"
                           "return x.name+'='+(x.name==='style'?e.style.cssText:x.value)}).sort();"
                           "var t=Array.prototype.filter.call(e.childNodes,function(n){"
                           "return n.nodeType===3}).map(function(n){return n.data}).join('');"
                           "return [e.tagName,a,'value' in e?String(e.value):null,t,"
                           "e.selectedIndex===undefined?null:e.selectedIndex]}))"))
            .toString();
    QStringList elements;
    for (const QJsonValue element : QJsonDocument::fromJson(all.toUtf8()).array())
        elements << QString::fromUtf8(
            QJsonDocument(element.toArray()).toJson(QJsonDocument::Compact));
    return elements;
}

QString jsString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString display(QWebEnginePage *page, const QString &selector)
{
    return evaluate(page, QStringLiteral("getComputedStyle(document.querySelector('%1')).display")
                              .arg(selector))
        .toString();
}

bool isShown(QWebEnginePage *page, const QString &selector)
{
    return display(page, selector) != QLatin1String("none");
}

QString offScreenReason(QWebEnginePage *page, const QString &selector)
{
    return evaluate(page, QStringLiteral(R"((function() {
        var e = document.querySelector('%1');
        if (!e) return 'no such element';
        for (var n = e; n && n.nodeType === 1; n = n.parentElement) {
            var style = getComputedStyle(n);
            if (style.display === 'none') return 'hidden by ' + (n.id || n.tagName);
            if (style.visibility === 'hidden') return 'invisible by ' + (n.id || n.tagName);
            if (parseFloat(style.opacity) === 0) return 'transparent by ' + (n.id || n.tagName);
        }
        var r = e.getBoundingClientRect();
        if (r.width < 1 || r.height < 1) return 'empty box';
        var box = [r.left, r.top, r.right, r.bottom].join(',');
        if (r.left < 0 || r.top < 0 || r.right > window.innerWidth + 0.5 ||
            r.bottom > window.innerHeight + 0.5)
            return 'box ' + box + ' outside ' + window.innerWidth + 'x' + window.innerHeight;
        return '';
    })())")
                              .arg(selector))
        .toString();
}

QString text(QWebEnginePage *page, const QString &selector)
{
    return evaluate(page, QStringLiteral("document.querySelector('%1').textContent").arg(selector))
        .toString();
}

QString value(QWebEnginePage *page, const QString &selector)
{
    return evaluate(page, QStringLiteral("document.querySelector('%1').value").arg(selector))
        .toString();
}

QVariant attribute(QWebEnginePage *page, const QString &selector, const QString &name)
{
    return evaluate(
        page,
        QStringLiteral("document.querySelector('%1').getAttribute('%2')").arg(selector, name));
}

bool hasClass(QWebEnginePage *page, const QString &selector, const QString &name)
{
    return evaluate(page, QStringLiteral("document.querySelector('%1').classList.contains('%2')")
                              .arg(selector, name))
        .toBool();
}

bool isDisabled(QWebEnginePage *page, const QString &selector)
{
    return evaluate(page, QStringLiteral("document.querySelector('%1').disabled").arg(selector))
        .toBool();
}

void setValue(QWebEnginePage *page, const QString &selector, const QString &text)
{
    evaluate(page,
             QStringLiteral("document.querySelector('%1').value=%2").arg(selector, jsString(text)));
}

} // namespace UiTest
